// Processes, windows and input for the programs the tests and the benchmark run under Wine.
#include "tests/support/desktop.h"
#include "tests/support/files.h"
#include <tlhelp32.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

Child Start(const std::string& application, const std::string& commandLine,
            const std::vector<std::string>& extraEnvironment, const std::string& stderrPath,
            const std::string& workingDir)
{
    // The environment block: ours, then the extras (later entries win for the child).
    std::string block;
    char* inherited = GetEnvironmentStringsA();
    for (const char* p = inherited; *p; p += lstrlenA(p) + 1) {
        std::string entry = p;
        bool replaced = false;
        for (const std::string& extra : extraEnvironment) {
            size_t eq = extra.find('=');
            if (eq != std::string::npos && entry.size() > eq &&
                CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, entry.c_str(),
                               static_cast<int>(eq + 1), extra.c_str(),
                               static_cast<int>(eq + 1)) == CSTR_EQUAL)
                replaced = true;
        }
        if (!replaced)
            block += entry + '\0';
    }
    FreeEnvironmentStringsA(inherited);
    for (const std::string& extra : extraEnvironment)
        block += extra + '\0';
    block += '\0';

    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    HANDLE errorFile = nullptr;
    if (!stderrPath.empty()) {
        SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
        errorFile = CreateFileA(stderrPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                &inheritable, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = errorFile;
        startup.hStdError = errorFile;
    }
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    PROCESS_INFORMATION info = {};
    Child child;
    if (CreateProcessA(application.c_str(), line.data(), nullptr, nullptr,
                       errorFile != nullptr, 0, &block[0],
                       workingDir.empty() ? nullptr : workingDir.c_str(), &startup, &info)) {
        // For a Linux program, such as the shell, Wine returns no handles and leaves whatever
        // it had in their place: closing that would close some other handle of this process.
        // Only handles of the new process are ours.
        if (info.dwThreadId != 0 && GetThreadId(info.hThread) == info.dwThreadId)
            CloseHandle(info.hThread);
        if (info.dwProcessId != 0 && GetProcessId(info.hProcess) == info.dwProcessId) {
            child.process = info.hProcess;
            child.processId = info.dwProcessId;
        }
    } else {
        child.failure = "CreateProcess failed with error " + std::to_string(GetLastError());
    }
    if (errorFile)
        CloseHandle(errorFile);
    return child;
}

const WineLocale JAPANESE_SYSTEM = {"Japanese system", nullptr, true};
const WineLocale ENGLISH_SYSTEM = {"English system", "LC_ALL=C.UTF-8", false};
const WineLocale WESTERN_SYSTEM_JAPANESE_UI = {
    "Western system with a Japanese UI",
    "LC_ALL= LANG=C.UTF-8 LC_CTYPE=C.UTF-8 LC_MESSAGES=ja_JP.UTF-8",
    true};
// Wine takes the system locale from LC_CTYPE and the user locale from LC_MESSAGES.
const WineLocale JAPANESE_SYSTEM_ENGLISH_USER = {
    "Japanese system with an English user locale",
    "LC_ALL= LANG=C.UTF-8 LC_CTYPE=ja_JP.UTF-8 LC_MESSAGES=en_US.UTF-8",
    false};

static std::vector<DWORD> ProcessesNamed(const std::string& name)
{
    std::vector<DWORD> found;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        if (lstrcmpiA(entry.szExeFile, name.c_str()) == 0)
            found.push_back(entry.th32ProcessID);
    CloseHandle(snapshot);
    return found;
}

