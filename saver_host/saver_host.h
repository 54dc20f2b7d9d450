// The saver host: what every screen saver of this kind does, whatever it shows. It knows no
// particular saver: a saver hands it a SaverDefinition through SaverStart. Each section below
// says which file exports what; the first says what a saver must supply.
#pragma once
#include "saver_host/portable/dismissal.h"
#include "saver_host/portable/password_timing.h"
#include <windows.h>

// ==== What a saver supplies ========================================================
//
// The program's entry file fills a SaverDefinition and hands it to SaverStart.
//
// Every message of the saver window runs one chain, in this order:
//   1. SaverWindowProc (saver_window.cpp): the IME at creation and destruction, the cursor,
//      the fixed title, the swallowed system commands, help and context menus of the
//      preview. Once the close is allowed, input, paint and timer messages end here.
//      Everything else goes on unchanged to
//   2. saverProc: what this saver does. It swallows what it must and hands every other
//      message, unchanged, to
//   3. DefaultSaverProc (default_proc.cpp): dismissal on input, the password check of a
//      close, the autoplay answer on the Windows 95 family; then DefWindowProcA. Its result is
//      the chain's result.
//
// The life of a dismissal, from the user's touch to the end of the process:
//   1. Input. A key, a button or a mouse move reaches the chain. DefaultSaverProc
//      (default_proc.cpp) judges it (a move against MOUSE_MOVE_THRESHOLD of the user's pixels,
//      scaled to the DPI of the monitor under the cursor reference by portable/dismissal.h)
//      and posts WM_CLOSE. Posted, never sent: nothing ends inside the input's own dispatch.
//   2. The posted close. RunMessageLoop (saver_window.cpp) dispatches it down the chain.
//   3. The saver's close work, in saverProc: for this saver OnClose (launcher/launcher_saver.cpp)
//      tells the accessory to quit with IDM_EXIT (launcher/accessory.cpp) and stops the music
//      for good (launcher/player.cpp), in play order 1 keeping its place first
//      (launcher/settings.cpp). This runs BEFORE the password decision, on every close
//      request, and is not undone by a refusal.
//   4. The password decision, in DefaultSaverProc: on the NT family the close simply goes on.
//      On the Windows 95 family CheckPasswordOnClose (password.cpp) sends
//      VERIFY_PASSWORD_MESSAGE down the chain, and DefaultSaverProc answers it with the control
//      panel's VerifyScreenSavePwd, whose dialog dispatches the saver window's messages while
//      it runs. A refusal ends the close here: the window stays up in its colour, the cursor
//      reference moves to where the cursor stands, and the next touch starts again at step 1
//      (the accessory was asked to quit, and is gone unless it ignored the command; the
//      music stays stopped; a close within PASSWORD_RECHECK_DELAY of the refusal is refused
//      unasked).
//   5. Destroy. DefWindowProcA destroys the window. WM_DESTROY runs the chain:
//      SaverWindowProc gives the IME back and posts WM_QUIT; the saver releases what it held
//      (this saver: the brush, any music still open, the accessory's handles).
//   6. Quit. The loop ends; RunSaver unloads the password hook and returns NORMAL_EXIT_CODE.
//   7. ExitProcess. SaverStart (saver_start.cpp) ends the process with that code, without the
//      runtime's exit-time processing.
//
// The configure mode runs configDialogProc modally on the dialog template numbered
// configDialogTemplate in the executable's resources; the dialog's end value is the exit code
// (CONFIGURED_EXIT_CODE after OK, NORMAL_EXIT_CODE after Cancel).
struct SaverDefinition {
    WNDPROC saverProc;        // the chain's middle step; ends in DefaultSaverProc
    DLGPROC configDialogProc; // the settings dialog
    int configDialogTemplate; // its template's resource number
};

// ==== saver_state.cpp: the host's process-wide record ==============================

// VerifyScreenSavePwd of PASSWORD.CPL: nonzero when the user proved the password.
typedef BOOL(WINAPI* VerifyPasswordFunction)(HWND window);
// ImmAssociateContext of IMM32.DLL, looked up only when that module is already loaded.
typedef HANDLE(WINAPI* AssociateContextFunction)(HWND window, HANDLE inputContext);

