// Helpers for the end-to-end drivers.
#include "e2e_support.h"
#include <cstdlib>

std::string WindowsPathOf(const std::string& unixPath)
{
    std::string path = "Z:" + unixPath;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

std::string BuildDir()
{
    const char* dir = std::getenv("SAVER_BUILD_DIR");
    return WindowsPathOf(dir ? dir : "/tmp") + "\\";
}

std::string SaverBinary()
{
    return BuildDir() + "velora_ss_launcher.scr";
}

std::string FixturePath(const char* name)
{
    return BuildDir() + "fixtures\\" + name;
}

static void RemoveTree(const std::string& dir)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((dir + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string path = dir + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path);
            else {
                SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(path.c_str());
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(dir.c_str());
}

std::string MakeScratchDir(const std::string& name)
{
    std::string root = BuildDir() + "e2e-scratch";
    CreateDirectoryA(root.c_str(), nullptr);
    std::string dir = root + "\\" + name;
    RemoveTree(dir);
    CreateDirectoryA(dir.c_str(), nullptr);
    return dir;
}

bool CopyInto(const std::string& source, const std::string& destination)
{
    return CopyFileA(source.c_str(), destination.c_str(), FALSE) != 0;
}

bool WriteTextFile(const std::string& path, const std::string& content)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written,
                        nullptr);
    CloseHandle(file);
    return ok && written == content.size();
}

std::string ReadTextFile(const std::string& path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return "";
    std::string content;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        content.append(buffer, got);
    CloseHandle(file);
    return content;
}

bool FileExistsAt(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

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
        CloseHandle(info.hThread);
        child.process = info.hProcess;
        child.processId = info.dwProcessId;
    }
    if (errorFile)
        CloseHandle(errorFile);
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

void Kill(Child& child)
{
    if (!child.process)
        return;
    TerminateProcess(child.process, 0xDEAD);
    WaitForSingleObject(child.process, 5000);
    CloseHandle(child.process);
    child.process = nullptr;
}

struct WindowSearch {
    DWORD processId;
    const char* className;
    const char* title;
    HWND found;
    std::vector<HWND>* all;
};

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
    char text[256];
    if (search->className) {
        GetClassNameA(window, text, sizeof text);
        if (lstrcmpA(text, search->className) != 0)
            return TRUE;
    }
    if (search->title) {
        GetWindowTextA(window, text, sizeof text);
        if (lstrcmpA(text, search->title) != 0)
            return TRUE;
    }
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

std::vector<HWND> WindowsOf(DWORD processId)
{
    std::vector<HWND> all;
    WindowSearch search = {processId, nullptr, nullptr, nullptr, &all};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return all;
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

void PressKey(WORD virtualKey)
{
    INPUT inputs[2] = {};
    inputs[0].type = INPUT_KEYBOARD;
    inputs[0].ki.wVk = virtualKey;
    inputs[1] = inputs[0];
    inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, inputs, sizeof(INPUT));
}

void ClickMouse()
{
    INPUT inputs[2] = {};
    inputs[0].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    inputs[1] = inputs[0];
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, inputs, sizeof(INPUT));
}

void MoveMouseTo(int x, int y)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    // Absolute coordinates are 1/65536 of the screen; the system takes floor(d * size / 65536).
    int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    input.mi.dx = (x * 65536 + width - 1) / width;
    input.mi.dy = (y * 65536 + height - 1) / height;
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof(INPUT));
}
