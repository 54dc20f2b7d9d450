// The demo accessory: a small desk clock that the saver starts over its background. It is
// what the saver expects of an accessory: a top-level window with WS_EX_DLGMODALFRAME on its
// main thread, shown above the saver without taking activation, that quits on IDM_EXIT.
#include "launcher/accessory.h"
#include <windows.h>

const UINT_PTR CLOCK_TIMER_ID = 1;
const int CLOCK_WIDTH = 320;
const int CLOCK_HEIGHT = 120;
const char CLOCK_CLASS[] = "VelorandixDemoClock";
const char* const WEEKDAYS[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};

static HFONT gTimeFont;
static HFONT gSmallFont;

// Top to bottom, from a deep teal to a night blue, in bands.
static void PaintBackground(HDC context, const RECT& area)
{
    const int bands = 32;
    for (int band = 0; band < bands; ++band) {
        int red = 10 + (20 - 10) * band / bands;
        int green = 110 + (40 - 110) * band / bands;
        int blue = 120 + (90 - 120) * band / bands;
        RECT strip = {area.left, area.top + (area.bottom - area.top) * band / bands, area.right,
                      area.top + (area.bottom - area.top) * (band + 1) / bands};
        HBRUSH brush = CreateSolidBrush(RGB(red, green, blue));
        FillRect(context, &strip, brush);
        DeleteObject(brush);
    }
}

static void PaintClock(HDC context, const RECT& area)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    char time[16];
    wsprintfA(time, "%02d:%02d:%02d", now.wHour, now.wMinute, now.wSecond);
    char date[32];
    wsprintfA(date, "%04d-%02d-%02d  %s", now.wYear, now.wMonth, now.wDay,
              WEEKDAYS[now.wDayOfWeek % 7]);

    PaintBackground(context, area);
    SetBkMode(context, TRANSPARENT);
    SetTextColor(context, RGB(240, 248, 255));
    HGDIOBJ previous = SelectObject(context, gTimeFont);
    RECT timeArea = {area.left, area.top + 8, area.right, area.top + 78};
    DrawTextA(context, time, -1, &timeArea, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SelectObject(context, gSmallFont);
    SetTextColor(context, RGB(170, 220, 230));
    RECT dateArea = {area.left, area.top + 78, area.right, area.bottom - 8};
    DrawTextA(context, date, -1, &dateArea, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SelectObject(context, previous);
}

// Drawn off screen first, so that the seconds change without flicker.
static void OnPaint(HWND window)
{
    PAINTSTRUCT paint;
    HDC context = BeginPaint(window, &paint);
    RECT area;
    GetClientRect(window, &area);
    HDC memory = CreateCompatibleDC(context);
    HBITMAP bitmap = CreateCompatibleBitmap(context, area.right, area.bottom);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    PaintClock(memory, area);
    BitBlt(context, 0, 0, area.right, area.bottom, memory, 0, 0, SRCCOPY);
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    EndPaint(window, &paint);
}

static void OnCommand(HWND window, WPARAM wParam)
{
    if (LOWORD(wParam) != IDM_EXIT)
        return;
    OutputDebugStringA("velorandix demo: IDM_EXIT received, quitting\n");
    DestroyWindow(window);
}

static LRESULT CALLBACK ClockProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: OnPaint(window); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_TIMER: InvalidateRect(window, nullptr, FALSE); return 0;
    case WM_COMMAND: OnCommand(window, wParam); return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

static HFONT MakeFont(int height, int weight)
{
    return CreateFontA(-height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                       DEFAULT_PITCH | FF_SWISS, "Arial");
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    OutputDebugStringA("velorandix demo: started\n");
    gTimeFont = MakeFont(52, FW_BOLD);
    gSmallFont = MakeFont(18, FW_NORMAL);

    WNDCLASSA clockClass = {};
    clockClass.lpfnWndProc = ClockProc;
    clockClass.hInstance = instance;
    clockClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)); // IDC_ARROW
    clockClass.lpszClassName = CLOCK_CLASS;
    RegisterClassA(&clockClass);

    // Top right of the screen, above the saver's topmost window.
    int x = GetSystemMetrics(SM_CXSCREEN) - CLOCK_WIDTH - 40;
    HWND window = CreateWindowExA(WS_EX_DLGMODALFRAME | WS_EX_TOPMOST,
                                  CLOCK_CLASS,
                                  "velorandix",
                                  WS_POPUP | WS_BORDER,
                                  x,
                                  40,
                                  CLOCK_WIDTH,
                                  CLOCK_HEIGHT,
                                  nullptr,
                                  nullptr,
                                  instance,
                                  nullptr);
    if (!window)
        return 1;
    // Shown without activation: the saver takes a loss of activation for a dismissal.
    ShowWindow(window, SW_SHOWNOACTIVATE);
    SetTimer(window, CLOCK_TIMER_ID, 1000, nullptr);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    DeleteObject(gTimeFont);
    DeleteObject(gSmallFont);
    OutputDebugStringA("velorandix demo: ended\n");
    return 0;
}
