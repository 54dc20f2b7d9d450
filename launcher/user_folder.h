// The user's application data folder, where a user keeps settings of their own when the folder
// beside the saver cannot be written: SHGetFolderPathW, looked up at run time.
#pragma once
#include <windows.h>

// The shape of SHGetFolderPathW. SHELL32 exports it from Windows 2000 and Me on, SHFOLDER.DLL
// on older systems where Internet Explorer 5 or a program brought it.
typedef HRESULT(WINAPI* GetFolderPathFunction)(HWND owner, int folder, HANDLE token, DWORD flags,
                                               LPWSTR path);
// LookUpFolderPath in the product; in tests, a folder that is not there, or one of their own.
extern GetFolderPathFunction gGetFolderPath;
// SHGetFolderPathW of SHELL32, or else of SHFOLDER.DLL, each loaded when not yet; E_NOTIMPL
// when neither has it.
HRESULT WINAPI LookUpFolderPath(HWND owner, int folder, HANDLE token, DWORD flags, LPWSTR path);

// The user's application data folder (%APPDATA%) through gGetFolderPath, in the ANSI code page
// in which the profile functions take paths, by its short name where the code page cannot
// hold it. appData has PATH_SIZE bytes. Returns 0, appData empty, when there is none.
int UserAppDataPath(char* appData);
