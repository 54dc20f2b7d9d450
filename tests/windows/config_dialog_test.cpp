// The settings dialog's procedure inside one process: the version text of an executable
// without version information, the swatch brush's life, an OK whose save fails, the browse
// buttons against the common dialogs of older systems and with paths the code page cannot
// hold, and the colour chooser's refusal of a null colour.
#include "config_dialog/config_dialog.h"
#include "launcher/settings.h"
#include "resources/resource_ids.h"
#include "saver_host/saver_host.h"
#include "tests/support/desktop.h"
#include "tests/support/files.h"
#include "tests/support/texts.h"
#include <gtest/gtest.h>
#include <cderr.h>
#include <cstdlib>
#include <string>
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
    }
    void TearDown() override { ResetSaverState(); }
    HWND OpenDialog()
    {
        if (SaverState.isWin9x)
            return CreateDialogParamA(SaverState.instance,
                                      MAKEINTRESOURCEA(CONFIG_DIALOG_TEMPLATE), nullptr,
                                      ConfigDialogProc, 0);
        return CreateDialogParamW(SaverState.instance, MAKEINTRESOURCEW(CONFIG_DIALOG_TEMPLATE),
                                  nullptr, ConfigDialogProc, 0);
    }
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

// An OK whose save fails is told in an error box of the dialog's own, and the dialog stays open
// with the user's choices; the next OK, once the file can be written, ends it. The texts reach
// the box whole on either family.
TEST_F(ConfigDialogProcedure, AFailedSaveIsToldAndTheDialogStaysOpenUntilASaveSucceeds)
{
    const std::string settingsPath = SettingsFileOf(ExecutablePath());
    for (int isWin9x : {0, 1}) {
        SCOPED_TRACE(isWin9x ? "Windows 95 family" : "NT family");
        SaverState.isWin9x = isWin9x;
        DeleteFileA(settingsPath.c_str());
        RemoveDirectoryA(settingsPath.c_str()); // left by an earlier run that failed
        ASSERT_TRUE(CreateDirectoryA(settingsPath.c_str(), nullptr)); // the file's place taken
        HWND dialog = OpenDialog();
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(IsWindowUnicode(dialog), !isWin9x);
        lstrcpyA(ConfigDialogState.settings.accessoryPath, "C:\\chosen\\velorandix.exe");
        BoxAnswerer answerer;
        SendMessageA(dialog, WM_COMMAND, IDOK, 0);
        ASSERT_EQ(SeenBoxes().size(), 1u);
        const SeenBox& box = SeenBoxes()[0];
        EXPECT_EQ(box.text, TEXT_SAVE_FAILED.japanese + Wide(settingsPath) +
                                TEXT_SAVE_FAILED_ADVICE.japanese);
        EXPECT_EQ(box.caption, TEXT_DIALOG_TITLE.japanese);
        EXPECT_EQ(box.owner, dialog);
        EXPECT_EQ(box.icon, LoadIconA(nullptr, IDI_HAND));
        EXPECT_NE(ConfigDialogState.swatchBrush, nullptr) << "the dialog ended";
        EXPECT_STREQ(ConfigDialogState.settings.accessoryPath, "C:\\chosen\\velorandix.exe");

        RemoveDirectoryA(settingsPath.c_str());
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
    bool wide;
    DWORD size;
    HWND owner;
    std::wstring title, filter, startingName, defaultExtension;
    DWORD maxFile, flags;
};

struct ScriptedCommonDialogs {
    bool olderSystem;
    bool refuseStartingName;
    const wchar_t* choice;
    DWORD error;
    std::vector<OpenFileCall> calls;
};
static ScriptedCommonDialogs gScriptedDialogs;

static std::wstring WideOf(const wchar_t* text, size_t length = std::wstring::npos)
{
    return length == std::wstring::npos ? text : std::wstring(text, length);
}
static std::wstring WideOf(const char* text, size_t length = std::wstring::npos)
{
    if (length == std::string::npos)
        return Wide(text);
    std::wstring wide(length, L'\0'); // NULs and all, for a filter list
    wide.resize(MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(length), &wide[0],
                                    static_cast<int>(length)));
    return wide;
}

// A filter list whole, up to its closing NUL.
template <class Char> static size_t FilterLength(const Char* filter)
{
    size_t length = 0;
    while (filter[length] || filter[length + 1])
        ++length;
    return length + 2;
}

