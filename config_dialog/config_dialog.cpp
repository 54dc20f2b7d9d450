// The configure mode's settings dialog: the accessory's and the playlist's paths chosen through
// the file-open dialog, the background colour through the colour chooser and shown in a swatch,
// the launcher's version, and the settings saved on OK.
#include "config_dialog/config_dialog.h"
#include "config_dialog/portable/version_numbers.h"
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
static_assert(sizeof(OPENFILENAMEA) == (sizeof(void*) == 4 ? 88 : 152),
              "OPENFILENAMEA in its full form");
static_assert(sizeof(CHOOSECOLORA) == (sizeof(void*) == 4 ? 36 : 72), "CHOOSECOLORA");

// Each filter is one description and one pattern, each NUL-terminated, and one more NUL.
static const char ACCESSORY_FILTER[] = "velorandix.exe\0velorandix.exe\0";
static const char ACCESSORY_TITLE[] = "velorandix.exeを選択してください";
static const char PLAYLIST_FILTER[] = "m3u files {*.m3u;*.m3u8}\0*.m3u;*.m3u8\0";
static const char PLAYLIST_TITLE[] = "m3u形式のプレイリストを選択してください";
// A name typed without an extension gets this one, in the playlist's dialog too.
static const char DEFAULT_EXTENSION[] = "exe";

// The common dialogs are loaded when the dialog first needs one, not imported: an import
// would load COMDLG32 and the shell libraries behind it into every full-screen run too,
// costing start time and memory where no dialog is ever shown.
static const char COMMON_DIALOG_LIBRARY[] = "COMDLG32.DLL";
typedef BOOL(WINAPI* ChooseColorFunction)(CHOOSECOLORA* request);

static HMODULE gCommonDialogs; // loaded once, kept until the process ends

static FARPROC CommonDialogEntry(const char* name)
{
    if (!gCommonDialogs)
        gCommonDialogs = LoadLibraryA(COMMON_DIALOG_LIBRARY);
    return gCommonDialogs ? GetProcAddress(gCommonDialogs, name) : nullptr;
}

// A library or entry that cannot be had counts as a failed dialog: nothing changes.
static BOOL WINAPI ShowOpenFileDialog(OPENFILENAMEA* request)
{
    auto entry = reinterpret_cast<GetOpenFileNameFunction>(CommonDialogEntry("GetOpenFileNameA"));
    return entry && entry(request);
}

static DWORD WINAPI LastCommonDialogError()
{
    auto entry =
        reinterpret_cast<CommDlgExtendedErrorFunction>(CommonDialogEntry("CommDlgExtendedError"));
    return entry ? entry() : 0;
}

GetOpenFileNameFunction gGetOpenFileName = ShowOpenFileDialog;
CommDlgExtendedErrorFunction gCommDlgExtendedError = LastCommonDialogError;

static BOOL ShowColorDialog(CHOOSECOLORA* request)
{
    auto entry = reinterpret_cast<ChooseColorFunction>(CommonDialogEntry("ChooseColorA"));
    return entry && entry(request);
}

static const char FILE_VERSION_KEY[] = "\\StringFileInfo\\041104b0\\FileVersion";
static const DWORD MODULE_PATH_SIZE = 260;
static const int CAPTION_SIZE = 128; // the dialog's title, about 60 bytes

// 1 when the user confirmed a file; otherwise 0, and *error says why (0 for a cancel).
// The common dialogs of the Windows 95 family and NT 4 know only the structure without its
// reserved fields and FlagsEx (76 bytes on 32-bit Windows) and refuse the full one without
// showing anything; they get that older form, which is kept for any further call with this
// request. Newer systems are given the full form first, as they expect.
static int OpenFileDialog(OPENFILENAMEA* request, DWORD* error)
{
    if (gGetOpenFileName(request))
        return 1;
    *error = gCommDlgExtendedError();
    if (*error != CDERR_STRUCTSIZE || request->lStructSize == OPENFILENAME_SIZE_VERSION_400A)
        return 0;
    request->lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    if (gGetOpenFileName(request))
        return 1;
    *error = gCommDlgExtendedError();
    return 0;
}

