// Processes, windows and input for the programs the tests and the benchmark run under Wine:
// programs started with an exact command line, windows found by process, class and title,
// this thread's messages pumped, screen pixels read, keys and the mouse worked as a user works
// them, and message boxes of this thread answered.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

// ---- Processes -----------------------------------------------------------------------------

struct Child {
    HANDLE process = nullptr;
    DWORD processId = 0;
    std::string failure; // why it did not start, when it did not
};

// Starts application with exactly commandLine as its command line. Extra environment
// entries ("NAME=value") are added to the inherited ones. Standard error goes to stderrPath
// when given.
Child Start(const std::string& application, const std::string& commandLine,
            const std::vector<std::string>& extraEnvironment = {},
            const std::string& stderrPath = "", const std::string& workingDir = "");
// The exit code, or STILL_ACTIVE when the process runs past the timeout (it is then killed).
DWORD WaitForExit(Child& child, DWORD timeoutMs);
void Kill(Child& child);
// Ends the process with this id if it still runs the program of that file name: one a test did
// not start itself, such as an accessory a saver started, which a fault may leave running into
// the next test.
void EndProcess(DWORD processId, const char* fileName);
// Ends every process of that file name that a fixture's log names on a "pid <id>" line.
void EndLoggedProcesses(const std::string& logPath, const char* fileName);
// Ends every process with a top-level window of the class, and says on standard error which
// ones it ended: a program an earlier test left running that would stand in this one's way.
void EndLeftoversWithWindowOf(const char* className);
bool IsRunning(const Child& child);
// For a failure's message: whether the child was started, runs (and with which top-level
// windows, by class) or ended (and with which code).
std::string StateOf(const Child& child);
// Whether the process runs on through milliseconds of this thread's messages handled.
bool StaysRunningFor(const Child& child, DWORD milliseconds);
// Handles this thread's messages until the file (a fixture's log, which its program may hold
// open) holds the text; false after the timeout.
bool WaitForFileText(const std::string& path, const char* text, DWORD timeoutMs);

// ---- Locales -------------------------------------------------------------------------------

// A locale a program runs in. Wine takes a process's ANSI code page and UI language from the
// Linux locale its loader starts in: entries given to CreateProcess (Start's extra
// environment) reach the new process's environment but not its locale. A program is started
// in another locale through the Linux shell.
struct WineLocale {
    const char* name;
    const char* variables; // the shell's assignments; null for the session's own locale
    bool japaneseUi;       // the UI language is Japanese (0x0411), else English (0x0409)
};
// The session's Japanese system: code page 932, Japanese UI.
extern const WineLocale JAPANESE_SYSTEM;
// A Western system: code page 1252, English UI.
extern const WineLocale ENGLISH_SYSTEM;
// A Western system whose user chose a Japanese UI: code page 1252, Japanese UI.
extern const WineLocale WESTERN_SYSTEM_JAPANESE_UI;
// A Japanese system whose user's locale is English: the system locale's code page 932, the
// user locale's 1252, English UI (measured with GetLocaleInfoA under Wine 8).
extern const WineLocale JAPANESE_SYSTEM_ENGLISH_USER;

// Starts application with the command tail in the locale (its command line is its own path,
// then the tail), with the extra environment entries. The process is found by its program's
// name once it runs.
Child StartInLocale(const WineLocale& locale, const std::string& application,
                    const std::string& tail, const std::vector<std::string>& extraEnvironment = {});

// ---- Windows -------------------------------------------------------------------------------

// Polls for a top-level window of the process (any process when processId is 0) with the
// given class and title (null matches any); null on timeout.
HWND WaitForWindow(DWORD processId, const char* className, const char* title, DWORD timeoutMs);
// Polls for a child of parent with the given class and title; null on timeout.
HWND WaitForChildWindow(HWND parent, const char* className, const char* title, DWORD timeoutMs);
// Every top-level window of the process.
std::vector<HWND> WindowsOf(DWORD processId);
std::string ClassNameOf(HWND window);
// A window's text, asked of the window itself: GetWindowTextW answers for a window of another
// process from the caption stored at creation, which an edit control never updates.
std::wstring TextOf(HWND window);
// Between the ANSI code page (932 in the session) and Unicode.
std::wstring Wide(const std::string& ansi);
std::string Ansi(const std::wstring& wide);
// A visible window of this thread standing in for the control panel's preview area, at a
// display scaling of percent: the area is 152x112 pixels at 100%.
HWND MakePreviewHost(int x, int y, int percent = 100);
const int PREVIEW_HOST_WIDTH = 152;
const int PREVIEW_HOST_HEIGHT = 112;

// While it lives, each program started in the session sees the screen at this DPI: Wine's
// LogPixels of the current user, which a process reads as it starts (programs already running
// keep theirs). The value before comes back when it goes.
class SessionDpi {
public:
    explicit SessionDpi(DWORD dpi);
    ~SessionDpi();
    SessionDpi(const SessionDpi&) = delete;
    SessionDpi& operator=(const SessionDpi&) = delete;
    bool IsSet() const { return isSet; }

private:
    DWORD original = 0;
    bool hadOriginal = false, isSet = false;
};

// Handles this thread's messages for a while (window mapping, painting, the driver's own
// windows); 0 handles what is queued and returns.
void PumpFor(DWORD milliseconds);
// A pixel of the screen, through a screen device context.
COLORREF ScreenPixel(int x, int y);

// ---- Input as a user gives it --------------------------------------------------------------

// False when the system took not both the press and the release.
bool PressKey(WORD virtualKey);
void ClickMouse();
void MoveMouseTo(int x, int y);

// ---- Message boxes of this thread ----------------------------------------------------------

// A box as it was seen: caption, text (read wide, as the box holds them), owner and icon.
struct SeenBox {
    std::wstring caption;
    std::wstring text;
    HWND owner;
    HICON icon;
};
// The boxes answered since the last BoxAnswerer was made.
std::vector<SeenBox>& SeenBoxes();

// While it lives, every box of this thread is answered with OK by a thread timer, which runs
// inside the box's own modal loop.
class BoxAnswerer {
public:
    BoxAnswerer();
    ~BoxAnswerer();
    BoxAnswerer(const BoxAnswerer&) = delete;
    BoxAnswerer& operator=(const BoxAnswerer&) = delete;

private:
    UINT_PTR timer;
};
