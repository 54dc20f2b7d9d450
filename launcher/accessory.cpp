// The accessory the saver runs over its background: started from its path in its own folder,
// asked to quit with IDM_EXIT, its handles closed.
#include "launcher/accessory.h"
#include "launcher/ansi_path.h"
#include "launcher/launcher_state.h"
#include "launcher/portable/path_parts.h"
#include "launcher/settings.h"
#include "saver_host/saver_host.h"
#include <cstring>

static const char SENDING_EXIT_LINE[] = "velorandix.exeにIDM_EXITを送信\n";

// A drive and the file name take 16 characters (C:velorandix.exe: the file in the drive's
// current folder); a drive root and the name, 17. A shorter path names no drive: the name
// alone, or one more character before it, is never launched.
static const size_t MIN_LAUNCH_PATH_LENGTH = 16;

// Only the last 14 bytes count, case-sensitively: myvelorandix.exe launches, VELORANDIX.EXE not.
int NamesAccessory(const char* path)
{
    size_t length = strlen(path);
    size_t nameLength = sizeof ACCESSORY_FILE_NAME - 1;
    if (length < MIN_LAUNCH_PATH_LENGTH)
        return 0;
    return memcmp(path + length - nameLength, ACCESSORY_FILE_NAME, nameLength) == 0;
}

// The file is named as the application and its command line is quoted, so that a path with
// blanks (C:\Program Files\...) can never start another program (C:\Program.exe) first. The
// accessory runs in its own folder.
void StartAccessory(const char* path)
{
    char folder[FOLDER_SIZE];
    FolderOfPath(path, folder, AnsiPathLeadBytes());

    // Built by hand: wsprintfA stops at 1024 characters, and a path may have 1023.
    char commandLine[PATH_SIZE + 2];
    size_t length = strlen(path);
    if (length >= PATH_SIZE)
        return;
    commandLine[0] = '"';
    memcpy(commandLine + 1, path, length);
    commandLine[length + 1] = '"';
    commandLine[length + 2] = '\0';

    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup; // 68
    if (!CreateProcessA(path,
                        commandLine,
                        nullptr,
                        nullptr,
                        FALSE,
                        0,
                        nullptr,
                        folder[0] ? folder : nullptr,
                        &startup,
                        &LauncherState.accessoryProcess))
        ZeroMemory(&LauncherState.accessoryProcess, sizeof LauncherState.accessoryProcess);
}

BOOL CALLBACK FindAccessoryWindow(HWND window, LPARAM)
{
    if (!(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME))
        return TRUE;
    LauncherState.accessoryWindow = window;
    return FALSE;
}

// Asked with a bounded wait, so that a hung or dead accessory cannot keep a topmost
// full-screen window up. A thread id of 0 (no accessory started) would enumerate every
// window on some systems, so it is not enumerated at all. Only a window found in this close
// is told: after a refused close the accessory may have quit, and the system may since have
// given its old handle to another program's window.
void AskAccessoryToQuit()
{
    LauncherState.accessoryWindow = nullptr;
    DWORD threadId = LauncherState.accessoryProcess.dwThreadId;
    if (threadId)
        EnumThreadWindows(threadId, FindAccessoryWindow, 0);
    if (!LauncherState.accessoryWindow)
        return;
    OutputDebugStringA(SENDING_EXIT_LINE);
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(LauncherState.accessoryWindow,
                        WM_COMMAND,
                        IDM_EXIT,
                        0,
                        SMTO_NORMAL | SMTO_ABORTIFHUNG,
                        ACCESSORY_EXIT_TIMEOUT,
                        &ignored);
}

static void CloseHandleOnce(HANDLE* handle)
{
    if (!*handle)
        return;
    CloseHandle(*handle);
    *handle = nullptr;
}

// Held until the window is gone: while the saver holds the thread's handle, the system gives
// its id to no other thread, so a close after a refused one cannot find a stranger's window by
// it. The ids go with the handles. The accessory keeps running if it ignores IDM_EXIT; the
// saver never waits for it longer or ends it.
void CloseAccessoryHandles()
{
    CloseHandleOnce(&LauncherState.accessoryProcess.hThread);
    CloseHandleOnce(&LauncherState.accessoryProcess.hProcess);
    LauncherState.accessoryProcess.dwThreadId = 0;
    LauncherState.accessoryProcess.dwProcessId = 0;
}
