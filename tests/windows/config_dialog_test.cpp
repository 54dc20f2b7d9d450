// The settings dialog inside one process: the version text of an executable without version
// information, the swatch brush's life, the line under the playlist's path, the settings of
// the dialog's table in their controls, an OK whose save fails, the browse buttons against the
// common dialogs of older systems and with paths the code page cannot hold, the colour
// chooser's refusal of a null colour, and the languages of the texts' resources.
#include "config_dialog/config_dialog.h"
#include "launcher/playlist.h"
#include "launcher/settings.h"
#include "launcher/user_folder.h"
#include "resources/resource_ids.h"
#include "saver_host/saver_host.h"
#include "tests/support/desktop.h"
#include "tests/support/files.h"
#include "tests/support/texts.h"
#include <gtest/gtest.h>
#include <cderr.h>
#include <commctrl.h>
#include <climits>
#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

// The template and the string table of the program, which this test program carries too. The
// dialog is made as the configure mode makes it on each family: a Unicode dialog on the NT
// family, an ANSI one on the Windows 95 family.
class ConfigDialogProcedure : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetSaverState();
        SaverState.instance = GetModuleHandleA(nullptr);
        PrepareConfigDialog(SaverState.instance); // the common controls: the trackbar
    }
    void TearDown() override
    {
        gGetFolderPath = LookUpFolderPath;
        ResetSaverState();
    }
    HWND OpenDialog()
    {
        if (SaverState.isWin9x)
            return CreateDialogParamA(SaverState.instance,
                                      MAKEINTRESOURCEA(CONFIG_DIALOG_TEMPLATE), nullptr,
                                      ConfigDialogProc, 0);
        return CreateDialogParamW(SaverState.instance, MAKEINTRESOURCEW(CONFIG_DIALOG_TEMPLATE),
                                  nullptr, ConfigDialogProc, 0);
    }
    CleanUserSettingsFolder userFolder;
};

TEST_F(ConfigDialogProcedure, WithoutVersionInformationTheVersionIsZeroAndTheBrushGoesAtTheEnd)
{
    HWND dialog = OpenDialog();
    ASSERT_NE(dialog, nullptr);
    for (int n : ConfigDialogState.versionNumbers)
        EXPECT_EQ(n, 0);
    char text[512] = {};
    GetDlgItemTextA(dialog, IDC_VERSION_TEXT, text, sizeof text);
    EXPECT_EQ(std::string(text).substr(0, 36), "velora_ss_lunch ver0.00 (build0000)\n");
    EXPECT_NE(ConfigDialogState.swatchBrush, nullptr);

    SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(ConfigDialogState.swatchBrush, nullptr) << "the brush outlives the dialog";
    DestroyWindow(dialog);
}

TEST_F(ConfigDialogProcedure, OnlyTheSwatchGetsTheColourBrush)
{
    HWND dialog = OpenDialog();
    ASSERT_NE(dialog, nullptr);
    HDC context = GetDC(dialog);
    INT_PTR swatch = SendMessageA(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(context),
                                  reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_COLOR_SWATCH)));
    EXPECT_EQ(reinterpret_cast<HBRUSH>(swatch), ConfigDialogState.swatchBrush);
    INT_PTR label = SendMessageA(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(context),
                                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_VERSION_TEXT)));
    EXPECT_NE(reinterpret_cast<HBRUSH>(label), ConfigDialogState.swatchBrush);
    ReleaseDC(dialog, context);
    SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    DestroyWindow(dialog);
}

