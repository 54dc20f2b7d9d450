// The saver host: what every screen saver of this kind does, whatever it shows. Its
// process-wide record and the operations the other subsystems call.
#pragma once
#include <windows.h>

// VerifyScreenSavePwd of PASSWORD.CPL: nonzero when the user proved the password.
typedef BOOL(WINAPI* VerifyPasswordFunction)(HWND window);
// ImmAssociateContext of IMM32.DLL, looked up only when that module is already loaded.
typedef HANDLE(WINAPI* AssociateContextFunction)(HWND window, HANDLE inputContext);

struct SaverStateRecord {
    HINSTANCE instance;          // SaverMain, first step; read by the dialog and the saver window
    HWND saverWindow;            // RunSaver, the created window
    int isPreview;               // RunSaver, 1 before a preview window is created; never reset
    int closeAllowed;            // CheckPasswordOnClose; once nonzero it stays so
    int checkingPassword;        // CheckPasswordOnClose, 1 while a verification runs
    HMODULE passwordLibrary;     // LoadPasswordHook / UnloadPasswordHook: PASSWORD.CPL
    VerifyPasswordFunction verifyPasswordEntry;  // set only while passwordLibrary is set
    UINT autoPlayMessage;        // RunSaver: "QueryCancelAutoPlay", 0 when not registered
    HMODULE imeLibrary;          // WM_CREATE: IMM32.DLL when already loaded
    AssociateContextFunction associateContextEntry;  // WM_CREATE
    HANDLE savedInputContext;    // WM_CREATE: the context detached from the saver window
    int isWin9x;                 // SaverMain, before the dispatch: 1 on the Windows 95 family
    POINT lastCursor;            // WM_CREATE, dismissing mouse moves, refused closes
    DWORD lastCheckTick;         // CheckPasswordOnClose: tick at the end of the last check
};
extern SaverStateRecord SaverState;

// Private message by which a close asks the window chain to verify the password.
const UINT VERIFY_PASSWORD_MESSAGE = 0x8000;
// A mouse move dismisses only when |dx| + |dy| exceeds this many pixels.
const DWORD MOUSE_MOVE_THRESHOLD = 4;

// Entry and dispatch.
[[noreturn]] void SaverStart();
int WINAPI SaverMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR commandTail,
                     int showCommand);
int ShowConfigDialog(HWND owner);
int PrepareConfigDialog(HINSTANCE instance);
// The window named by a decimal handle text, or the foreground window when the text names
// none (null text, no digits, 0, or a window that is gone).
HWND OwnerWindowFromText(const char* text);
// Runs mode(context) under the fault guard. A fault that the system lets the guard handle
// tells the system no saver runs any more and yields FAULT_EXIT_CODE.
const int FAULT_EXIT_CODE = -1;
int RunGuarded(int (*mode)(void* context), void* context);

// Saver window and message loop.
int RunSaver(HWND parent);
LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Default handling and dismissal.
LRESULT DefaultSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Password lock (Windows 95 family).
void LoadPasswordHook();
void UnloadPasswordHook();
void SetScreenSaverRunning(int flag);
int CheckPasswordOnClose(HWND window);
int ChangePassword(const char* text);
// GetTickCount, unless a test has put another tick source in its place.
extern DWORD(WINAPI* PasswordTickCount)();