template <class Request> static BOOL WINAPI ScriptedGetOpenFileName(Request* request)
{
    const bool wide = sizeof(*request->lpstrFile) == sizeof(wchar_t);
    gScriptedDialogs.calls.push_back({wide, request->lStructSize, request->hwndOwner,
                                      WideOf(request->lpstrTitle),
                                      WideOf(request->lpstrFilter, FilterLength(request->lpstrFilter)),
                                      WideOf(request->lpstrFile), WideOf(request->lpstrDefExt),
                                      request->nMaxFile, request->Flags});
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
        lstrcpynA(c.path, STORED, SETTINGS_PATH_SIZE);
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
        ASSERT_FALSE(calls.empty());
        const OpenFileCall& first = calls[0];
        EXPECT_EQ(first.wide, !c.isWin9x);
        EXPECT_EQ(first.owner, dialog);
        EXPECT_EQ(first.maxFile, static_cast<DWORD>(SETTINGS_PATH_SIZE));
        const bool accessoryButton = c.button == IDC_ACCESSORY_BROWSE;
        EXPECT_EQ(first.title, (accessoryButton ? TEXT_ACCESSORY_DIALOG_TITLE
                                                : TEXT_PLAYLIST_DIALOG_TITLE).japanese);
        EXPECT_EQ(first.filter, accessoryButton
                                    ? std::wstring(TEXT_ACCESSORY_FILE_TYPE.japanese) +
                                          L'\0' + L"velorandix.exe" + L'\0' + L'\0'
                                    : std::wstring(TEXT_PLAYLIST_FILE_TYPE.japanese) + L'\0' +
                                          L"*.m3u;*.m3u8" + L'\0' + L'\0');
        EXPECT_EQ(first.defaultExtension, L"exe");
        EXPECT_EQ(first.flags, static_cast<DWORD>(OFN_FILEMUSTEXIST));
        for (size_t i = 1; i < calls.size(); ++i) {
            SCOPED_TRACE("call " + std::to_string(i));
            const OpenFileCall& call = calls[i];
            EXPECT_EQ(call.wide, first.wide);
            EXPECT_EQ(call.owner, first.owner);
            EXPECT_EQ(call.title, first.title);
            EXPECT_EQ(call.filter, first.filter);
            EXPECT_EQ(call.maxFile, first.maxFile);
            EXPECT_EQ(call.flags, first.flags);
            EXPECT_EQ(call.defaultExtension, first.defaultExtension);
        }
        EXPECT_EQ(Wide(c.path), c.result);
        wchar_t shown[SETTINGS_PATH_SIZE] = {};
        GetDlgItemTextW(dialog, c.edit, shown, SETTINGS_PATH_SIZE);
        EXPECT_EQ(shown, c.result);

        SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        DestroyWindow(dialog);
    }
}

// A path the ANSI code page cannot hold (Korean in code page 932) is kept by its short name,
// which names the same file. Without a short name the dialog says so, in its language and in
// UTF-16, and keeps the former path rather than one of "?"s.
TEST_F(BrowseButtons, APathTheCodePageCannotHoldIsKeptByItsShortNameOrNotAtAll)
{
    ScratchFolder scratch("config_dialog unholdable path");
    const std::wstring folder = Wide(scratch.Path()) + L"\\음악";
    const std::wstring existing = folder + L"\\velorandix.exe";
    const std::wstring missing = Wide(scratch.Path()) + L"\\없는\\velorandix.exe";
    const char CONTENT[] = "the chosen file";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    HANDLE file = CreateFileW(existing.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, CONTENT, sizeof CONTENT - 1, &written, nullptr);
    CloseHandle(file);
    const char STORED[] = "C:\\stored\\velorandix.exe";
    char* const accessory = ConfigDialogState.settings.accessoryPath;

    HWND dialog = OpenDialog();
    ASSERT_NE(dialog, nullptr);
    gScriptedDialogs = ScriptedCommonDialogs();
    lstrcpyA(accessory, STORED);
    {
        BoxAnswerer answerer;
        gScriptedDialogs.choice = existing.c_str();
        SendMessageA(dialog, WM_COMMAND, IDC_ACCESSORY_BROWSE, 0);
        EXPECT_TRUE(SeenBoxes().empty());
    }
    EXPECT_EQ(ReadTextFile(accessory), CONTENT) << accessory << " names another file";
    const std::string name = "\\velorandix.exe"; // only the folder's name is short
    EXPECT_EQ(std::string(accessory).substr(lstrlenA(accessory) - name.size()), name);
    wchar_t shown[SETTINGS_PATH_SIZE] = {};
    GetDlgItemTextW(dialog, IDC_ACCESSORY_PATH, shown, SETTINGS_PATH_SIZE);
    EXPECT_EQ(shown, Wide(accessory)) << "the control shows what is kept";

    lstrcpyA(accessory, STORED);
    {
        BoxAnswerer answerer;
        gScriptedDialogs.choice = missing.c_str();
        SendMessageA(dialog, WM_COMMAND, IDC_ACCESSORY_BROWSE, 0);
        ASSERT_EQ(SeenBoxes().size(), 1u);
        const SeenBox& box = SeenBoxes()[0];
        EXPECT_EQ(box.text, TEXT_UNUSABLE_PATH.japanese + missing +
                                TEXT_UNUSABLE_PATH_ADVICE.japanese);
        EXPECT_EQ(box.caption, TEXT_DIALOG_TITLE.japanese);
        EXPECT_EQ(box.owner, dialog);
    }
    EXPECT_STREQ(accessory, STORED);
    SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    DestroyWindow(dialog);
}

TEST(PickColor, ANullColourShowsNothingAndAnswersZero)
{
    EXPECT_EQ(PickColor(nullptr, nullptr), 0);
}