// The line under the playlist's path as the dialog opens: the playlist read as the saver reads
// it, each track looked for on the disk, and nothing left in the playlist.
TEST_F(ConfigDialogProcedure, TheLineUnderThePlaylistSaysWhatItHolds)
{
    ScratchFolder scratch("config_dialog_test playlist line");
    const std::string dir = scratch.Path();
    for (const char* track : {"a.wav", "b.mp3", "c.mid"})
        ASSERT_TRUE(WriteTextFile(dir + "\\" + track, "x"));
    struct Case {
        const char* what;
        std::string playlist;
        const char* content; // null: no file written
        const wchar_t* line;
    };
    const Case cases[] = {
        {"every track there", dir + "\\all.m3u", "#EXTM3U\r\na.wav\r\nb.mp3\r\nc.mid\r\n", L"3 曲"},
        {"some missing", dir + "\\some.m3u", "a.wav\r\nlost.wav\r\nb.mp3\r\ngone\\d.mid\r\n",
         L"4 曲（2 曲が見つかりません）"},
        {"every track missing", dir + "\\lost.m3u", "lost.wav\r\ngone.mid\r\n",
         L"再生できる曲がありません"},
        {"no track", dir + "\\empty.m3u", "#EXTM3U\r\nreadme\r\n", L"再生できる曲がありません"},
        {"no such file", dir + "\\none.m3u", nullptr, L"プレイリストを読めません"},
        {"a folder", dir, nullptr, L"プレイリストを読めません"},
        {"no playlist", "", nullptr, L""},
    };
    const std::string settingsPath = SettingsFileOf(ExecutablePath());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.content) {
            ASSERT_TRUE(WriteTextFile(c.playlist, c.content));
        }
        ASSERT_TRUE(WriteSettingsFile(ExecutablePath(), SettingsRecord(0, "", c.playlist)));
        HWND dialog = OpenDialog();
        ASSERT_NE(dialog, nullptr);
        wchar_t line[PLAYLIST_CONTENTS_SIZE] = {};
        GetDlgItemTextW(dialog, IDC_PLAYLIST_CONTENTS, line, PLAYLIST_CONTENTS_SIZE);
        EXPECT_STREQ(line, c.line);
        EXPECT_EQ(gPlaylist.trackCount, 0) << "the configure mode kept tracks";
        SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        DestroyWindow(dialog);
    }
    DeleteFileA(settingsPath.c_str());
}

// ---- The settings that are a number chosen in a control -----------------------------------

// What a test reads of a control of each kind: its class, the value it shows (NO_VALUE for
// none), and the value chosen in it as the user would choose it.
const int NO_VALUE = INT_MIN;

static std::string ClassOfKind(SettingControlKind kind)
{
    switch (kind) {
    case DROP_DOWN_LIST: return "ComboBox";
    case TRACKBAR: return "msctls_trackbar32";
    case CHECK_BOX: return "Button";
    }
    ADD_FAILURE() << "a kind of control this test cannot read: " << kind;
    return "";
}

static int ShownValue(HWND control, const SettingControl& row)
{
    switch (row.kind) {
    case DROP_DOWN_LIST: {
        LRESULT item = SendMessageW(control, CB_GETCURSEL, 0, 0);
        return item == CB_ERR ? NO_VALUE : row.key->lowest + static_cast<int>(item);
    }
    case TRACKBAR: return static_cast<int>(SendMessageW(control, TBM_GETPOS, 0, 0));
    case CHECK_BOX:
        switch (SendMessageW(control, BM_GETCHECK, 0, 0)) {
        case BST_CHECKED: return row.key->highest;
        case BST_UNCHECKED: return row.key->lowest;
        }
        return NO_VALUE;
    }
    ADD_FAILURE() << "a kind of control this test cannot read: " << row.kind;
    return NO_VALUE;
}

// The values to load: every one, or on a trackbar its ends and values between its steps; the
// value one move of the user's reaches from there: the next item, the other state of a check
// box, a trackbar's next step (the one below at its end).
static std::vector<int> ValuesToTry(const SettingControl& row)
{
    const SettingsKey& key = *row.key;
    if (row.kind == TRACKBAR)
        return {key.lowest, key.lowest + row.step / 2, key.highest - row.step / 2, key.highest};
    std::vector<int> values;
    for (int value = key.lowest; value <= key.highest; ++value)
        values.push_back(value);
    return values;
}
static int AnotherValue(const SettingControl& row, int value)
{
    const SettingsKey& key = *row.key;
    if (row.kind != TRACKBAR)
        return value == key.highest ? key.lowest : value + 1;
    int next = key.lowest + ((value - key.lowest) / row.step + 1) * row.step;
    return value == key.highest ? value - row.step : next;
}

