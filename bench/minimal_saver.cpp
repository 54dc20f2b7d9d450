// The floor the saver is measured against: the least Win32 program that does the saver's
// visible work. A topmost popup over the whole screen, painted in one colour, gone at the first key.
#include <windows.h>

// Kept equal to FILL_COLOR in tools/run-bench.sh, which gives the saver the same colour and
// tells the probe which colour means "painted".
const COLORREF kFillColor = RGB(0x20, 0x60, 0xA0);

static HBRUSH gFillBrush;

static void OnPaint(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    FillRect(dc, &client, gFillBrush);
    EndPaint(window, &paint);
}

static LRESULT CALLBACK MinimalWindowProc(HWND window, UINT message, WPARAM wParam,
                                          LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: OnPaint(window); return 0;
    case WM_KEYDOWN: DestroyWindow(window); return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    gFillBrush = CreateSolidBrush(kFillColor);

    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = MinimalWindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "MinimalSaverClass";
    if (!RegisterClassA(&windowClass))
        return 1;

    HWND window = CreateWindowExA(
        WS_EX_TOPMOST,                  // above every other window, as a saver is
        "MinimalSaverClass",
        "Minimal Saver",
        WS_POPUP | WS_VISIBLE,          // no frame, shown at once
        0, 0,
        GetSystemMetrics(SM_CXSCREEN),  // the whole screen
        GetSystemMetrics(SM_CYSCREEN),
        nullptr,                        // no owner
        nullptr,                        // no menu
        instance,
        nullptr);
    if (!window)
        return 1;

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}
