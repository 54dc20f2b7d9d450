// Whether a path names something on disk.
#include "launcher/file_exists.h"
#include <windows.h>

// What FindFirstFileA finds exists, so a folder or a matching wildcard counts too. The search
// is closed at once: nothing stays open on the user's disk.
int FileExists(const char* path)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path, &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    FindClose(search);
    return 1;
}
