// The configure mode's settings dialog: the accessory's and the playlist's paths chosen through
// the file-open dialog, what the playlist holds, the play order, the background colour through
// the colour chooser and shown in a swatch, the launcher's version, and the settings saved on
// OK. Every text it shows goes through the host's user texts (saver_host.h): UTF-16 on the NT
// family, where the dialog is a Unicode one.
#include "config_dialog/config_dialog.h"
#include "config_dialog/portable/version_numbers.h"
#include "launcher/ansi_path.h"
#include "launcher/playlist.h"
#include "launcher/settings.h"
#include "resources/resource_ids.h"
#include "saver_host/saver_host.h"
#include <commdlg.h>
#include <cderr.h>

ConfigDialogStateRecord ConfigDialogState;

void ResetConfigDialogState()
{
    ConfigDialogState = ConfigDialogStateRecord();
}

// The full structure, reserved fields and FlagsEx included: the size the dialog is given first.
static_assert(sizeof(OPENFILENAMEW) == (sizeof(void*) == 4 ? 88 : 152),
              "OPENFILENAMEW in its full form");
static_assert(sizeof(OPENFILENAMEA) == sizeof(OPENFILENAMEW), "the two forms share one layout");
static_assert(sizeof(CHOOSECOLORA) == (sizeof(void*) == 4 ? 36 : 72), "CHOOSECOLORA");

// What a browse button chooses: the file-open dialog's title and its one file type (a name in
// the user's language from the string table, and a pattern), and the setting and the edit
// control the chosen path goes to.
struct FileChoice {
    UINT titleId;
    UINT fileTypeId;
    const WCHAR* pattern;
    char (LauncherSettingsRecord::*path)[PATH_SIZE];
    int control;
};
static const FileChoice ACCESSORY_CHOICE = {IDS_ACCESSORY_DIALOG_TITLE,
                                            IDS_ACCESSORY_FILE_TYPE,
                                            L"velorandix.exe",
                                            &LauncherSettingsRecord::accessoryPath,
                                            IDC_ACCESSORY_PATH};
static const FileChoice PLAYLIST_CHOICE = {IDS_PLAYLIST_DIALOG_TITLE,
                                           IDS_PLAYLIST_FILE_TYPE,
                                           L"*.m3u;*.m3u8",
                                           &LauncherSettingsRecord::playlistPath,
                                           IDC_PLAYLIST_PATH};
// A name typed without an extension gets this one, in the playlist's dialog too.
static const WCHAR DEFAULT_EXTENSION[] = L"exe";
// A file type's name, a pattern, their NULs and the closing one.
static const int FILTER_SIZE = 256;

// The common dialogs are loaded when the dialog first needs one, not imported: an import
// would load COMDLG32 and the shell libraries behind it into every full-screen run too,
// costing start time and memory where no dialog is ever shown.
static const char COMMON_DIALOG_LIBRARY[] = "COMDLG32.DLL";
typedef BOOL(WINAPI* GetOpenFileNameWFunction)(OPENFILENAMEW* request);
typedef BOOL(WINAPI* GetOpenFileNameAFunction)(OPENFILENAMEA* request);
typedef DWORD(WINAPI* CommDlgExtendedErrorFunction)();
typedef BOOL(WINAPI* ChooseColorFunction)(CHOOSECOLORA* request);

static HMODULE gCommonDialogs; // loaded once, kept until the process ends

static FARPROC CommonDialogEntry(const char* name)
{
    if (!gCommonDialogs)
        gCommonDialogs = LoadLibraryA(COMMON_DIALOG_LIBRARY);
    return gCommonDialogs ? GetProcAddress(gCommonDialogs, name) : nullptr;
}

CommonDialogEntryFunction gCommonDialogEntry = CommonDialogEntry;

// Copies text into size units at most, the NUL included; returns the units copied before it.
// KERNEL32's wide string functions are stubs on the Windows 95 family.
static int CopyText(WCHAR* to, const WCHAR* text, int size)
{
    int length = 0;
    for (; length < size - 1 && text[length] != L'\0'; ++length)
        to[length] = text[length];
    to[length] = L'\0';
    return length;
}

