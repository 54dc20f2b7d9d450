// The user's application data folder through SHGetFolderPathW, looked up at run time: an
// import would tie the saver to a SHELL32 that the Windows 95 family and NT 4 lack it in, and
// would load SHELL32 into every run of the Windows 95 family, which never asks.
#include "launcher/user_folder.h"
#include "launcher/ansi_path.h"
#include "launcher/portable/path_parts.h"
#include <shfolder.h>

GetFolderPathFunction gGetFolderPath = LookUpFolderPath;

HRESULT WINAPI LookUpFolderPath(HWND owner, int folder, HANDLE token, DWORD flags, LPWSTR path)
{
    static const char* const MODULES[] = {"SHELL32.DLL", "SHFOLDER.DLL"};
    for (const char* name : MODULES) {
        // Never freed: the module stays for the process's life, so that the next call's load
        // finds it loaded. A module without the entry is as small a loss.
        HMODULE module = LoadLibraryA(name);
        GetFolderPathFunction getFolderPath = module
                                                  ? reinterpret_cast<GetFolderPathFunction>(
                                                        GetProcAddress(module, "SHGetFolderPathW"))
                                                  : nullptr;
        if (getFolderPath != nullptr)
            return getFolderPath(owner, folder, token, flags, path);
    }
    return E_NOTIMPL;
}

int UserAppDataPath(char* appData)
{
    appData[0] = '\0';
    WCHAR wide[MAX_PATH];
    wide[0] = L'\0';
    // The folder as it is now (SHGFP_TYPE_CURRENT), not created: every profile has one.
    if (FAILED(gGetFolderPath(nullptr, CSIDL_APPDATA, nullptr, 0, wide)) || wide[0] == L'\0')
        return 0;
    wide[MAX_PATH - 1] = L'\0';
    if (WideToAnsi(wide, appData, PATH_SIZE) || ShortAnsiPath(wide, appData, PATH_SIZE))
        return 1;
    appData[0] = '\0';
    return 0;
}