// Shows the file-open dialog starting from the name in path (SETTINGS_PATH_SIZE bytes). A
// confirmed choice replaces path with the full path chosen; anything else leaves it as it was.
static int ChooseFile(HWND dialog, char* path, const char* filter, const char* title)
{
    char chosen[SETTINGS_PATH_SIZE];
    lstrcpynA(chosen, path, SETTINGS_PATH_SIZE);
    OPENFILENAMEA request = {};
    request.lStructSize = sizeof request;
    request.hwndOwner = dialog;
    request.lpstrFilter = filter;
    request.lpstrFile = chosen;
    request.nMaxFile = SETTINGS_PATH_SIZE;
    request.lpstrTitle = title;
    request.Flags = OFN_FILEMUSTEXIST;
    request.lpstrDefExt = DEFAULT_EXTENSION;
    DWORD error = 0;
    int confirmed = OpenFileDialog(&request, &error);
    // A stored path that the dialog refuses as a starting name would keep the dialog from
    // ever opening, and the path could never be replaced: start from no name instead.
    if (!confirmed && error == FNERR_INVALIDFILENAME && chosen[0] != '\0') {
        chosen[0] = '\0';
        confirmed = OpenFileDialog(&request, &error);
    }
    if (!confirmed)
        return 0;
    lstrcpynA(path, chosen, SETTINGS_PATH_SIZE);
    return 1;
}

static void BrowseForAccessory(HWND dialog)
{
    char* path = ConfigDialogState.settings.accessoryPath;
    if (ChooseFile(dialog, path, ACCESSORY_FILTER, ACCESSORY_TITLE))
        SetDlgItemTextA(dialog, IDC_ACCESSORY_PATH, path);
}

static void BrowseForPlaylist(HWND dialog)
{
    char* path = ConfigDialogState.settings.playlistPath;
    if (ChooseFile(dialog, path, PLAYLIST_FILTER, PLAYLIST_TITLE))
        SetDlgItemTextA(dialog, IDC_PLAYLIST_PATH, path);
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
    char text[VERSION_TEXT_SIZE] = {};
    const int* numbers = ConfigDialogState.versionNumbers;
    int length = wsprintfA(text, VERSION_LINE_FORMAT, numbers[0], numbers[1], numbers[2]);
    lstrcpynA(text + length, VERSION_CREDIT_LINE, VERSION_TEXT_SIZE - length);
    SetDlgItemTextA(dialog, IDC_VERSION_TEXT, text);
}

// The dialog works on its own copy of the settings, loaded as it opens and saved on OK.
static INT_PTR OnInitDialog(HWND dialog, HWND, LPARAM)
{
    ResetConfigDialogState();
    LauncherSettingsRecord* settings = &ConfigDialogState.settings;
    LoadSettings(settings);
    ReadFileVersion();
    ConfigDialogState.swatchBrush = CreateSolidBrush(settings->backgroundColor);
    SetDlgItemTextA(dialog, IDC_ACCESSORY_PATH, settings->accessoryPath);
    SetDlgItemTextA(dialog, IDC_PLAYLIST_PATH, settings->playlistPath);
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

// Composed by hand: wsprintfA stops at 1024 characters, and the path may have 1023.
static void ShowSaveFailure(HWND dialog)
{
    char settingsPath[SETTINGS_PATH_SIZE];
    SettingsFilePath(settingsPath);
    char text[sizeof SAVE_FAILED_TEXT + SETTINGS_PATH_SIZE + sizeof SAVE_FAILED_ADVICE];
    lstrcpyA(text, SAVE_FAILED_TEXT);
    lstrcatA(text, settingsPath);
    lstrcatA(text, SAVE_FAILED_ADVICE);
    char caption[CAPTION_SIZE];
    GetWindowTextA(dialog, caption, CAPTION_SIZE);
    MessageBoxA(dialog, text, caption, MB_OK | MB_ICONERROR);
}

// A save that failed is told, and the dialog stays open with the user's choices, for Cancel or
// another OK once the file can be written.
static void OnOk(HWND dialog)
{
    if (!SaveSettings(&ConfigDialogState.settings)) {
        ShowSaveFailure(dialog);
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
    case IDC_ACCESSORY_BROWSE: BrowseForAccessory(dialog); return 1;
    case IDC_PLAYLIST_BROWSE: BrowseForPlaylist(dialog); return 1;
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

    char path[MODULE_PATH_SIZE];
    DWORD length = GetModuleFileNameA(nullptr, path, MODULE_PATH_SIZE);
    // A cut path names another file, and is not NUL-terminated on every system.
    if (length == 0 || length >= MODULE_PATH_SIZE)
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