// Counts the units of a filter list up to and with its closing NUL.
static int FilterLength(const WCHAR* filter)
{
    int length = 0;
    while (filter[length] != L'\0' || filter[length + 1] != L'\0')
        ++length;
    return length + 2;
}

// length units of text (-1: up to its NUL) in the system's code page, into size bytes.
static void ToCodePage(const WCHAR* text, int length, char* ansi, int size)
{
    if (!WideCharToMultiByte(CP_ACP, 0, text, length, ansi, size, nullptr, nullptr))
        ansi[0] = '\0';
}

// The Windows 95 family has only a stub of GetOpenFileNameW: the same request goes to
// GetOpenFileNameA in the system's code page, and the file chosen comes back in UTF-16.
static BOOL ShowAnsiOpenFileDialog(OPENFILENAMEW* request)
{
    auto entry = reinterpret_cast<GetOpenFileNameAFunction>(gCommonDialogEntry("GetOpenFileNameA"));
    if (!entry)
        return FALSE;
    char filter[2 * FILTER_SIZE];
    char title[2 * USER_CAPTION_SIZE];
    char extension[sizeof DEFAULT_EXTENSION];
    char file[PATH_SIZE];
    ToCodePage(request->lpstrFilter, FilterLength(request->lpstrFilter), filter, sizeof filter);
    ToCodePage(request->lpstrTitle, -1, title, sizeof title);
    ToCodePage(request->lpstrDefExt, -1, extension, sizeof extension);
    ToCodePage(request->lpstrFile, -1, file, sizeof file);
    OPENFILENAMEA ansi;
    CopyMemory(&ansi, request, sizeof ansi); // the same fields, and the older form's size
    ansi.lpstrFilter = filter;
    ansi.lpstrTitle = title;
    ansi.lpstrDefExt = extension;
    ansi.lpstrFile = file;
    ansi.nMaxFile = sizeof file;
    return entry(&ansi) &&
           AnsiToUserText(file, request->lpstrFile, static_cast<int>(request->nMaxFile)) > 0;
}

// A library or entry that cannot be had counts as a failed dialog: nothing changes.
static BOOL ShowOpenFileDialog(OPENFILENAMEW* request)
{
    if (SaverState.isWin9x)
        return ShowAnsiOpenFileDialog(request);
    auto entry = reinterpret_cast<GetOpenFileNameWFunction>(gCommonDialogEntry("GetOpenFileNameW"));
    return entry && entry(request);
}

static DWORD LastCommonDialogError()
{
    auto entry =
        reinterpret_cast<CommDlgExtendedErrorFunction>(gCommonDialogEntry("CommDlgExtendedError"));
    return entry ? entry() : 0;
}

static BOOL ShowColorDialog(CHOOSECOLORA* request)
{
    auto entry = reinterpret_cast<ChooseColorFunction>(gCommonDialogEntry("ChooseColorA"));
    return entry && entry(request);
}

static const char FILE_VERSION_KEY[] = "\\StringFileInfo\\041104b0\\FileVersion";

// 1 when the user confirmed a file; otherwise 0, and *error says why (0 for a cancel).
// The common dialogs of the Windows 95 family and NT 4 know only the structure without its
// reserved fields and FlagsEx (76 bytes on 32-bit Windows) and refuse the full one without
// showing anything; they get that older form, which is kept for any further call with this
// request. Newer systems are given the full form first, as they expect.
static int OpenFileDialog(OPENFILENAMEW* request, DWORD* error)
{
    if (ShowOpenFileDialog(request))
        return 1;
    *error = LastCommonDialogError();
    if (*error != CDERR_STRUCTSIZE || request->lStructSize == OPENFILENAME_SIZE_VERSION_400W)
        return 0;
    request->lStructSize = OPENFILENAME_SIZE_VERSION_400W;
    if (ShowOpenFileDialog(request))
        return 1;
    *error = LastCommonDialogError();
    return 0;
}

