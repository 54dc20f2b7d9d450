// What the in-process tests of the saver window's message chain need of the product: a stub
// saver for the host alone, this saver bound as the program binds it, saver windows made and
// destroyed on the test's thread, and posted close requests counted. Everything else comes
// from the shared support layer, included here.
#pragma once
#include "config_dialog/config_dialog.h"
#include "launcher/accessory.h"
#include "launcher/launcher_saver.h"
#include "launcher/launcher_state.h"
#include "launcher/player.h"
#include "resources/resource_ids.h"
#include "saver_host/saver_host.h"
#include "tests/support/desktop.h"
#include "tests/support/files.h"
#include "tests/support/mci_recorder.h"
#include <string>
#include <vector>

// ---- The host alone ------------------------------------------------------------------------

// A saver that does nothing of its own: the host's chain alone.
inline LRESULT CALLBACK StubSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefaultSaverProc(window, message, wParam, lParam);
}

inline const SaverDefinition* StubSaver()
{
    static const SaverDefinition saver = {StubSaverProc, nullptr, 0};
    return &saver;
}

// The class as RunSaver registers it, for tests that make saver windows without a run.
inline void EnsureSaverClass()
{
    WNDCLASSA existing;
    if (GetClassInfoA(GetModuleHandleA(nullptr), SAVER_CLASS_NAME, &existing))
        return;
    WNDCLASSA saverClass = {};
    saverClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC;
    saverClass.lpfnWndProc = SaverWindowProc;
    saverClass.hInstance = GetModuleHandleA(nullptr);
    saverClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    saverClass.lpszClassName = SAVER_CLASS_NAME;
    RegisterClassA(&saverClass);
}

// The accessories the saver windows of this program started, by process id. A window lets go
// of its accessory's handles as it goes, and an accessory started by a fault would outlive
// its test and fail the next: the test's teardown ends those still running (EndProcess).
inline std::vector<DWORD>& StartedAccessories()
{
    static std::vector<DWORD> processIds;
    return processIds;
}

// A top-level saver window, hidden unless asked: a hidden one takes no activation and gets
// no real input, so only the messages a test sends reach it.
inline HWND MakeSaverWindow(int x, int y, int width, int height, bool visible = false)
{
    EnsureSaverClass();
    HWND window = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW,
                                  SAVER_CLASS_NAME,
                                  FULL_SCREEN_TITLE,
                                  WS_POPUP,
                                  x,
                                  y,
                                  width,
                                  height,
                                  nullptr,
                                  nullptr,
                                  GetModuleHandleA(nullptr),
                                  nullptr);
    if (LauncherState.accessoryProcess.dwProcessId != 0)
        StartedAccessories().push_back(LauncherState.accessoryProcess.dwProcessId);
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

// ---- This saver, as the program binds it ---------------------------------------------------

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

// The settings file the saver reads at window creation: this executable's.
inline void WriteSettings(COLORREF color, const std::string& accessory,
                          const std::string& playlist)
{
    WriteSettingsFile(ExecutablePath(), color, accessory, playlist);
}
