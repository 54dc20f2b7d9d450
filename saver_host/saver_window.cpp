// The saver window: its class, the full-screen popup or the preview child, the message loop,
// and the first step of the window's message chain (then the saver's, then the defaults).
#include "saver_host/saver_host.h"

const char AUTOPLAY_MESSAGE_NAME[] = "QueryCancelAutoPlay";
const char IME_LIBRARY[] = "IMM32.DLL";
const char ASSOCIATE_CONTEXT_ENTRY[] = "ImmAssociateContext";

const UINT SAVER_CLASS_STYLE = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC; // 0x2B
// The class's icon: the executable's icon resource 100, where the saver's resources hold one;
// without it LoadIconA gives null and the class has no icon.
const int SAVER_CLASS_ICON = 100;
const DWORD PREVIEW_STYLE = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN; // 0x52000000
const DWORD FULL_SCREEN_STYLE =
    WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN; // 0x96000000

// Set when the saver window is destroyed. A window can be closed and destroyed while it is
// still being created (a close request dispatched by the warning box of its creation): the
// creation then yields no window, yet the run has ended normally.
static int gQuitPosted;

struct SaverWindowPlacement {
    DWORD extendedStyle;
    DWORD style;
    const char* title;
    int x, y, width, height;
};

static void PlaceInPreviewArea(HWND parent, SaverWindowPlacement* placement)
{
    RECT client = {0, 0, 0, 0};
    GetClientRect(parent, &client);
    placement->extendedStyle = 0;
    placement->style = PREVIEW_STYLE;
    placement->title = PREVIEW_TITLE;
    placement->x = 0;
    placement->y = 0;
    placement->width = client.right;
    placement->height = client.bottom;
}

static void PlaceOverScreen(SaverWindowPlacement* placement)
{
    RECT screen = {0, 0, 0, 0};
    HDC screenContext = GetDC(nullptr);
    GetClipBox(screenContext, &screen);
    ReleaseDC(nullptr, screenContext);
    placement->extendedStyle = WS_EX_TOPMOST;
    placement->style = FULL_SCREEN_STYLE;
    placement->title = FULL_SCREEN_TITLE;
    placement->x = screen.left;
    placement->y = screen.top;
    placement->width = screen.right - screen.left;
    placement->height = screen.bottom - screen.top;
}

// A full-screen saver is already up: the system started us again (or the user did).
static int BringRunningSaverToFront()
{
    HWND running = FindWindowA(SAVER_CLASS_NAME, FULL_SCREEN_TITLE);
    if (running == nullptr || !IsWindow(running))
        return 0;
    SetForegroundWindow(running);
    return 1;
}