// As the user chooses: an item picked, a click on a check box, an arrow key on a trackbar
// towards the value chosen. NO_VALUE leaves a list without a selection and any other control
// untouched.
static void ChooseValue(HWND control, const SettingControl& row, int value)
{
    switch (row.kind) {
    case DROP_DOWN_LIST:
        SendMessageW(control, CB_SETCURSEL, value == NO_VALUE ? -1 : value - row.key->lowest, 0);
        return;
    case TRACKBAR:
        if (value != NO_VALUE) {
            WPARAM key = value > ShownValue(control, row) ? VK_RIGHT : VK_LEFT;
            SendMessageW(control, WM_KEYDOWN, key, 0);
            SendMessageW(control, WM_KEYUP, key, 0);
        }
        return;
    case CHECK_BOX:
        if (value != NO_VALUE)
            SendMessageW(control, BM_CLICK, 0, 0);
        return;
    }
    ADD_FAILURE() << "a kind of control this test cannot set: " << row.kind;
}

// What the control offers besides its value: a drop-down list one item per value, each the
// string table's text for it, and no typing; a trackbar its range, a page of a step (the keys
// move by a step too, as the choice shows) and a tick at each step.
static void ExpectOffers(HWND control, const SettingControl& row)
{
    const SettingsKey& key = *row.key;
    if (row.kind == TRACKBAR) {
        EXPECT_EQ(SendMessageW(control, TBM_GETRANGEMIN, 0, 0), key.lowest);
        EXPECT_EQ(SendMessageW(control, TBM_GETRANGEMAX, 0, 0), key.highest);
        EXPECT_EQ(SendMessageW(control, TBM_GETPAGESIZE, 0, 0), row.step);
        EXPECT_EQ(SendMessageW(control, TBM_GETNUMTICS, 0, 0), key.highest / row.step + 1);
    }
    if (row.kind != DROP_DOWN_LIST)
        return;
    EXPECT_EQ(GetWindowLongA(control, GWL_STYLE) & 3, CBS_DROPDOWNLIST);
    ASSERT_EQ(SendMessageW(control, CB_GETCOUNT, 0, 0), key.highest - key.lowest + 1);
    for (int item = 0; item <= key.highest - key.lowest; ++item) {
        wchar_t text[USER_CAPTION_SIZE] = {}, shown[USER_CAPTION_SIZE] = {};
        EXPECT_GT(LoadStringW(GetModuleHandleA(nullptr), row.firstItemText + item, text,
                              USER_CAPTION_SIZE),
                  0)
            << "no text for item " << item;
        SendMessageW(control, CB_GETLBTEXT, item, reinterpret_cast<LPARAM>(shown));
        EXPECT_STREQ(shown, text) << "item " << item;
    }
}

// Every number setting is one row of the dialog's table, each in a control of its own.
TEST(SettingControls, EveryNumberSettingHasOneRowAndItsOwnControl)
{
    for (const SettingsKey& key : SETTINGS_KEYS) {
        int rows = 0;
        for (const SettingControl& row : SETTING_CONTROLS)
            rows += row.key == &key;
        EXPECT_EQ(rows, key.number ? 1 : 0) << key.name;
    }
    for (const SettingControl& row : SETTING_CONTROLS)
        for (const SettingControl& other : SETTING_CONTROLS)
            EXPECT_TRUE(&row == &other || row.control != other.control) << row.key->name;
}