// Shows the file-open dialog for the choice, starting from the name in path. 1 when the user
// confirmed a file, whose full path is then in chosen (PATH_SIZE units).
static int ChooseFile(HWND dialog, const FileChoice& choice, const char* path, WCHAR* chosen)
{
    WCHAR title[USER_CAPTION_SIZE];
    LoadUserText(choice.titleId, title, USER_CAPTION_SIZE);
    // The type's name, its pattern, and an empty string that closes the list.
    WCHAR filter[FILTER_SIZE] = {};
    int patternStart = LoadUserText(choice.fileTypeId, filter, FILTER_SIZE / 2) + 1;
    CopyText(filter + patternStart, choice.pattern, FILTER_SIZE - patternStart - 1);
    AnsiToUserText(path, chosen, PATH_SIZE);

    OPENFILENAMEW request = {};
    request.lStructSize = sizeof request;
    request.hwndOwner = dialog;
    request.lpstrFilter = filter;
    request.lpstrFile = chosen;
    request.nMaxFile = PATH_SIZE;
    request.lpstrTitle = title;
    request.Flags = OFN_FILEMUSTEXIST;
    request.lpstrDefExt = DEFAULT_EXTENSION;
    DWORD error = 0;
    int confirmed = OpenFileDialog(&request, &error);
    // A stored path that the dialog refuses as a starting name would keep the dialog from
    // ever opening, and the path could never be replaced: start from no name instead.
    if (!confirmed && error == FNERR_INVALIDFILENAME && chosen[0] != L'\0') {
        chosen[0] = L'\0';
        confirmed = OpenFileDialog(&request, &error);
    }
    return confirmed;
}

// A box of the dialog's, captioned with its title: the text numbered first, the path, then
// the text numbered second. Composed by hand: wsprintf stops at 1024 characters, and the path
// may have 1023.
static void ShowPathBox(HWND dialog, UINT first, const WCHAR* path, UINT second, UINT icon)
{
    WCHAR text[USER_TEXT_SIZE];
    int length = LoadUserText(first, text, USER_TEXT_SIZE - PATH_SIZE);
    length += CopyText(text + length, path, PATH_SIZE);
    LoadUserText(second, text + length, USER_TEXT_SIZE - length);
    WCHAR caption[USER_CAPTION_SIZE];
    GetUserText(dialog, caption, USER_CAPTION_SIZE);
    ShowUserBox(dialog, text, caption, MB_OK | icon);
}

// The short name of the file's folder and the file's own name, when the code page holds that
// name: the accessory is known by its name, velorandix.exe, and a playlist read as UTF-8 by its
// extension, .m3u8, which the file's short name would lose.
static bool ShortFolderAnsiPath(const WCHAR* chosen, char* ansi)
{
    WCHAR folder[PATH_SIZE];
    int nameStart = CopyText(folder, chosen, PATH_SIZE);
    while (nameStart > 0 && folder[nameStart - 1] != L'\\')
        --nameStart;
    if (nameStart == 0)
        return false;
    folder[nameStart - 1] = L'\0';
    if (!ShortAnsiPath(folder, ansi, PATH_SIZE))
        return false;
    int length = lstrlenA(ansi);
    ansi[length] = '\\';
    return length + 1 < PATH_SIZE &&
           WideToAnsi(chosen + nameStart, ansi + length + 1, PATH_SIZE - length - 1);
}

// The settings hold paths in the ANSI code page. A path chosen that the code page cannot hold
// is kept by its short name, made of characters it holds, where the file system keeps one;
// without one the user is told, and the former path stays: a path of "?"s names no file.
static int KeepChosenPath(HWND dialog, const WCHAR* chosen, char* path)
{
    char ansi[PATH_SIZE];
    if (!WideToAnsi(chosen, ansi, PATH_SIZE) && !ShortFolderAnsiPath(chosen, ansi) &&
        !ShortAnsiPath(chosen, ansi, PATH_SIZE)) {
        ShowPathBox(dialog, IDS_UNUSABLE_PATH, chosen, IDS_UNUSABLE_PATH_ADVICE, MB_ICONWARNING);
        return 0;
    }
    lstrcpyA(path, ansi);
    return 1;
}

