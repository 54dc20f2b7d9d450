// The common dialogs the settings dialog opens, the file-open dialog of its browse buttons and
// the colour chooser, on every system: COMDLG32 loaded when first needed, the ANSI file-open
// dialog on the Windows 95 family, and the older form of its request where only that is known.
#include "config_dialog/config_dialog.h"
#include <cderr.h>

// The full structure, reserved fields and FlagsEx included: the size the dialog is given first.
static_assert(sizeof(OPENFILENAMEW) == (sizeof(void*) == 4 ? 88 : 152),
              "OPENFILENAMEW in its full form");
static_assert(sizeof(OPENFILENAMEA) == sizeof(OPENFILENAMEW), "the two forms share one layout");
static_assert(sizeof(CHOOSECOLORA) == (sizeof(void*) == 4 ? 36 : 72), "CHOOSECOLORA");

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

int ChooseFile(HWND dialog, const FileChoice& choice, const char* path, WCHAR* chosen)
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
    auto entry = reinterpret_cast<ChooseColorFunction>(gCommonDialogEntry("ChooseColorA"));
    if (!entry || !entry(&request))
        return 0;
    *color = request.rgbResult;
    return 1;
}