// Each setting of the table at each of its values (a trackbar's between its steps too), on
// either family: the dialog opens with the value loaded shown in its control, and OK saves the
// value chosen there. A control left without a value, or untouched, keeps the value loaded.
TEST_F(ConfigDialogProcedure, EachSettingOfTheTableShowsInItsControlAndOkSavesTheChoice)
{
    const std::string settingsPath = SettingsFileOf(ExecutablePath());
    for (const SettingControl& row : SETTING_CONTROLS) {
        const SettingsKey& key = *row.key;
        for (int isWin9x : {0, 1}) {
            for (int value : ValuesToTry(row)) {
                for (int chosen : {AnotherValue(row, value), NO_VALUE}) {
                    SCOPED_TRACE(std::string(key.name) + (isWin9x ? ", 95 family" : ", NT family") +
                                 ", loaded " + std::to_string(value) + ", chosen " +
                                 (chosen == NO_VALUE ? "none" : std::to_string(chosen)));
                    SaverState.isWin9x = isWin9x;
                    LauncherSettingsRecord loaded = SettingsRecord(0, "", "");
                    loaded.*key.number = value;
                    ASSERT_TRUE(WriteSettingsFile(ExecutablePath(), loaded));
                    HWND dialog = OpenDialog();
                    ASSERT_NE(dialog, nullptr);
                    HWND control = GetDlgItem(dialog, row.control);
                    ASSERT_NE(control, nullptr);
                    EXPECT_EQ(ClassNameOf(control), ClassOfKind(row.kind));
                    EXPECT_EQ(ShownValue(control, row), value);
                    ExpectOffers(control, row);

                    ChooseValue(control, row, chosen);
                    if (chosen != NO_VALUE) {
                        EXPECT_EQ(ShownValue(control, row), chosen) << "the user's choice";
                    }
                    {
                        BoxAnswerer answerer; // a save that failed would wait in its box
                        SendMessageA(dialog, WM_COMMAND, IDOK, 0);
                        EXPECT_TRUE(SeenBoxes().empty()) << "the save failed";
                    }
                    EXPECT_EQ(ConfigDialogState.swatchBrush, nullptr) << "the dialog did not end";
                    const int saved = chosen == NO_VALUE ? value : chosen;
                    EXPECT_EQ(ConfigDialogState.settings.*key.number, saved);
                    EXPECT_EQ(static_cast<int>(GetPrivateProfileIntA(SETTINGS_SECTION, key.name,
                                                                     -1, settingsPath.c_str())),
                              saved);
                    DestroyWindow(dialog);
                }
            }
        }
    }
    DeleteFileA(settingsPath.c_str());
}

// A trackbar's thumb, from a value between steps, goes to the next step in the direction of a
// page (a click beside the thumb) and to the nearest one after a drag, which the trackbar
// tells once it has moved the thumb. The arrow keys are the choice of the test above.
TEST_F(ConfigDialogProcedure, ATrackbarsThumbStandsOnItsStepsHoweverTheUserMovesIt)
{
    HWND dialog = OpenDialog();
    ASSERT_NE(dialog, nullptr);
    const int DRAG = 0;
    const struct {
        int from, how, stands;
    } moves[] = {{25, VK_NEXT, 30}, {25, VK_PRIOR, 20}, {27, DRAG, 30}, {24, DRAG, 20},
                 {25, DRAG, 30},    {100, VK_PRIOR, 90}};
    for (const SettingControl& row : SETTING_CONTROLS) {
        HWND control = GetDlgItem(dialog, row.control);
        for (const auto& move : moves) {
            if (row.kind != TRACKBAR)
                break;
            SendMessageW(control, TBM_SETPOS, TRUE, move.from);
            if (move.how == DRAG)
                SendMessageW(dialog, WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, move.from),
                             reinterpret_cast<LPARAM>(control));
            else
                SendMessageW(control, WM_KEYDOWN, move.how, 0);
            EXPECT_EQ(ShownValue(control, row), move.stands) << move.from << " by " << move.how;
        }
    }
    DestroyWindow(dialog);
}