Child StartInLocale(const WineLocale& locale, const std::string& application,
                    const std::string& tail, const std::vector<std::string>& extraEnvironment)
{
    if (!locale.variables)
        return Start(application, "\"" + application + "\" " + tail, extraEnvironment);
    // The shell's environment is the session's: every entry goes on its command line.
    std::string script = locale.variables;
    for (const std::string& entry : extraEnvironment) {
        size_t eq = entry.find('=');
        script += " " + entry.substr(0, eq + 1) + "'" + entry.substr(eq + 1) + "'";
    }
    script += " exec $WINE '" + UnixPathOf(application) + "' " + tail;
    std::string name = application.substr(application.find_last_of('\\') + 1);
    std::vector<DWORD> before = ProcessesNamed(name);
    Child shell = Start("Z:\\bin\\sh", "sh -c \"" + script + "\"");
    if (shell.process)
        CloseHandle(shell.process);

    Child child;
    for (DWORD start = GetTickCount(); GetTickCount() - start < 15000 && !child.process;) {
        for (DWORD id : ProcessesNamed(name)) {
            if (std::find(before.begin(), before.end(), id) != before.end())
                continue;
            child.process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION |
                                            PROCESS_TERMINATE,
                                        FALSE, id);
            child.processId = id;
        }
        PumpFor(50);
    }
    if (!child.process)
        child.failure = shell.failure.empty() ? "no process of that name within 15 s, or one "
                                                "that ended before it was seen"
                                              : shell.failure;
    return child;
}

DWORD WaitForExit(Child& child, DWORD timeoutMs)
{
    if (!child.process)
        return STILL_ACTIVE;
    DWORD start = GetTickCount();
    while (MsgWaitForMultipleObjects(1, &child.process, FALSE, 50, QS_ALLINPUT) !=
           WAIT_OBJECT_0) {
        PumpFor(0);
        if (GetTickCount() - start > timeoutMs) {
            Kill(child);
            return STILL_ACTIVE;
        }
    }
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(child.process, &code);
    CloseHandle(child.process);
    child.process = nullptr;
    return code;
}

bool IsRunning(const Child& child)
{
    return child.process && WaitForSingleObject(child.process, 0) == WAIT_TIMEOUT;
}

std::string StateOf(const Child& child)
{
    if (!child.process)
        return child.failure.empty() ? "no longer watched" : "not started: " + child.failure;
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(child.process, &code);
    if (code != STILL_ACTIVE || !IsRunning(child))
        return "ended with exit code " + std::to_string(code);
    std::string state = "running, windows:";
    for (HWND window : WindowsOf(child.processId))
        state += " " + ClassNameOf(window) + (IsWindowVisible(window) ? "" : " (hidden)");
    return state;
}

bool StaysRunningFor(const Child& child, DWORD milliseconds)
{
    DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
        if (!IsRunning(child))
            return false;
        PumpFor(50);
    }
    return IsRunning(child);
}

bool WaitForFileText(const std::string& path, const char* text, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (ReadTextFile(path).find(text) == std::string::npos) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        PumpFor(100);
    }
    return true;
}

// Ends the opened process and waits up to 5 s for it: whether it has gone.
static bool Terminate(HANDLE process)
{
    TerminateProcess(process, 0xDEAD);
    return WaitForSingleObject(process, 5000) == WAIT_OBJECT_0;
}

void Kill(Child& child)
{
    if (!child.process)
        return;
    Terminate(child.process);
    CloseHandle(child.process);
    child.process = nullptr;
}

void EndProcess(DWORD processId, const char* fileName)
{
    // Wine hands a freed id to the next process at once: the id may name another program by
    // now, a test's or Wine's own. The handle keeps the id from passing on while the name is
    // checked.
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId);
    if (!process)
        return;
    std::vector<DWORD> named = ProcessesNamed(fileName);
    if (std::find(named.begin(), named.end(), processId) != named.end())
        Terminate(process);
    CloseHandle(process);
}

void EndLoggedProcesses(const std::string& logPath, const char* fileName)
{
    std::string log = "\n" + ReadTextFile(logPath);
    for (size_t at = log.find("\npid "); at != std::string::npos; at = log.find("\npid ", at + 1))
        EndProcess(std::strtoul(log.c_str() + at + 5, nullptr, 10), fileName);
}

void EndLeftoversWithWindowOf(const char* className)
{
    for (HWND window; (window = FindWindowA(className, nullptr)) != nullptr;) {
        DWORD processId = 0;
        GetWindowThreadProcessId(window, &processId);
        HANDLE process = processId == GetCurrentProcessId()
                             ? nullptr
                             : OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId);
        if (!process)
            return;
        fprintf(stderr, "ending process %lu, left running with a %s window\n", processId,
                className);
        bool ended = Terminate(process);
        CloseHandle(process);
        if (!ended)
            return; // its window would be found again
    }
}