// A path of the settings shown in a control.
static void ShowPath(HWND dialog, int control, const char* ansi)
{
    WCHAR text[PATH_SIZE];
    AnsiToUserText(ansi, text, PATH_SIZE);
    SetUserText(dialog, control, text);
}

// A count of tracks has at most four digits: each "%d" of a text, two units, becomes four at
// most, and the line fits twice the room of the text.
static_assert(MAX_TRACKS < 10000 && PLAYLIST_CONTENTS_SIZE >= 2 * USER_CAPTION_SIZE,
              "the line holds a text with every %d replaced");

// The string table's text id with its first "%d" replaced by first and any other by second:
// the wide wsprintf is a stub on the Windows 95 family. line has PLAYLIST_CONTENTS_SIZE units.
static void FormatCounts(UINT id, int first, int second, WCHAR* line)
{
    WCHAR format[USER_CAPTION_SIZE];
    LoadUserText(id, format, USER_CAPTION_SIZE);
    const WCHAR* at = format;
    for (int number = first; *at != L'\0'; ++at) {
        if (at[0] != L'%' || at[1] != L'd') {
            *line++ = *at;
            continue;
        }
        char digits[SETTING_NUMBER_SIZE];
        wsprintfA(digits, "%d", number);
        line += AnsiToUserText(digits, line, SETTING_NUMBER_SIZE);
        number = second;
        ++at;
    }
    *line = L'\0';
}

// The line tells what the saver will find at the path OK saves, read by the saver's own loader
// with one look on the disk for each track: its attributes, which Wine reads from the file
// system at once. A search (FindFirstFile, as FileExists does) goes through the wineserver:
// for 2048 tracks it took from a tenth to over half a second, the attributes 9 ms.
// - an empty path: no line, as the hint above the path says there is no music then;
// - a path that names no file to read (nothing there, a folder, a wildcard): the playlist
//   cannot be read;
// - a file that gives no track, or only tracks whose files are missing: no track to play;
// - otherwise every track it gives, and how many of them are missing when any are: "12 曲",
//   "12 曲（2 曲が見つかりません）".
// The configure mode plays nothing: the playlist is cleared again at once.
void DescribePlaylist(const char* path, WCHAR* line)
{
    line[0] = L'\0';
    if (path[0] == '\0')
        return;
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        FormatCounts(IDS_PLAYLIST_UNREADABLE, 0, 0, line);
        return;
    }
    int tracks = gPlaylist.Load(path);
    int missing = 0;
    for (int slot = 0; slot < tracks; ++slot)
        missing += GetFileAttributesA(gPlaylist.tracks[slot]) == INVALID_FILE_ATTRIBUTES;
    gPlaylist.Clear();
    UINT id = IDS_PLAYLIST_TRACKS;
    if (missing == tracks)
        id = IDS_PLAYLIST_NO_TRACK;
    else if (missing > 0)
        id = IDS_PLAYLIST_MISSING_TRACKS;
    else if (tracks == 1)
        id = IDS_PLAYLIST_ONE_TRACK;
    FormatCounts(id, tracks, missing, line);
}

// The line under the playlist's path describes the path held, which OK saves: the one loaded
// or chosen through the browse button, never text typed into the edit control.
static void ShowPlaylistContents(HWND dialog)
{
    WCHAR line[PLAYLIST_CONTENTS_SIZE];
    DescribePlaylist(ConfigDialogState.settings.playlistPath, line);
    SetUserText(dialog, IDC_PLAYLIST_CONTENTS, line);
}

// A confirmed choice replaces the setting and its control's text, and a playlist's line;
// anything else leaves them.
static void Browse(HWND dialog, const FileChoice& choice)
{
    char* path = ConfigDialogState.settings.*choice.path;
    WCHAR chosen[PATH_SIZE];
    if (!ChooseFile(dialog, choice, path, chosen) || !KeepChosenPath(dialog, chosen, path))
        return;
    ShowPath(dialog, choice.control, path);
    if (&choice == &PLAYLIST_CHOICE)
        ShowPlaylistContents(dialog);
}