// An OK whose save fails is told in an error box of the dialog's own, its first line saying
// whether nothing or only some of the settings were saved and its path naming the file last
// tried, and the dialog stays open with the user's choices; the next OK, once the file can hold
// them, ends it. The texts reach the box whole on either family. On the NT family a save that
// cannot be written beside the executable goes into the user's own file, and is told only when
// that cannot be written either.
TEST_F(ConfigDialogProcedure, AFailedSaveIsToldAndTheDialogStaysOpenUntilASaveSucceeds)
{
    const std::string settingsPath = SettingsFileOf(ExecutablePath());
    const std::string userPath = UserSettingsFileOf(ExecutablePath());
    const char* const CHOSEN = "C:\\chosen\\velorandix.exe";
    enum UserFolder { NO_APPDATA, FOLDER_FREE, FOLDER_BLOCKED };
    struct Case {
        const char* what;
        int isWin9x;
        const char* accessory;
        bool placeTaken; // by a folder
        UserFolder userFolder;
        bool told; // otherwise saved, into the user's file
        UserText firstLine;
        const std::string& named;
    } cases[] = {
        {"NT family, the file's place taken, no application data folder", 0, CHOSEN, true,
         NO_APPDATA, true, TEXT_SAVE_FAILED, settingsPath},
        {"NT family, the file's place taken, the user's folder's too", 0, CHOSEN, true,
         FOLDER_BLOCKED, true, TEXT_SAVE_FAILED, userPath},
        {"NT family, the file's place taken, the user's folder free", 0, CHOSEN, true,
         FOLDER_FREE, false, TEXT_SAVE_FAILED, userPath},
        // The Windows 95 family has no user's file.
        {"95 family, the file's place taken", 1, CHOSEN, true, FOLDER_FREE, true,
         TEXT_SAVE_FAILED, settingsPath},
        // Every key but the path is written; the file gives the path back without its blank.
        {"a path the file cannot hold", 0, "C:\\chosen\\velorandix.exe ", false, NO_APPDATA,
         true, TEXT_SAVE_PARTLY_FAILED, settingsPath},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CleanUserSettingsFolder clean;
        SaverState.isWin9x = c.isWin9x;
        gGetFolderPath = c.userFolder == NO_APPDATA ? NoFolderPath : LookUpFolderPath;
        if (c.userFolder == FOLDER_BLOCKED) {
            ASSERT_TRUE(BlockUserSettingsFolder());
        }
        DeleteFileA(settingsPath.c_str());
        RemoveDirectoryA(settingsPath.c_str()); // left by an earlier run that failed
        if (c.placeTaken) {
            ASSERT_TRUE(CreateDirectoryA(settingsPath.c_str(), nullptr));
        }
        HWND dialog = OpenDialog();
        ASSERT_NE(dialog, nullptr);
        lstrcpyA(ConfigDialogState.settings.accessoryPath, c.accessory);
        BoxAnswerer answerer;
        SendMessageA(dialog, WM_COMMAND, IDOK, 0);
        if (!c.told) {
            EXPECT_TRUE(SeenBoxes().empty()) << "a save into the user's file was told";
            EXPECT_EQ(ConfigDialogState.swatchBrush, nullptr) << "the dialog did not end";
            char held[PATH_SIZE];
            GetPrivateProfileStringA(SETTINGS_SECTION, ACCESSORY_PATH_KEY, "", held, sizeof held,
                                     c.named.c_str());
            EXPECT_STREQ(held, c.accessory);
            DestroyWindow(dialog);
            RemoveDirectoryA(settingsPath.c_str());
            WritePrivateProfileStringA(nullptr, nullptr, nullptr, c.named.c_str());
            continue;
        }
        ASSERT_EQ(SeenBoxes().size(), 1u);
        const SeenBox& box = SeenBoxes()[0];
        EXPECT_EQ(box.text,
                  c.firstLine.japanese + Wide(c.named) + TEXT_SAVE_FAILED_ADVICE.japanese);
        EXPECT_EQ(box.caption, TEXT_DIALOG_TITLE.japanese);
        EXPECT_EQ(box.owner, dialog);
        EXPECT_EQ(box.icon, LoadIconA(nullptr, IDI_HAND));
        EXPECT_NE(ConfigDialogState.swatchBrush, nullptr) << "the dialog ended";
        EXPECT_STREQ(ConfigDialogState.settings.accessoryPath, c.accessory);
        EXPECT_FALSE(FileExistsAt(userPath)) << "a user's file was written";

        RemoveDirectoryA(settingsPath.c_str());
        lstrcpyA(ConfigDialogState.settings.accessoryPath, CHOSEN);
        SendMessageA(dialog, WM_COMMAND, IDOK, 0);
        EXPECT_EQ(SeenBoxes().size(), 1u);
        EXPECT_EQ(ConfigDialogState.swatchBrush, nullptr) << "the dialog did not end";
        DestroyWindow(dialog);
        DeleteFileA(settingsPath.c_str());
    }
}

// OPENFILENAME up to lpTemplateName: all that the Windows 95 family and NT 4 know.
static const DWORD OLDER_FORM_SIZE = sizeof(void*) == 4 ? 76 : 136;

