// Helpers for the in-process tests of the saver window's message chain: settings written
// beside the test executable, saver windows made and destroyed on the test's thread, posted
// close requests counted, and message boxes answered as a user would.
#pragma once
#include "config_dialog/config_dialog.h"
#include "launcher/accessory.h"
#include "launcher/launcher_saver.h"
#include "launcher/launcher_state.h"
#include "launcher/player.h"
#include "launcher/settings.h"
#include "resources/resource_ids.h"
#include "saver_host/saver_host.h"
#include <string>
#include <vector>

inline const char* SaverClassName()
{
    return "WindowsScreenSaverClass";
}

inline std::string ExecutablePath()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, sizeof path);
    return path;
}

inline std::string ExecutableFolder()
{
    std::string path = ExecutablePath();
    return path.substr(0, path.find_last_of('\\') + 1);
}

// The build tree, where the fixtures are: SAVER_BUILD_DIR seen from Windows.
inline std::string BuildFolder()
{
    char unixPath[MAX_PATH];
    if (!GetEnvironmentVariableA("SAVER_BUILD_DIR", unixPath, sizeof unixPath))
        return ExecutableFolder() + "..\\..\\";
    std::string path = std::string("Z:") + unixPath + "\\";
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

// The settings file the saver reads at window creation: this executable's name with "ini".
inline void WriteSettings(COLORREF color, const std::string& accessory,
                          const std::string& playlist)
{
    std::string exe = ExecutablePath();
    std::string ini = exe.substr(0, exe.size() - 3) + "ini";
    DeleteFileA(ini.c_str());
    WritePrivateProfileStringA("setting", "bgcolor", std::to_string(color).c_str(), ini.c_str());
    WritePrivateProfileStringA("setting", "exepath", accessory.c_str(), ini.c_str());
    WritePrivateProfileStringA("setting", "playlist", playlist.c_str(), ini.c_str());
}

// This saver as the program's entry file binds it to the host.
inline const SaverDefinition* LauncherSaver()
{
    static const SaverDefinition saver = {LauncherSaverProc, ConfigDialogProc,
                                          CONFIG_DIALOG_TEMPLATE};
    return &saver;
}

// Everything a run changes, back to the start of a process, with this saver bound.
inline void ResetRun()
{
    ResetSaverState();
    ResetLauncherState();
    SaverState.saver = LauncherSaver();
    SaverState.instance = GetModuleHandleA(nullptr);
}

// The class as RunSaver registers it, for tests that make saver windows without a run.
inline void EnsureSaverClass()
{
    WNDCLASSA existing;
    if (GetClassInfoA(GetModuleHandleA(nullptr), SaverClassName(), &existing))
        return;
    WNDCLASSA saverClass = {};
    saverClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC;
    saverClass.lpfnWndProc = SaverWindowProc;
    saverClass.hInstance = GetModuleHandleA(nullptr);
    saverClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    saverClass.lpszClassName = SaverClassName();
    RegisterClassA(&saverClass);
}

// A top-level saver window, hidden unless asked: a hidden one takes no activation and gets
// no real input, so only the messages a test sends reach it.
inline HWND MakeSaverWindow(int x, int y, int width, int height, bool visible = false)
{
    EnsureSaverClass();
    HWND window = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW,
                                  SaverClassName(),
                                  "Screen Saver",
                                  WS_POPUP,
                                  x,
                                  y,
                                  width,
                                  height,
                                  nullptr,
                                  nullptr,
                                  GetModuleHandleA(nullptr),
                                  nullptr);
    if (window && visible) {
        SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW | SWP_NOACTIVATE);
        UpdateWindow(window);
    }
    return window;
}

// Removes the close requests posted to the window and says how many there were.
inline int TakePostedCloses(HWND window)
{
    int count = 0;
    MSG message;
    while (PeekMessageA(&message, window, WM_CLOSE, WM_CLOSE, PM_REMOVE))
        ++count;
    return count;
}

// A destroyed saver window posts WM_QUIT to this thread; a later run must not find it.
inline void DestroySaverWindow(HWND window)
{
    if (IsWindow(window))
        DestroyWindow(window);
    MSG message;
    while (PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    TakePostedCloses(nullptr);
}

// Lets the window system catch up (window mapping, painting) while handling this thread's
// messages.
inline void PumpFor(DWORD milliseconds)
{
    DWORD start = GetTickCount();
    do {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        Sleep(10);
    } while (GetTickCount() - start < milliseconds);
}

inline COLORREF ScreenPixelAt(int x, int y)
{
    HDC screen = GetDC(nullptr);
    COLORREF color = GetPixel(screen, x, y);
    ReleaseDC(nullptr, screen);
    return color;
}

// Message boxes of this thread, answered with OK by a thread timer that runs inside their
// own modal loop. Each box's caption, text and owner are kept.
struct SeenBox {
    std::string caption;
    std::string text;
    HWND owner;
};

inline std::vector<SeenBox>& SeenBoxes()
{
    static std::vector<SeenBox> boxes;
    return boxes;
}

inline BOOL CALLBACK AnswerBox(HWND window, LPARAM)
{
    char text[512];
    GetClassNameA(window, text, sizeof text);
    if (lstrcmpA(text, "#32770") != 0 || !IsWindowVisible(window))
        return TRUE;
    SeenBox box;
    GetWindowTextA(window, text, sizeof text);
    box.caption = text;
    GetDlgItemTextA(window, 0xFFFF, text, sizeof text); // a message box's text control
    box.text = text;
    box.owner = GetWindow(window, GW_OWNER);
    SeenBoxes().push_back(box);
    PostMessageA(window, WM_COMMAND, IDOK, 0);
    return TRUE;
}

inline void CALLBACK AnswerBoxesTick(HWND, UINT, UINT_PTR, DWORD)
{
    EnumThreadWindows(GetCurrentThreadId(), AnswerBox, 0);
}

struct BoxAnswerer {
    BoxAnswerer()
    {
        SeenBoxes().clear();
        timer = SetTimer(nullptr, 0, 200, AnswerBoxesTick);
    }
    ~BoxAnswerer() { KillTimer(nullptr, timer); }
    UINT_PTR timer;
};

// The music device as a recorder: every command the player sends, nothing played.
inline std::vector<std::string>& MciCommands()
{
    static std::vector<std::string> commands;
    return commands;
}

inline MCIERROR WINAPI RecordMciCommand(LPCSTR command, LPSTR reply, UINT replyLength, HWND)
{
    MciCommands().push_back(command);
    if (reply && replyLength)
        reply[0] = '\0';
    return 0;
}

inline int CountMciCommands(const char* command)
{
    int count = 0;
    for (const std::string& sent : MciCommands())
        count += sent == command;
    return count;
}