struct WindowSearch {
    DWORD processId;
    const char* className;
    const char* title;
    HWND found;
    std::vector<HWND>* all;
};

static bool Matches(HWND window, const char* className, const char* title)
{
    char text[256];
    if (className) {
        GetClassNameA(window, text, sizeof text);
        if (lstrcmpA(text, className) != 0)
            return false;
    }
    if (title) {
        GetWindowTextA(window, text, sizeof text);
        if (lstrcmpA(text, title) != 0)
            return false;
    }
    return true;
}

static BOOL CALLBACK MatchWindow(HWND window, LPARAM lParam)
{
    WindowSearch* search = reinterpret_cast<WindowSearch*>(lParam);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (search->processId && owner != search->processId)
        return TRUE;
    if (search->all) {
        search->all->push_back(window);
        return TRUE;
    }
    if (!Matches(window, search->className, search->title))
        return TRUE;
    search->found = window;
    return FALSE;
}

// A process that has ended will show no window: no need to wait out the timeout.
static bool ProcessIsRunning(DWORD processId)
{
    if (processId == 0)
        return true;
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processId);
    if (!process)
        return false;
    bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    CloseHandle(process);
    return running;
}

HWND WaitForWindow(DWORD processId, const char* className, const char* title, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        WindowSearch search = {processId, className, title, nullptr, nullptr};
        EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found)
            return search.found;
        if (GetTickCount() - start > timeoutMs || !ProcessIsRunning(processId))
            return nullptr;
        PumpFor(50);
    }
}

HWND WaitForChildWindow(HWND parent, const char* className, const char* title, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        HWND found = FindWindowExA(parent, nullptr, className, title);
        if (found || GetTickCount() - start > timeoutMs)
            return found;
        PumpFor(50);
    }
}

std::vector<HWND> WindowsOf(DWORD processId)
{
    std::vector<HWND> all;
    WindowSearch search = {processId, nullptr, nullptr, nullptr, &all};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return all;
}

std::string ClassNameOf(HWND window)
{
    char name[256] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::wstring TextOf(HWND window)
{
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length))
        return L"<no answer>";
    std::vector<wchar_t> text(length + 2);
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()),
                        SMTO_ABORTIFHUNG, 5000, &copied);
    return text.data();
}

std::wstring Wide(const std::string& ansi)
{
    std::vector<wchar_t> wide(ansi.size() + 1);
    int n = MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, wide.data(),
                                static_cast<int>(wide.size()));
    return n > 0 ? std::wstring(wide.data()) : std::wstring();
}

std::string Ansi(const std::wstring& wide)
{
    std::vector<char> ansi(wide.size() * 2 + 1);
    int n = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, ansi.data(),
                                static_cast<int>(ansi.size()), nullptr, nullptr);
    return n > 0 ? std::string(ansi.data()) : std::string();
}