// The common dialogs as a scripted stand-in, in either form: GetOpenFileNameW of the NT
// family, GetOpenFileNameA of the Windows 95 family. Each call is kept with its texts as they
// were then, in UTF-16. An older system (the Windows 95 family, NT 4) refuses any size but the
// older form; a starting name may be refused; otherwise the user confirms the choice or,
// without one, cancels.
struct OpenFileCall {
    DWORD size;
    std::wstring startingName;
    // The rest of the request, the same in every call: the form (wide or not), owner, title,
    // the filter list's strings, default extension, room for the file, flags.
    std::tuple<bool, HWND, std::wstring, std::vector<std::wstring>, std::wstring, DWORD, DWORD>
        request;
};

struct ScriptedCommonDialogs {
    bool olderSystem;
    bool refuseStartingName;
    const wchar_t* choice;
    DWORD error;
    std::vector<OpenFileCall> calls;
};
static ScriptedCommonDialogs gScriptedDialogs;

static std::wstring Widen(const wchar_t* text)
{
    return text;
}
static std::wstring Widen(const char* text)
{
    return Wide(text);
}

template <class Char> static std::vector<std::wstring> FilterStrings(const Char* filter)
{
    std::vector<std::wstring> strings;
    for (; *filter; filter += std::char_traits<Char>::length(filter) + 1)
        strings.push_back(Widen(filter));
    return strings;
}

template <class Request> static BOOL WINAPI ScriptedGetOpenFileName(Request* request)
{
    const bool wide = sizeof(*request->lpstrFile) == sizeof(wchar_t);
    gScriptedDialogs.calls.push_back(
        {request->lStructSize, Widen(request->lpstrFile),
         {wide, request->hwndOwner, Widen(request->lpstrTitle), FilterStrings(request->lpstrFilter),
          Widen(request->lpstrDefExt), request->nMaxFile, request->Flags}});
    gScriptedDialogs.error = 0;
    if (gScriptedDialogs.olderSystem && request->lStructSize != OLDER_FORM_SIZE)
        gScriptedDialogs.error = CDERR_STRUCTSIZE;
    else if (gScriptedDialogs.refuseStartingName && request->lpstrFile[0] != '\0')
        gScriptedDialogs.error = FNERR_INVALIDFILENAME;
    if (gScriptedDialogs.error != 0 || gScriptedDialogs.choice == nullptr)
        return FALSE;
    if (wide)
        lstrcpynW(reinterpret_cast<wchar_t*>(request->lpstrFile), gScriptedDialogs.choice,
                  request->nMaxFile);
    else
        lstrcpynA(reinterpret_cast<char*>(request->lpstrFile),
                  Ansi(gScriptedDialogs.choice).c_str(), request->nMaxFile);
    return TRUE;
}

static DWORD WINAPI ScriptedCommDlgExtendedError()
{
    return gScriptedDialogs.error;
}

static FARPROC ScriptedCommonDialogEntry(const char* name)
{
    if (lstrcmpA(name, "GetOpenFileNameW") == 0)
        return reinterpret_cast<FARPROC>(ScriptedGetOpenFileName<OPENFILENAMEW>);
    if (lstrcmpA(name, "GetOpenFileNameA") == 0)
        return reinterpret_cast<FARPROC>(ScriptedGetOpenFileName<OPENFILENAMEA>);
    if (lstrcmpA(name, "CommDlgExtendedError") == 0)
        return reinterpret_cast<FARPROC>(ScriptedCommDlgExtendedError);
    return nullptr;
}

class BrowseButtons : public ConfigDialogProcedure {
protected:
    void SetUp() override
    {
        ConfigDialogProcedure::SetUp();
        gCommonDialogEntry = ScriptedCommonDialogEntry;
    }
    void TearDown() override
    {
        gCommonDialogEntry = realCommonDialogEntry;
        ConfigDialogProcedure::TearDown();
    }
    CommonDialogEntryFunction realCommonDialogEntry = gCommonDialogEntry;
};

