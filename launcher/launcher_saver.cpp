// What this saver does while it runs: at creation it reads the settings, starts the accessory
// and the music timer (full screen only), paints the background colour, drives the music on
// each tick, and on a close asks the accessory to quit and stops the music.
#include "launcher/launcher_saver.h"
#include "launcher/playlist.h"
#include "launcher/portable/path_parts.h"
#include "launcher/settings.h"
#include "saver_host/saver_host.h"
#include <cstring>

LauncherStateRecord LauncherState;

const char MISSING_ACCESSORY_TEXT[] =
    "設定が不完全です。\n設定を開きvelorandix.exeの場所を指定する必要があります。";
const char MISSING_ACCESSORY_CAPTION[] = "velora_v010用スクリーンセーバーLauncher";
const char SENDING_EXIT_LINE[] = "velorandix.exeにIDM_EXITを送信\n";

// A path of 15 characters or fewer cannot be a drive root and the file name together.
const size_t MIN_LAUNCH_PATH_LENGTH = 16;

int FileExists(const char* path)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path, &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    FindClose(search);
    return 1;
}

BOOL CALLBACK FindAccessoryWindow(HWND window, LPARAM)
{
    if (!(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME))
        return TRUE;
    LauncherState.accessoryWindow = window;
    return FALSE;
}

static int WindowWidth()
{
    return LauncherState.windowRect.right - LauncherState.windowRect.left;
}

static int IsFullScreenRun()
{
    return WindowWidth() >= MIN_FULL_SCREEN_WIDTH;
}

// Only the last 14 bytes count, case-sensitively: myvelorandix.exe launches, VELORANDIX.EXE not.
static int NamesAccessory(const char* path)
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
static void StartAccessory(const char* path)
{
    PathParts parts;
    SplitPath(path, &parts, IsSystemLeadByte);
    char folder[sizeof parts.drive + sizeof parts.directory];
    wsprintfA(folder, "%s%s", parts.drive, parts.directory);

    // Built by hand: wsprintfA stops at 1024 characters, and a path may have 1023.
    char commandLine[SETTINGS_PATH_SIZE + 2];
    size_t length = strlen(path);
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

static void StartMusicTimer(HWND window)
{
    if (!FileExists(LauncherSettings.playlistPath))
        return;
    SetTimer(window, MUSIC_TIMER_ID, MUSIC_TIMER_PERIOD, nullptr);
    LauncherState.musicEnabled = 1;
}

static void OnCreate(HWND window)
{
    OutputDebugStringA("WM_CREATE\n");
    LoadSettings();
    if (!FileExists(LauncherSettings.accessoryPath))
        MessageBoxA(window,
                    MISSING_ACCESSORY_TEXT,
                    MISSING_ACCESSORY_CAPTION,
                    MB_OK | MB_ICONWARNING);
    // The box dispatches the window's messages: a close request may have ended the run.
    if (!IsWindow(window))
        return;

    GetWindowRect(window, &LauncherState.windowRect);
    if (IsFullScreenRun()) {
        if (NamesAccessory(LauncherSettings.accessoryPath))
            StartAccessory(LauncherSettings.accessoryPath);
        // The new program must not take activation: the saver would take that for a dismissal.
        SetActiveWindow(window);
        StartMusicTimer(window);
    }
    SetRect(&LauncherState.fillRect, 0, 0, WindowWidth(),
            LauncherState.windowRect.bottom - LauncherState.windowRect.top);
    LauncherState.backgroundBrush = CreateSolidBrush(LauncherSettings.backgroundColor);
}

// The brush outlives a close that the password refuses: the saver goes on painting until the
// window is really gone.
static void OnDestroy()
{
    OutputDebugStringA("WM_DESTROY\n");
    if (LauncherState.backgroundBrush) {
        DeleteObject(LauncherState.backgroundBrush);
        LauncherState.backgroundBrush = nullptr;
    }
}

static void OnPaint(HWND window)
{
    PAINTSTRUCT paint;
    HDC context = BeginPaint(window, &paint);
    FillRect(context, &LauncherState.fillRect, LauncherState.backgroundBrush);
    EndPaint(window, &paint);
}

// Asked with a bounded wait, so that a hung or dead accessory cannot keep a topmost
// full-screen window up. A thread id of 0 (no accessory started) would enumerate every
// window on some systems, so it is not enumerated at all. Only a window found in this close
// is told: after a refused close the accessory has quit, and the system may since have given
// its old handle to another program's window.
static void AskAccessoryToQuit()
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

// Stopped once: a tick already queued, or a close that comes again after a refusal, finds the
// music disabled and starts nothing.
static void StopMusic(HWND window)
{
    if (!LauncherState.musicEnabled || !LauncherState.musicStarted)
        return;
    KillTimer(window, MUSIC_TIMER_ID);
    gPlaylist.Clear();
    LauncherState.musicEnabled = 0;
    LauncherState.musicStarted = 0;
}

static void CloseHandleOnce(HANDLE* handle)
{
    if (!*handle)
        return;
    CloseHandle(*handle);
    *handle = nullptr;
}

// The accessory keeps running if it ignores IDM_EXIT; the saver never waits for it longer or
// ends it.
static void OnClose(HWND window)
{
    OutputDebugStringA("WM_CLOSE\n");
    if (IsFullScreenRun()) {
        AskAccessoryToQuit();
        StopMusic(window);
    }
    CloseHandleOnce(&LauncherState.accessoryProcess.hThread);
    CloseHandleOnce(&LauncherState.accessoryProcess.hProcess);
}

static void OnTimer()
{
    if (!LauncherState.musicEnabled)
        return;
    if (!LauncherState.musicStarted) {
        gPlaylist.Load(LauncherSettings.playlistPath);
        gPlaylist.Advance();
        LauncherState.musicStarted = 1;
    }
    gPlaylist.Advance();
}

LRESULT LauncherSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE: OnCreate(window); break;
    case WM_DESTROY: OnDestroy(); break;
    case WM_ACTIVATE: return 0;
    case WM_NCACTIVATE: return 0;
    case WM_PAINT: OnPaint(window); break;
    case WM_CLOSE: OnClose(window); break;
    case WM_TIMER: OnTimer(); break;
    }
    return DefaultSaverProc(window, message, wParam, lParam);
}