static int RunMessageLoop()
{
    MSG message;
    message.wParam = 0;
    while (GetMessageA(&message, nullptr, 0, 0)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

int RunSaver(HWND parent)
{
    WNDCLASSA saverClass;
    saverClass.style = SAVER_CLASS_STYLE;
    saverClass.lpfnWndProc = SaverWindowProc;
    saverClass.cbClsExtra = 0;
    saverClass.cbWndExtra = 0;
    saverClass.hInstance = SaverState.instance;
    saverClass.hIcon = LoadIconA(SaverState.instance, MAKEINTRESOURCEA(SAVER_CLASS_ICON));
    saverClass.hCursor = nullptr;
    saverClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    saverClass.lpszMenuName = nullptr;
    saverClass.lpszClassName = SAVER_CLASS_NAME;

    gQuitPosted = 0;
    SaverWindowPlacement placement;
    if (parent) {
        PlaceInPreviewArea(parent, &placement);
        SaverState.isPreview = 1;
    } else {
        PlaceOverScreen(&placement);
        if (BringRunningSaverToFront())
            return NORMAL_EXIT_CODE;
        LoadPasswordHook();
    }

    SaverState.autoPlayMessage =
        SaverState.isWin9x ? RegisterWindowMessageA(AUTOPLAY_MESSAGE_NAME) : 0;

    if (RegisterClassA(&saverClass)) {
        SaverState.saverWindow = CreateWindowExA(placement.extendedStyle,
                                                 SAVER_CLASS_NAME,
                                                 placement.title,
                                                 placement.style,
                                                 placement.x,
                                                 placement.y,
                                                 placement.width,
                                                 placement.height,
                                                 parent,
                                                 nullptr,
                                                 SaverState.instance,
                                                 nullptr);
    }

    int result = NO_WINDOW_EXIT_CODE;
    if (SaverState.saverWindow) {
        if (!SaverState.isPreview)
            SetForegroundWindow(SaverState.saverWindow);
        result = RunMessageLoop();
    } else if (gQuitPosted) {
        result = NORMAL_EXIT_CODE; // the value every destruction quits with
    }
    UnloadPasswordHook();
    return result;
}

// ---- The window procedure ------------------------------------------------------------------

static void HideCursorInFullScreen()
{
    if (!SaverState.isPreview)
        SetCursor(nullptr);
}

// Typing into the saver must not open an input method's composition window over it.
static void DetachInputMethod(HWND window)
{
    SaverState.imeLibrary = GetModuleHandleA(IME_LIBRARY);
    if (!SaverState.imeLibrary)
        return;
    SaverState.associateContextEntry = reinterpret_cast<AssociateContextFunction>(
        GetProcAddress(SaverState.imeLibrary, ASSOCIATE_CONTEXT_ENTRY));
    if (!SaverState.associateContextEntry)
        return;
    SaverState.savedInputContext = SaverState.associateContextEntry(window, nullptr);
}

static void RestoreInputMethod(HWND window)
{
    if (SaverState.imeLibrary && SaverState.associateContextEntry && SaverState.savedInputContext)
        SaverState.associateContextEntry(window, SaverState.savedInputContext);
}

static void OnCreate(HWND window, const CREATESTRUCTA*)
{
    DetachInputMethod(window);
    TakeCursorReference();
    HideCursorInFullScreen();
}

static void OnDestroy(HWND window)
{
    RestoreInputMethod(window);
    PostQuitMessage(NORMAL_EXIT_CODE);
    gQuitPosted = 1;
}

// The chain's next step: the saver's own handling, which ends in DefaultSaverProc.
static LRESULT PassToSaver(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const SaverDefinition* saver = SaverState.saver;
    if (saver == nullptr || saver->saverProc == nullptr)
        return DefaultSaverProc(window, message, wParam, lParam);
    return saver->saverProc(window, message, wParam, lParam);
}

// The control panel owns help and context menus for its preview area.
static LRESULT ForwardToPreviewArea(HWND window, UINT message, LPARAM lParam)
{
    HWND parent = GetParent(window);
    if (parent && IsWindow(parent))
        PostMessageA(parent, message, reinterpret_cast<WPARAM>(parent), lParam);
    return 1;
}

// In full screen only, and the whole wParam is compared: these exact commands would start
// another saver or switch windows away from a running one.
static int IsSwallowedSystemCommand(WPARAM command)
{
    if (SaverState.isPreview)
        return 0;
    return command == SC_SCREENSAVE || command == SC_NEXTWINDOW || command == SC_PREVWINDOW;
}

// What no longer reaches the saver once the close is allowed: it neither paints, nor plays
// on, nor takes input as a new close request.
static int IsInputPaintOrTick(UINT message)
{
    switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_PAINT:
    case WM_TIMER: return 1;
    }
    return 0;
}

LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (SaverState.closeAllowed && IsInputPaintOrTick(message))
        return message == WM_TIMER ? 0 : DefWindowProcA(window, message, wParam, lParam);

    switch (message) {
    case WM_CREATE: OnCreate(window, reinterpret_cast<const CREATESTRUCTA*>(lParam)); break;
    case WM_DESTROY: OnDestroy(window); break;
    case WM_SETTEXT: return 0; // the single-instance test relies on the title
    case WM_PAINT: HideCursorInFullScreen(); break;
    case WM_HELP:
    case WM_CONTEXTMENU:
        if (SaverState.isPreview)
            return ForwardToPreviewArea(window, message, lParam);
        break;
    case WM_SYSCOMMAND:
        if (IsSwallowedSystemCommand(wParam))
            return 0;
        break;
    case WM_TIMER: Sleep(0); break; // the rest of the time slice, before the tick is handled
    }
    return PassToSaver(window, message, wParam, lParam);
}