// Each field names its writer.
struct SaverStateRecord {
    const SaverDefinition* saver; // SaverStart: what this saver supplies
    HINSTANCE instance;           // SaverMain, first step; read by the dialog and the window
    HWND saverWindow;             // RunSaver, the created window
    int isPreview;                // RunSaver, 1 before a preview window is created
    int closeAllowed;             // CheckPasswordOnClose; once nonzero it stays so
    int checkingPassword;         // CheckPasswordOnClose, 1 while a verification runs
    HMODULE passwordLibrary;      // LoadPasswordHook / UnloadPasswordHook: PASSWORD.CPL
    VerifyPasswordFunction verifyPasswordEntry; // set only while passwordLibrary is set
    UINT autoPlayMessage; // RunSaver: "QueryCancelAutoPlay" on the Windows 95 family, else 0
    HMODULE imeLibrary;   // WM_CREATE: IMM32.DLL when already loaded
    AssociateContextFunction associateContextEntry; // WM_CREATE
    HANDLE savedInputContext;    // WM_CREATE: the context detached from the saver window
    int isWin9x;                 // SaverMain, before the dispatch: 1 on the Windows 95 family
    POINT lastCursor;            // TakeCursorReference and dismissing mouse moves
    uint32_t mouseMoveThreshold; // OnMouseMove: lastCursor's at its DPI, 0 until a move needs it
    DWORD lastCheckTick = NO_CHECK_YET; // CheckPasswordOnClose: tick when the last check ended
};
extern SaverStateRecord SaverState;

// Everything back to its value at process start. SaverStart begins with it; tests too.
void ResetSaverState();

// ==== saver_start.cpp: start and end of the process ================================

// The process's exit codes, each the result of the mode that ran:
// A run that ended as it should: the full-screen run and the preview once their window is
// gone, a full-screen start that found another saver up, the password change, and the
// settings dialog left with Cancel.
const int NORMAL_EXIT_CODE = 0;
// The settings dialog left with OK, the settings saved.
const int CONFIGURED_EXIT_CODE = 1;
// A command line no mode answers: a switch letter outside the table, the password change on
// the NT family, or a preview without a usable window to run in.
const int UNUSABLE_COMMAND_EXIT_CODE = -1;
// The saver window could not be made, so no message loop ran (saver_window.cpp).
const int NO_WINDOW_EXIT_CODE = -1;
// A fault in the mode that the fault guard handled (fault_guard.cpp).
const int FAULT_EXIT_CODE = -1;

// Works out the command tail and the show command, runs SaverMain and ends the process with
// its result, without the runtime's exit-time processing.
[[noreturn]] void SaverStart(const SaverDefinition* saver);
// Notes the instance and the Windows family, then runs the mode the command tail's first
// switch names under the fault guard. Returns the exit code.
//
// Adding a command-line mode:
//   1. portable/command_line.h: its SaverMode, saying what its argument is.
//   2. portable/command_line.cpp, ScanCommandTail: its switch letters.
//   3. The mode itself: its entry declared in a section of this file, defined in a file of its
//      own (listed in saver_host/CMakeLists.txt), its results among the exit codes above.
//   4. saver_start.cpp, RunCommandMode: the case that runs it.
//   5. Its tests, as "Adding a mode" in tests/README.md lists them.
int WINAPI SaverMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR commandTail,
                     int showCommand);

// ==== configure_mode.cpp: the configure mode =======================================

// The saver's settings dialog, modal over owner (may be null). On the NT family it is a
// Unicode dialog, whose controls hold UTF-16 whatever the ANSI code page; the Windows 95
// family makes it with the ANSI functions, in its code page. Returns the dialog's end value,
// or -1 when it cannot be made.
int ShowConfigDialog(HWND owner);
// Loads and initialises the common controls the dialog is made of. Always 1 here: a system
// without them still shows the dialog with USER32's controls; 0 would refuse the dialog.
int PrepareConfigDialog(HINSTANCE instance);

// ==== user_text.cpp: texts the user reads, on either family =======================
//
// Texts are UTF-16 here, taken from the string table of the executable (SaverState.instance)
// in the language the system picks. Each call below chooses by SaverState.isWin9x: the wide
// function on the NT family; on the Windows 95 family the ANSI one, in its code page.

// Room for the longest text shown: a sentence, a path, another sentence.
const int USER_TEXT_SIZE = 4096;
// Room for a title bar's text.
const int USER_CAPTION_SIZE = 128;

// The string table's text number id into text (size units); its length, 0 when missing.
int LoadUserText(UINT id, WCHAR* text, int size);
// MessageBox: the button pressed.
int ShowUserBox(HWND owner, const WCHAR* text, const WCHAR* caption, UINT type);
// SendDlgItemMessage of a message whose lParam is a text (CB_ADDSTRING): its result.
LRESULT SendUserText(HWND dialog, int control, UINT message, const WCHAR* text);
// SetDlgItemText.
void SetUserText(HWND dialog, int control, const WCHAR* text);
// GetWindowText: the length, 0 for none.
int GetUserText(HWND window, WCHAR* text, int size);
// Text in the ANSI code page, a path of the settings for one, as UTF-16: the length, or 0 (an
// empty text) when it does not fit.
int AnsiToUserText(const char* ansi, WCHAR* text, int size);