HWND MakePreviewHost(int x, int y, int percent)
{
    HWND host = CreateWindowExA(0, "STATIC", "preview host",
                                WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, x, y,
                                PREVIEW_HOST_WIDTH * percent / 100,
                                PREVIEW_HOST_HEIGHT * percent / 100, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    PumpFor(100);
    return host;
}

const char DESKTOP_SETTINGS_KEY[] = "Control Panel\\Desktop";
const char LOG_PIXELS_VALUE[] = "LogPixels";

// The key is opened for each change and closed at once, so that the restore needs no handle
// kept through the test: when Start closed what Wine leaves in place of a shell's handles, such
// a handle was found closed (error 6), and the session stayed at the test's DPI for every test
// after it.
SessionDpi::SessionDpi(DWORD dpi)
{
    HKEY desktop;
    if (RegCreateKeyA(HKEY_CURRENT_USER, DESKTOP_SETTINGS_KEY, &desktop) != ERROR_SUCCESS)
        return;
    DWORD size = sizeof original;
    hadOriginal = RegQueryValueExA(desktop, LOG_PIXELS_VALUE, nullptr, nullptr,
                                   reinterpret_cast<BYTE*>(&original), &size) == ERROR_SUCCESS;
    isSet = RegSetValueExA(desktop, LOG_PIXELS_VALUE, 0, REG_DWORD,
                           reinterpret_cast<const BYTE*>(&dpi), sizeof dpi) == ERROR_SUCCESS;
    RegCloseKey(desktop);
}

SessionDpi::~SessionDpi()
{
    HKEY desktop;
    if (!isSet || RegOpenKeyA(HKEY_CURRENT_USER, DESKTOP_SETTINGS_KEY, &desktop) != ERROR_SUCCESS)
        return;
    LONG restored = hadOriginal
                        ? RegSetValueExA(desktop, LOG_PIXELS_VALUE, 0, REG_DWORD,
                                         reinterpret_cast<const BYTE*>(&original), sizeof original)
                        : RegDeleteValueA(desktop, LOG_PIXELS_VALUE);
    RegCloseKey(desktop);
    if (restored != ERROR_SUCCESS)
        fprintf(stderr, "the session's DPI could not be restored (error %ld)\n", restored);
}

void PumpFor(DWORD milliseconds)
{
    DWORD start = GetTickCount();
    do {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (milliseconds)
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    } while (GetTickCount() - start < milliseconds);
}

COLORREF ScreenPixel(int x, int y)
{
    HDC screen = GetDC(nullptr);
    COLORREF color = GetPixel(screen, x, y);
    ReleaseDC(nullptr, screen);
    return color;
}

// A press and its release, as the device would send them.
static bool SendPressAndRelease(INPUT press, DWORD releaseFlags)
{
    INPUT inputs[2] = {press, press};
    if (press.type == INPUT_KEYBOARD)
        inputs[1].ki.dwFlags = releaseFlags;
    else
        inputs[1].mi.dwFlags = releaseFlags;
    return SendInput(2, inputs, sizeof(INPUT)) == 2;
}

bool PressKey(WORD virtualKey)
{
    INPUT press = {};
    press.type = INPUT_KEYBOARD;
    press.ki.wVk = virtualKey;
    return SendPressAndRelease(press, KEYEVENTF_KEYUP);
}

void ClickMouse()
{
    INPUT press = {};
    press.type = INPUT_MOUSE;
    press.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    SendPressAndRelease(press, MOUSEEVENTF_LEFTUP);
}

void MoveMouseTo(int x, int y)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    // Absolute coordinates are 1/65536 of the virtual screen, every monitor, from its top-left
    // corner; the system takes left + floor(d * size / 65536).
    int left = GetSystemMetrics(SM_XVIRTUALSCREEN), top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    int width = GetSystemMetrics(SM_CXVIRTUALSCREEN), height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    input.mi.dx = ((x - left) * 65536 + width - 1) / width;
    input.mi.dy = ((y - top) * 65536 + height - 1) / height;
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK;
    SendInput(1, &input, sizeof(INPUT));
}

std::vector<SeenBox>& SeenBoxes()
{
    static std::vector<SeenBox> boxes;
    return boxes;
}

static BOOL CALLBACK AnswerBox(HWND window, LPARAM)
{
    if (ClassNameOf(window) != "#32770" || !IsWindowVisible(window))
        return TRUE;
    wchar_t text[4096]; // room for a full path and the words around it
    SeenBox box;
    GetWindowTextW(window, text, ARRAYSIZE(text));
    box.caption = text;
    GetDlgItemTextW(window, 0xFFFF, text, ARRAYSIZE(text)); // a message box's text control
    box.text = text;
    box.owner = GetWindow(window, GW_OWNER);
    box.icon = reinterpret_cast<HICON>(SendDlgItemMessageA(window, 0x440, STM_GETICON, 0, 0));
    SeenBoxes().push_back(box);
    PostMessageA(window, WM_COMMAND, IDOK, 0);
    return TRUE;
}

static void CALLBACK AnswerBoxesTick(HWND, UINT, UINT_PTR, DWORD)
{
    EnumThreadWindows(GetCurrentThreadId(), AnswerBox, 0);
}

BoxAnswerer::BoxAnswerer()
{
    SeenBoxes().clear();
    timer = SetTimer(nullptr, 0, 200, AnswerBoxesTick);
}

BoxAnswerer::~BoxAnswerer()
{
    KillTimer(nullptr, timer);
}
