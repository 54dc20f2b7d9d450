// The saver host's default message handling, the last handler before DefWindowProcA: user
// input and a few system events become close requests, a close waits for the password on the
// Windows 95 family, the cursor stays hidden, and there the shell's autoplay query is answered.
#include "saver_host/saver_host.h"
#include "saver_host/portable/dismissal.h"

// Close requests are posted, never sent: the close runs later, when the loop dispatches it
// down the whole chain.
static void PostCloseRequest(HWND window)
{
    PostMessageA(window, WM_CLOSE, 0, 0);
}

// The last step for every message. RunSaver registers the autoplay query on the Windows 95
// family only (on the NT family autoPlayMessage stays 0, which no message is taken for). There
// it is answered here in every regime, the preview and the closing one included: with a
// password loaded the saver cancels AutoPlay (the close still waits for the password), without
// one it lets AutoPlay go on and closes.
static LRESULT FinishMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (SaverState.autoPlayMessage != 0 && message == SaverState.autoPlayMessage) {
        PostCloseRequest(window);
        return SaverState.verifyPasswordEntry ? 1 : 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// Where the DPI of the monitor under the reference comes from. Both functions are looked up:
// MonitorFromPoint came with Windows 98 and 2000, GetDpiForMonitor with Windows 8.1.
const char SHELL_SCALING_LIBRARY[] = "\\SHCORE.DLL";
const char DPI_FOR_MONITOR_ENTRY[] = "GetDpiForMonitor";
const char MONITOR_FROM_POINT_ENTRY[] = "MonitorFromPoint";
const int EFFECTIVE_DPI = 0;     // MDT_EFFECTIVE_DPI: the monitor's DPI after the user's scaling
const DWORD NEAREST_MONITOR = 2; // MONITOR_DEFAULTTONEAREST

typedef HMONITOR(WINAPI* MonitorFromPointFunction)(POINT point, DWORD flags);

// Looked up for each question, from the system folder only (the systems without it would
// otherwise load a SHCORE.DLL from wherever the search finds one), and let go again: the saver
// asks a few times a run at most, and keeps nothing loaded for it.
static HRESULT WINAPI AskDpiForMonitor(HMONITOR monitor, int dpiType, UINT* dpiX, UINT* dpiY)
{
    char path[MAX_PATH];
    UINT length = GetSystemDirectoryA(path, MAX_PATH);
    if (length == 0 || length + sizeof SHELL_SCALING_LIBRARY > MAX_PATH)
        return E_FAIL;
    lstrcpyA(path + length, SHELL_SCALING_LIBRARY);
    HMODULE library = LoadLibraryA(path);
    if (!library)
        return E_NOTIMPL;
    auto dpiForMonitor =
        reinterpret_cast<DpiForMonitorFunction>(GetProcAddress(library, DPI_FOR_MONITOR_ENTRY));
    HRESULT result = dpiForMonitor ? dpiForMonitor(monitor, dpiType, dpiX, dpiY) : E_NOTIMPL;
    FreeLibrary(library);
    return result;
}

DpiForMonitorFunction gDpiForMonitor = AskDpiForMonitor;
int(WINAPI* gDeviceCaps)(HDC context, int index) = GetDeviceCaps;

static UINT MonitorDpiAt(POINT point)
{
    auto monitorFromPoint = reinterpret_cast<MonitorFromPointFunction>(
        GetProcAddress(GetModuleHandleA("USER32.DLL"), MONITOR_FROM_POINT_ENTRY));
    if (!monitorFromPoint)
        return 0;
    HMONITOR monitor = monitorFromPoint(point, NEAREST_MONITOR);
    UINT dpiX = 0, dpiY = 0;
    if (!monitor || FAILED(gDpiForMonitor(monitor, EFFECTIVE_DPI, &dpiX, &dpiY)))
        return 0;
    return dpiX;
}

static UINT SystemDpi()
{
    HDC screen = GetDC(nullptr);
    if (!screen)
        return 0;
    int dpi = gDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : 0;
}

// The manifest makes the saver see physical pixels, so the threshold grows with the scaling of
// the monitor under the point, the cursor reference. The Windows 95 family knows no scaling
// and keeps its pixels. The preview never gets here: DefaultSaverProc judges none of its input.
static uint32_t ThresholdAt(POINT point)
{
    if (SaverState.isWin9x)
        return MOUSE_MOVE_THRESHOLD;
    UINT dpi = MonitorDpiAt(point);
    if (dpi == 0)
        dpi = SystemDpi();
    return MouseMoveThresholdAt(dpi != 0 ? dpi : STANDARD_DPI);
}

// The DPI is asked only once a move could need it, not with the reference: the first load of
// SHCORE.DLL costs about 30 ms under Wine, which the window's creation would spend before its
// first paint.
static void SetCursorReference(POINT cursor)
{
    SaverState.lastCursor = cursor;
    SaverState.mouseMoveThreshold = 0;
}

// The reference's threshold, asked at the first move that could cross it.
static uint32_t ReferenceThreshold()
{
    if (SaverState.mouseMoveThreshold == 0)
        SaverState.mouseMoveThreshold = ThresholdAt(SaverState.lastCursor);
    return SaverState.mouseMoveThreshold;
}

// A position that cannot be read leaves the reference where it was.
void TakeCursorReference()
{
    POINT cursor;
    if (GetCursorPos(&cursor))
        SetCursorReference(cursor);
}

// A refused close keeps the saver up; the next mouse dismissal needs a fresh move from where
// the cursor stood at the refusal. On the NT family nothing is refused.
static int OnClose(HWND window)
{
    if (!SaverState.isWin9x || CheckPasswordOnClose(window))
        return 1;
    TakeCursorReference();
    return 0;
}

static LRESULT OnVerifyPassword(HWND window)
{
    if (!SaverState.verifyPasswordEntry)
        return 1;
    return SaverState.verifyPasswordEntry(window);
}

static void OnShowWindow(HWND, BOOL shown, UINT)
{
    if (shown)
        SetCursor(nullptr);
}

static void OnActivateApp(HWND window, BOOL active, DWORD)
{
    if (!active)
        PostCloseRequest(window);
}

static void OnPower(HWND window, int code)
{
    if (code == PWR_CRITICALRESUME)
        PostCloseRequest(window);
}

// The message's own coordinates are client coordinates and are not used: the threshold is
// measured on the screen. A cursor position that cannot be read counts as no move.
static void OnMouseMove(HWND window, int, int, UINT)
{
    POINT cursor;
    if (!GetCursorPos(&cursor))
        return;
    // No scaling makes the threshold smaller than MOUSE_MOVE_THRESHOLD: a move within it
    // (the moves the system makes up as the window appears among them) asks nothing.
    const POINT& reference = SaverState.lastCursor;
    if (!MovedBeyondThreshold(reference.x, reference.y, cursor.x, cursor.y, MOUSE_MOVE_THRESHOLD))
        return;
    if (!MovedBeyondThreshold(reference.x, reference.y, cursor.x, cursor.y, ReferenceThreshold()))
        return;
    PostCloseRequest(window);
    SetCursorReference(cursor);
}

LRESULT DefaultSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    // Preview and closing: nothing dismisses, nothing is held back.
    if (SaverState.isPreview || SaverState.closeAllowed)
        return FinishMessage(window, message, wParam, lParam);

    switch (message) {
    case WM_CLOSE:
        if (!OnClose(window))
            return 0; // refused: the window stays
        return FinishMessage(window, message, wParam, lParam);
    case VERIFY_PASSWORD_MESSAGE:
        if (!SaverState.isWin9x)
            return FinishMessage(window, message, wParam, lParam);
        return OnVerifyPassword(window);
    }

    // While the password dialog runs, input belongs to it and must not queue more closes.
    if (SaverState.checkingPassword)
        return FinishMessage(window, message, wParam, lParam);

    switch (message) {
    case WM_SHOWWINDOW:
        OnShowWindow(window, static_cast<BOOL>(wParam), static_cast<UINT>(lParam));
        break;
    case WM_ACTIVATEAPP:
        OnActivateApp(window, static_cast<BOOL>(wParam), static_cast<DWORD>(lParam));
        break;
    case WM_SETCURSOR: SetCursor(nullptr); return 1;
    case WM_POWER: OnPower(window, static_cast<int>(wParam)); break;
    case WM_MOUSEMOVE:
        OnMouseMove(window,
                    static_cast<short>(LOWORD(lParam)),
                    static_cast<short>(HIWORD(lParam)),
                    static_cast<UINT>(wParam));
        break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_POWERBROADCAST: PostCloseRequest(window); break;
    }
    return FinishMessage(window, message, wParam, lParam);
}