// ==== window_text.cpp: windows named on the command line ===========================

// The window whose handle the text starts with in decimal, or null without digits. Windows
// handles are 32 bits wide on every Windows; a 64-bit process widens them by sign.
HWND WindowFromHandleText(const char* text);
// That window, or the foreground window when the text names none (null text, no digits, 0,
// or a window that is gone).
HWND OwnerWindowFromText(const char* text);

// ==== fault_guard.cpp: the fault guard around a mode ===============================

// Runs mode(context). A fault that the system's UnhandledExceptionFilter lets the guard
// handle tells the system no saver runs any more and yields FAULT_EXIT_CODE.
int RunUnderFaultGuard(int (*mode)(void* context), void* context);

// ==== saver_window.cpp: the saver window and its message loop =======================
//
// Every coordinate here is a physical pixel. The manifest makes the process aware of each
// monitor's DPI (per monitor, version 2), so the system neither scales its numbers nor
// stretches its windows; the systems that know no DPI awareness count pixels anyway.
// - The full-screen window takes the clip box of the screen's device context: the virtual
//   screen, every monitor whatever its scaling, in physical pixels. A monitor left of or
//   above the primary one makes its left or top negative.
// - The preview fills its host's client rectangle, in physical pixels too.
// - So a saver that also judges a window by its width counts physical pixels: the control
//   panel's preview is 456 pixels wide at 300% and 684 at 450%. SaverState.isPreview, not
//   the width, is what says a preview runs.
// - The mouse threshold is the user's 4 pixels, not the screen's: default_proc.cpp scales it
//   by the DPI of the monitor under the cursor reference (12 physical pixels at 300%).

// The class the system and other programs know a running saver by, and the window's title in
// each of its two forms.
inline constexpr char SAVER_CLASS_NAME[] = "WindowsScreenSaverClass";
inline constexpr char FULL_SCREEN_TITLE[] = "Screen Saver";
inline constexpr char PREVIEW_TITLE[] = "Preview";

// The preview inside parent, or the full-screen run when parent is null. Returns the exit
// code: NORMAL_EXIT_CODE once the window has gone and when another full-screen saver runs,
// NO_WINDOW_EXIT_CODE when the window could not be made.
int RunSaver(HWND parent);
LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// ==== default_proc.cpp: default handling and dismissal =============================

// Private message by which a close asks the window chain to verify the password.
const UINT VERIFY_PASSWORD_MESSAGE = 0x8000;
// A mouse move dismisses beyond SaverState.mouseMoveThreshold: MOUSE_MOVE_THRESHOLD, defined
// with its comparison in portable/dismissal.h, in the pixels of the monitor under the
// reference.
LRESULT DefaultSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Makes where the cursor stands now the reference of the mouse-move threshold; the threshold
// for the monitor there is worked out at the first move beyond MOUSE_MOVE_THRESHOLD. The saver
// window takes it at creation; a dismissing move and a refused close move it too.
void TakeCursorReference();
// Where the threshold's DPI comes from on the NT family, and what tests put in their place:
// GetDpiForMonitor of SHCORE.DLL (Windows 8.1 and later: the monitor's DPI after the user's
// scaling), looked up at each question, failing where the system lacks it; then the system
// DPI, GetDeviceCaps(LOGPIXELSX) of the screen; then STANDARD_DPI. The Windows 95 family and
// the preview ask none of them.
typedef HRESULT(WINAPI* DpiForMonitorFunction)(HMONITOR monitor, int dpiType, UINT* dpiX,
                                               UINT* dpiY);
extern DpiForMonitorFunction gDpiForMonitor;
extern int(WINAPI* gDeviceCaps)(HDC context, int index);

// ==== password.cpp: the password lock of the Windows 95 family ======================

// The Display control panel's switch of the lock, a value under HKEY_CURRENT_USER.
inline constexpr char DESKTOP_KEY[] = "Control Panel\\Desktop";
inline constexpr char USE_PASSWORD_VALUE[] = "ScreenSaveUsePassword";

void LoadPasswordHook();
void UnloadPasswordHook();
void SetScreenSaverRunning(int flag);
// Nonzero when the close may proceed, 0 when it is refused.
int CheckPasswordOnClose(HWND window);
// The /a mode: MPR.DLL's password change over the window the text names. Returns 0.
int ChangePassword(const char* text);
// GetTickCount, unless a test has put another tick source in its place.
extern DWORD(WINAPI* PasswordTickCount)();

// ==== code_page.cpp: the system's ANSI code page for the platform-free code ==========

// IsDBCSLeadByte: whether the byte starts a double-byte character.
bool IsSystemLeadByte(unsigned char byte);
// CharNextA: the next character, one or two bytes on; stays at the NUL.
const char* NextSystemCharacter(const char* text);
