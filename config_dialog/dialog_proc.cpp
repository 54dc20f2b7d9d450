// The settings dialog's procedure: the settings loaded and shown as it opens, the paths chosen
// through the browse buttons, the colour through the swatch's button, and the settings saved
// on OK. Every text it shows goes through the host's user texts (saver_host.h): UTF-16 on the
// NT family, where the dialog is a Unicode one.
#include "config_dialog/config_dialog.h"

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

// The settings hold paths in the ANSI code page. A path chosen that they cannot hold even by
// short names is refused, the user is told, and the former path stays.
static int KeepChosenPath(HWND dialog, const WCHAR* chosen, char* path)
{
    char ansi[PATH_SIZE];
    if (!ChosenPathInCodePage(chosen, ansi)) {
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
    WCHAR text[VERSION_TEXT_SIZE];
    FormatVersionText(text);
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
    ShowSettingControls(dialog, settings);
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

// The path of the settings file that could not be written, in the ANSI code page, in an error
// box of the dialog's, under a first line that says whether nothing or only some of the
// settings were saved.
static void ShowSaveFailure(HWND dialog, SaveOutcome outcome, const char* settingsPath)
{
    WCHAR path[PATH_SIZE];
    AnsiToUserText(settingsPath, path, PATH_SIZE);
    UINT first = outcome == SETTINGS_PARTLY_SAVED ? IDS_SAVE_PARTLY_FAILED : IDS_SAVE_FAILED;
    ShowPathBox(dialog, first, path, IDS_SAVE_FAILED_ADVICE, MB_ICONERROR);
}

// A save that failed is told, and the dialog stays open with the user's choices, for Cancel or
// another OK once a file can be written. A save that went to the user's own file, the one
// beside the saver being out of reach, succeeded.
static void OnOk(HWND dialog)
{
    TakeSettingControls(dialog, &ConfigDialogState.settings);
    char settingsPath[PATH_SIZE];
    SaveOutcome outcome = SaveSettings(&ConfigDialogState.settings, settingsPath);
    if (outcome != SETTINGS_SAVED) {
        ShowSaveFailure(dialog, outcome, settingsPath);
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
    case WM_HSCROLL:
        KeepTrackbarOnItsSteps(dialog, reinterpret_cast<HWND>(lParam), LOWORD(wParam));
        return 1;
    }
    return 0;
}