// The older systems get the older form of the same request, and their answer counts as the
// first one would, the retry from an empty starting name included. The Windows 95 family gets
// it through GetOpenFileNameA, in its code page.
TEST_F(BrowseButtons, AnOlderSystemGetsTheOlderFormOfTheSameRequest)
{
    const UINT FULL = sizeof(OPENFILENAMEW);
    const UINT OLDER = OLDER_FORM_SIZE;
    const char STORED[] = "C:\\stored\\velorandix.exe";
    const wchar_t CHOSEN[] = L"C:\\選んだ\\velorandix.exe";
    const std::wstring stored = Wide(STORED);
    char* const accessory = ConfigDialogState.settings.accessoryPath;
    char* const playlist = ConfigDialogState.settings.playlistPath;
    struct Case {
        const char* what;
        int isWin9x;
        int button;
        int edit;
        char* path;
        bool olderSystem;
        bool refuseStartingName;
        const wchar_t* choice;
        std::vector<UINT> sizes;
        std::vector<std::wstring> startingNames;
        std::wstring result;
    };
    const Case cases[] = {
        {"newer system", 0, IDC_ACCESSORY_BROWSE, IDC_ACCESSORY_PATH, accessory, false, false,
         CHOSEN, {FULL}, {stored}, CHOSEN},
        {"NT 4, accessory", 0, IDC_ACCESSORY_BROWSE, IDC_ACCESSORY_PATH, accessory, true, false,
         CHOSEN, {FULL, OLDER}, {stored, stored}, CHOSEN},
        {"NT 4, playlist", 0, IDC_PLAYLIST_BROWSE, IDC_PLAYLIST_PATH, playlist, true, false,
         CHOSEN, {FULL, OLDER}, {stored, stored}, CHOSEN},
        {"NT 4, cancelled", 0, IDC_ACCESSORY_BROWSE, IDC_ACCESSORY_PATH, accessory, true, false,
         nullptr, {FULL, OLDER}, {stored, stored}, stored},
        {"NT 4 refusing the starting name", 0, IDC_PLAYLIST_BROWSE, IDC_PLAYLIST_PATH, playlist,
         true, true, CHOSEN, {FULL, OLDER, OLDER}, {stored, stored, L""}, CHOSEN},
        {"Windows 95 family, playlist", 1, IDC_PLAYLIST_BROWSE, IDC_PLAYLIST_PATH, playlist, true,
         false, CHOSEN, {FULL, OLDER}, {stored, stored}, CHOSEN},
        {"Windows 95 family refusing the starting name, cancelled", 1, IDC_ACCESSORY_BROWSE,
         IDC_ACCESSORY_PATH, accessory, true, true, nullptr, {FULL, OLDER, OLDER},
         {stored, stored, L""}, stored},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SaverState.isWin9x = c.isWin9x;
        HWND dialog = OpenDialog();
        ASSERT_NE(dialog, nullptr);
        lstrcpynA(c.path, STORED, PATH_SIZE);
        SetDlgItemTextA(dialog, c.edit, STORED);
        gScriptedDialogs = ScriptedCommonDialogs();
        gScriptedDialogs.olderSystem = c.olderSystem;
        gScriptedDialogs.refuseStartingName = c.refuseStartingName;
        gScriptedDialogs.choice = c.choice;

        SendMessageA(dialog, WM_COMMAND, c.button, 0);
        const std::vector<OpenFileCall>& calls = gScriptedDialogs.calls;
        std::vector<UINT> sizes;
        std::vector<std::wstring> startingNames;
        for (const OpenFileCall& call : calls) {
            sizes.push_back(call.size);
            startingNames.push_back(call.startingName);
        }
        EXPECT_EQ(sizes, c.sizes);
        EXPECT_EQ(startingNames, c.startingNames);
        const bool accessoryButton = c.button == IDC_ACCESSORY_BROWSE;
        const auto request = std::make_tuple(
            !c.isWin9x, dialog,
            std::wstring(accessoryButton ? TEXT_ACCESSORY_DIALOG_TITLE.japanese
                                         : TEXT_PLAYLIST_DIALOG_TITLE.japanese),
            accessoryButton ? std::vector<std::wstring>{TEXT_ACCESSORY_FILE_TYPE.japanese,
                                                        L"velorandix.exe"}
                            : std::vector<std::wstring>{TEXT_PLAYLIST_FILE_TYPE.japanese,
                                                        L"*.m3u;*.m3u8"},
            std::wstring(L"exe"), static_cast<DWORD>(PATH_SIZE),
            static_cast<DWORD>(OFN_FILEMUSTEXIST));
        for (const OpenFileCall& call : calls)
            EXPECT_TRUE(call.request == request) << "call " << &call - &calls[0];
        EXPECT_EQ(Wide(c.path), c.result);
        wchar_t shown[PATH_SIZE] = {};
        GetDlgItemTextW(dialog, c.edit, shown, PATH_SIZE);
        EXPECT_EQ(shown, c.result);

        SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        DestroyWindow(dialog);
    }
}