// The drop-down list of the play orders, item n for the setting's value n.
static_assert(PLAY_ORDER_FIRST == 0 && PLAY_ORDER_CONTINUE == 1 && PLAY_ORDER_SHUFFLE == 2 &&
                  IDS_PLAY_ORDER_CONTINUE == IDS_PLAY_ORDER_FIRST + 1 &&
                  IDS_PLAY_ORDER_SHUFFLE == IDS_PLAY_ORDER_FIRST + 2,
              "the items in the order of the values");

static void ShowPlayOrders(HWND dialog, int playOrder)
{
    for (int order = PLAY_ORDER_FIRST; order <= PLAY_ORDER_SHUFFLE; ++order) {
        WCHAR item[USER_CAPTION_SIZE];
        LoadUserText(IDS_PLAY_ORDER_FIRST + order, item, USER_CAPTION_SIZE);
        SendUserText(dialog, IDC_PLAY_ORDER, CB_ADDSTRING, item);
    }
    SendDlgItemMessageA(dialog, IDC_PLAY_ORDER, CB_SETCURSEL, playOrder, 0);
}

// Forgetting the brush once deleted keeps a late paint from being handed a deleted brush.
static void DeleteSwatchBrush()
{
    if (ConfigDialogState.swatchBrush)
        DeleteObject(ConfigDialogState.swatchBrush);
    ConfigDialogState.swatchBrush = nullptr;
}

static void ReplaceSwatchBrush(COLORREF color)
{
    DeleteSwatchBrush();
    ConfigDialogState.swatchBrush = CreateSolidBrush(color);
}

static void ChangeBackgroundColor(HWND dialog)
{
    COLORREF* color = &ConfigDialogState.settings.backgroundColor;
    if (!PickColor(dialog, color))
        return;
    ReplaceSwatchBrush(*color);
    InvalidateRect(GetDlgItem(dialog, IDC_COLOR_SWATCH), nullptr, TRUE);
}

// The swatch brush goes with the dialog.
static void EndConfigDialog(HWND dialog, int result)
{
    DeleteSwatchBrush();
    EndDialog(dialog, result);
}

static void ShowVersionText(HWND dialog)
{
    char line[VERSION_TEXT_SIZE] = {};
    const int* numbers = ConfigDialogState.versionNumbers;
    wsprintfA(line, VERSION_LINE_FORMAT, numbers[0], numbers[1], numbers[2]);
    WCHAR text[VERSION_TEXT_SIZE];
    int length = AnsiToUserText(line, text, VERSION_TEXT_SIZE);
    LoadUserText(IDS_VERSION_CREDIT, text + length, VERSION_TEXT_SIZE - length);
    SetUserText(dialog, IDC_VERSION_TEXT, text);
}

// The dialog works on its own copy of the settings, loaded as it opens and saved on OK.
static INT_PTR OnInitDialog(HWND dialog, HWND, LPARAM)
{
    ResetConfigDialogState();
    LauncherSettingsRecord* settings = &ConfigDialogState.settings;
    LoadSettings(settings);
    ReadFileVersion();
    ConfigDialogState.swatchBrush = CreateSolidBrush(settings->backgroundColor);
    ShowPath(dialog, IDC_ACCESSORY_PATH, settings->accessoryPath);
    ShowPath(dialog, IDC_PLAYLIST_PATH, settings->playlistPath);
    ShowPlaylistContents(dialog);
    ShowPlayOrders(dialog, settings->playOrder);
    ShowVersionText(dialog);
    return 1; // the system focuses the first tab stop, OK
}

static INT_PTR OnCtlColorStatic(HWND dialog, HDC context, HWND control)
{
    if (control != GetDlgItem(dialog, IDC_COLOR_SWATCH))
        return 0;
    SetBkColor(context, ConfigDialogState.settings.backgroundColor);
    return reinterpret_cast<INT_PTR>(ConfigDialogState.swatchBrush);
}

