// A path chosen in a file-open dialog, in UTF-16, as the settings keep it: in the ANSI code
// page, and by short (8.3) names where the code page cannot hold it, as on a Western Windows
// that is given a Japanese folder.
#include "config_dialog/config_dialog.h"
#include "launcher/ansi_path.h"

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

// The file's own short name comes last: it is made of characters the code page holds wherever
// the file system keeps one.
bool ChosenPathInCodePage(const WCHAR* chosen, char* ansi)
{
    return WideToAnsi(chosen, ansi, PATH_SIZE) || ShortFolderAnsiPath(chosen, ansi) ||
           ShortAnsiPath(chosen, ansi, PATH_SIZE);
}