// A path the ANSI code page cannot hold (Korean in code page 932) with no short name, as a
// missing file has none: the dialog says so, in UTF-16, and keeps the former path rather than
// one of "?"s. (A short name that keeps the choice: the end-to-end tier.)
TEST_F(BrowseButtons, APathTheCodePageCannotHoldWithoutAShortNameIsRefused)
{
    const wchar_t CHOSEN[] = L"C:\\없는\\velorandix.exe";
    const char STORED[] = "C:\\stored\\velorandix.exe";
    HWND dialog = OpenDialog();
    ASSERT_NE(dialog, nullptr);
    lstrcpyA(ConfigDialogState.settings.accessoryPath, STORED);
    gScriptedDialogs = ScriptedCommonDialogs();
    gScriptedDialogs.choice = CHOSEN;
    {
        BoxAnswerer answerer;
        SendMessageA(dialog, WM_COMMAND, IDC_ACCESSORY_BROWSE, 0);
        ASSERT_EQ(SeenBoxes().size(), 1u);
        const SeenBox& box = SeenBoxes()[0];
        EXPECT_EQ(box.text,
                  TEXT_UNUSABLE_PATH.japanese + std::wstring(CHOSEN) + TEXT_UNUSABLE_PATH_ADVICE.japanese);
        EXPECT_EQ(box.caption, TEXT_DIALOG_TITLE.japanese);
        EXPECT_EQ(box.owner, dialog);
    }
    EXPECT_STREQ(ConfigDialogState.settings.accessoryPath, STORED);
    SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    DestroyWindow(dialog);
}

TEST(PickColor, ANullColourShowsNothingAndAnswersZero)
{
    EXPECT_EQ(PickColor(nullptr, nullptr), 0);
}

// ---- The texts' resources ------------------------------------------------------------------

static BOOL CALLBACK CollectResourceName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR names)
{
    reinterpret_cast<std::vector<LPCWSTR>*>(names)->push_back(name);
    return TRUE;
}

static BOOL CALLBACK CollectLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR languages)
{
    reinterpret_cast<std::vector<WORD>*>(languages)->push_back(language);
    return TRUE;
}

// The dialog's template and every block of the string table, in exactly the two languages and
// with English listed first: no language-neutral copy, which every system would take before
// its own language, and a lookup that takes the first language finds English, as a system of
// neither language gets it.
TEST(Texts, EveryTextResourceIsInEnglishThenJapaneseAndNothingElse)
{
    const HMODULE module = GetModuleHandleA(nullptr);
    const std::vector<WORD> LANGUAGES = {MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US),
                                         MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT)};
    for (LPCWSTR type : {reinterpret_cast<LPCWSTR>(RT_DIALOG), reinterpret_cast<LPCWSTR>(RT_STRING)}) {
        std::vector<LPCWSTR> names;
        EnumResourceNamesW(module, type, CollectResourceName, reinterpret_cast<LONG_PTR>(&names));
        EXPECT_FALSE(names.empty()) << "type " << reinterpret_cast<UINT_PTR>(type);
        for (LPCWSTR name : names) {
            std::vector<WORD> languages;
            EnumResourceLanguagesW(module, type, name, CollectLanguage,
                                   reinterpret_cast<LONG_PTR>(&languages));
            EXPECT_EQ(languages, LANGUAGES) << "type " << reinterpret_cast<UINT_PTR>(type)
                                            << ", resource " << reinterpret_cast<UINT_PTR>(name);
        }
    }
}
