// Helpers for the end-to-end drivers: paths between Linux and Wine, scratch folders with a
// copy of the saver, processes started with an exact command line, and windows found by
// process, class and title.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

// "Z:\..." for a Linux absolute path.
std::string WindowsPathOf(const std::string& unixPath);
// The build tree (SAVER_BUILD_DIR) as a Windows path, with a trailing backslash.
std::string BuildDir();
// The built .scr.
std::string SaverBinary();
// A fixture built by the tests: build\fixtures\<name>.
std::string FixturePath(const char* name);

// A fresh, empty folder under the build tree for one test; its name may hold blanks.
std::string MakeScratchDir(const std::string& name);
bool CopyInto(const std::string& source, const std::string& destination);
bool WriteTextFile(const std::string& path, const std::string& content);
std::string ReadTextFile(const std::string& path); // empty when missing
bool FileExistsAt(const std::string& path);

struct Child {
    HANDLE process = nullptr;
    DWORD processId = 0;
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

// Polls for a top-level window of the process (any process when processId is 0) with the
// given class and title (null matches any); null on timeout.
HWND WaitForWindow(DWORD processId, const char* className, const char* title, DWORD timeoutMs);
// Every top-level window of the process.
std::vector<HWND> WindowsOf(DWORD processId);
// Pumps this thread's messages for a while (the driver owns windows of its own).
void PumpFor(DWORD milliseconds);
// A pixel of the screen, through a screen device context.
COLORREF ScreenPixel(int x, int y);

// Input as a user gives it.
void PressKey(WORD virtualKey);
void ClickMouse();
void MoveMouseTo(int x, int y);