// The settings file's path, in the ANSI code page, in an error box of the dialog's, under a
// first line that says whether nothing or only some of the settings were saved.
static void ShowSaveFailure(HWND dialog, SaveOutcome outcome)
{
    char settingsPath[PATH_SIZE];
    SettingsFilePath(settingsPath);
    WCHAR path[PATH_SIZE];
    AnsiToUserText(settingsPath, path, PATH_SIZE);
    UINT first = outcome == SETTINGS_PARTLY_SAVED ? IDS_SAVE_PARTLY_FAILED : IDS_SAVE_FAILED;
    ShowPathBox(dialog, first, path, IDS_SAVE_FAILED_ADVICE, MB_ICONERROR);
}

// A save that failed is told, and the dialog stays open with the user's choices, for Cancel or
// another OK once the file can be written.
static void OnOk(HWND dialog)
{
    LRESULT order = SendDlgItemMessageA(dialog, IDC_PLAY_ORDER, CB_GETCURSEL, 0, 0);
    if (order != CB_ERR)
        ConfigDialogState.settings.playOrder = static_cast<int>(order);
    SaveOutcome outcome = SaveSettings(&ConfigDialogState.settings);
    if (outcome != SETTINGS_SAVED) {
        ShowSaveFailure(dialog, outcome);
        return;
    }
    EndConfigDialog(dialog, CONFIGURED_EXIT_CODE);
}

// Dispatched on the control identifier alone. The edit controls' notifications are not
// looked at: what is typed there never reaches the settings.
static INT_PTR OnCommand(HWND dialog, int id, HWND, UINT)
{
    switch (id) {
    case IDOK: OnOk(dialog); return 1;
    case IDCANCEL: EndConfigDialog(dialog, NORMAL_EXIT_CODE); return 1; // also Esc, close box
    case IDC_ACCESSORY_BROWSE: Browse(dialog, ACCESSORY_CHOICE); return 1;
    case IDC_PLAYLIST_BROWSE: Browse(dialog, PLAYLIST_CHOICE); return 1;
    case IDC_COLOR_CHANGE: ChangeBackgroundColor(dialog); return 1;
    }
    return 0;
}

INT_PTR CALLBACK ConfigDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog(dialog, reinterpret_cast<HWND>(wParam), lParam);
    case WM_CTLCOLORSTATIC:
        return OnCtlColorStatic(dialog,
                                reinterpret_cast<HDC>(wParam),
                                reinterpret_cast<HWND>(lParam));
    case WM_COMMAND:
        return OnCommand(dialog, LOWORD(wParam), reinterpret_cast<HWND>(lParam), HIWORD(wParam));
    }
    return 0;
}

int PickColor(HWND owner, COLORREF* color)
{
    if (color == nullptr)
        return 0;
    for (COLORREF& custom : ConfigDialogState.customColors)
        custom = 0;

    CHOOSECOLORA request = {};
    request.lStructSize = sizeof request;
    request.hwndOwner = owner;
    request.rgbResult = *color;
    request.lpCustColors = ConfigDialogState.customColors;
    request.Flags = CC_RGBINIT | CC_FULLOPEN | CC_ANYCOLOR;
    if (!ShowColorDialog(&request))
        return 0;
    *color = request.rgbResult;
    return 1;
}

void ReadFileVersion()
{
    int* numbers = ConfigDialogState.versionNumbers;
    for (int i = 0; i < VERSION_NUMBER_COUNT; ++i)
        numbers[i] = 0;

    char path[PATH_SIZE];
    if (!ReadExecutablePath(path))
        return;

    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(path, &handle);
    if (size == 0)
        return;
    void* block = LocalAlloc(LMEM_FIXED, size);
    if (block == nullptr)
        return;

    char* text = nullptr;
    UINT textLength = 0;
    if (GetFileVersionInfoA(path, 0, size, block) &&
        VerQueryValueA(block, FILE_VERSION_KEY, reinterpret_cast<void**>(&text), &textLength) &&
        text != nullptr) {
        // The text lies inside the block; never read past the block's end.
        const char* blockEnd = static_cast<const char*>(block) + size;
        if (text >= static_cast<const char*>(block) && text < blockEnd)
            SplitVersionNumbers(text, static_cast<size_t>(blockEnd - text), numbers);
    }
    LocalFree(block);
}
