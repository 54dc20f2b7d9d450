// Watches one run of a full-screen program under Wine from outside, as a user would feel it:
// process creation to a filled screen, CPU time and memory over a stretch of full-screen
// running, then a key press to the process's exit. Or the saver's settings dialog: process
// creation to the dialog shown, with the line under the playlist's path. Prints one
// "name value" line per figure.
//
//   bench_probe run <fill colour> <settle ms> <measure ms> <accessory name or -> <program> [args]
//   bench_probe dialog <program> [args]
//
// Wine gives no Windows call for the Linux process behind a Windows one, so the probe finds it
// by its command line under Z:\proc and reads its CPU time and memory there, next to what
// GetProcessTimes and GetProcessMemoryInfo report, so that the two can be compared.
#include "resources/resource_ids.h"
#include "tests/support/desktop.h"
#include "tests/support/files.h"
#include "tests/support/sound.h"
#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

// Linux reports CPU time in clock ticks of USER_HZ, which is 100 on every x86 kernel.
const double kLinuxTickMs = 10.0;
const DWORD kFillTimeoutMs = 30000;
const DWORD kExitTimeoutMs = 10000;
const DWORD kAccessoryExitTimeoutMs = 5000;

static LARGE_INTEGER gFrequency;

static double NowMs()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(gFrequency.QuadPart);
}

static void Report(const char* name, double value)
{
    printf("%s %.3f\n", name, value);
    fflush(stdout);
}

static std::string Lowered(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// The Linux process whose command line starts with the program's path, in the Windows form
// Wine gives a process it creates, or in the Unix form; 0 when there is none.
static unsigned long FindLinuxProcess(const std::string& windowsPath)
{
    std::string wanted = Lowered(windowsPath);
    std::string unixForm = UnixPathOf(wanted);

    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA("Z:\\proc\\*", &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    unsigned long match = 0;
    do {
        char* end = nullptr;
        unsigned long pid = strtoul(found.cFileName, &end, 10);
        if (pid == 0 || *end != '\0')
            continue;
        std::string commandLine =
            Lowered(ReadTextFile(std::string("Z:\\proc\\") + found.cFileName + "\\cmdline"));
        if (commandLine.compare(0, wanted.size(), wanted) == 0 ||
            commandLine.compare(0, unixForm.size(), unixForm) == 0)
            match = pid;
    } while (!match && FindNextFileA(search, &found));
    FindClose(search);
    return match;
}

struct LinuxFigures {
    double cpuMs;       // utime + stime of every thread
    double peakKib;     // VmHWM: peak resident set
    double residentKib; // VmRSS
    double privateKib;  // Private_Dirty of smaps_rollup: memory only this process has written
    double cleanKib;    // Private_Clean: file pages no other process maps at this moment
    double dataKib;     // VmData: private writable mappings, resident or not
};

static double StatusField(const std::string& text, const char* name)
{
    size_t at = text.find(name);
    if (at == std::string::npos)
        return -1;
    return strtod(text.c_str() + at + strlen(name), nullptr);
}

static LinuxFigures ReadLinuxFigures(unsigned long pid)
{
    LinuxFigures figures = {-1, -1, -1, -1, -1, -1};
    if (!pid)
        return figures;
    char dir[64];
    sprintf(dir, "Z:\\proc\\%lu\\", pid);

    // The command name in parentheses may hold blanks; the fields after it are fixed.
    std::string stat = ReadTextFile(std::string(dir) + "stat");
    size_t close = stat.rfind(')');
    if (close != std::string::npos) {
        const char* field = stat.c_str() + close + 2; // field 3, the state
        double values[13] = {};
        for (int i = 0; i < 13 && *field; i++) { // fields 3 to 15
            values[i] = strtod(field, nullptr);
            field = strchr(field, ' ');
            if (!field)
                break;
            field++;
        }
        figures.cpuMs = (values[11] + values[12]) * kLinuxTickMs; // utime, stime
    }
    std::string status = ReadTextFile(std::string(dir) + "status");
    figures.peakKib = StatusField(status, "VmHWM:");
    figures.residentKib = StatusField(status, "VmRSS:");
    figures.dataKib = StatusField(status, "VmData:");
    std::string rollup = ReadTextFile(std::string(dir) + "smaps_rollup");
    figures.privateKib = StatusField(rollup, "Private_Dirty:");
    figures.cleanKib = StatusField(rollup, "Private_Clean:");
    return figures;
}

static double WindowsCpuMs(HANDLE process)
{
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user))
        return -1;
    ULARGE_INTEGER k = {{kernel.dwLowDateTime, kernel.dwHighDateTime}};
    ULARGE_INTEGER u = {{user.dwLowDateTime, user.dwHighDateTime}};
    return static_cast<double>(k.QuadPart + u.QuadPart) / 10000.0;
}

static void ReportWindowsMemory(HANDLE process)
{
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                              sizeof counters)) {
        Report("win_memory_error", GetLastError());
        return;
    }
    Report("win_peak_ws_kib", counters.PeakWorkingSetSize / 1024.0);
    Report("win_ws_kib", counters.WorkingSetSize / 1024.0);
    Report("win_private_kib", counters.PrivateUsage / 1024.0);
    Report("win_pagefile_kib", counters.PagefileUsage / 1024.0);
}

// A point counts as filled when it shows the colour, or when a window of another program
// lies above the child's there (the accessory, topmost over the saver).
static bool PointFilled(HDC screen, POINT point, COLORREF colour, DWORD childId)
{
    if ((GetPixel(screen, point.x, point.y) & 0xFFFFFF) == colour)
        return true;
    HWND window = WindowFromPoint(point);
    if (!window)
        return false;
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == childId || owner == GetCurrentProcessId())
        return false;
    char className[64] = "";
    GetClassNameA(window, className, sizeof className);
    return strcmp(className, "#32769") != 0; // the desktop shows through: not filled
}

// Milliseconds from startMs until the corners and the centre of the screen are filled, or
// -1 when the child ends or the time runs out first.
static double WaitForFill(HANDLE child, DWORD childId, COLORREF colour, double startMs)
{
    int width = GetSystemMetrics(SM_CXSCREEN);
    int height = GetSystemMetrics(SM_CYSCREEN);
    const POINT points[] = {{8, 8},
                            {width - 9, 8},
                            {8, height - 9},
                            {width - 9, height - 9},
                            {width / 2, height / 2}};
    HDC screen = GetDC(nullptr);
    double result = -1;
    while (NowMs() - startMs < kFillTimeoutMs) {
        bool filled = true;
        for (const POINT& point : points)
            if (!PointFilled(screen, point, colour, childId)) {
                filled = false;
                break;
            }
        if (filled) {
            result = NowMs() - startMs;
            break;
        }
        if (WaitForSingleObject(child, 1) == WAIT_OBJECT_0)
            break;
    }
    ReleaseDC(nullptr, screen);
    return result;
}

static DWORD FindProcessByName(const char* name)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return 0;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    DWORD found = 0;
    for (BOOL more = Process32First(snapshot, &entry); more && !found;
         more = Process32Next(snapshot, &entry))
        if (lstrcmpiA(entry.szExeFile, name) == 0)
            found = entry.th32ProcessID;
    CloseHandle(snapshot);
    return found;
}

// The benchmark's sound sink plays in real time until this file exists, then lets a closing
// device through at once, as a real card drops what it holds on a stop.
static void MarkKeyPressed()
{
    char path[MAX_PATH];
    DWORD length = GetEnvironmentVariableA("BENCH_KEY_FLAG", path, sizeof path);
    if (length == 0 || length >= sizeof path)
        return;
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
}

// Waits for the accessory to follow the saver out; ends it if it does not, so that the next
// run starts on an empty screen.
static void SeeAccessoryOut(const char* accessoryName, double keyMs)
{
    DWORD accessoryId = FindProcessByName(accessoryName);
    HANDLE accessory =
        accessoryId ? OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, accessoryId) : nullptr;
    if (!accessory) {
        Report("accessory_left", 0);
        return;
    }
    bool ended = WaitForSingleObject(accessory, kAccessoryExitTimeoutMs) == WAIT_OBJECT_0;
    Report("accessory_exit_ms", NowMs() - keyMs);
    Report("accessory_left", ended ? 0 : 1);
    if (!ended) {
        TerminateProcess(accessory, 1);
        WaitForSingleObject(accessory, kAccessoryExitTimeoutMs);
    }
    CloseHandle(accessory);
}

// Starts the program in its folder, *createMs the time just before. False, and the error
// reported, when it does not start.
static bool StartProgram(const std::string& program, const std::string& commandLine,
                         PROCESS_INFORMATION* child, double* createMs)
{
    std::string folder = program.substr(0, program.find_last_of('\\') + 1);
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    *createMs = NowMs();
    if (CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                       folder.c_str(), &startup, child))
        return true;
    Report("create_error", GetLastError());
    return false;
}

static int RunOnce(COLORREF colour, DWORD settleMs, DWORD measureMs, const char* accessoryName,
                   const std::string& program, const std::string& commandLine)
{
    PROCESS_INFORMATION child = {};
    double createMs = 0;
    if (!StartProgram(program, commandLine, &child, &createMs))
        return 1;
    Report("start_ms", WaitForFill(child.hProcess, child.dwProcessId, colour, createMs));

    unsigned long linuxPid = FindLinuxProcess(program);
    Report("linux_pid", linuxPid);
    Sleep(settleMs);
    if (accessoryName)
        Report("accessory_running", FindProcessByName(accessoryName) ? 1 : 0);

    // The stretch of full-screen running: CPU time from both sources, sound written.
    double soundBefore = static_cast<double>(CaptureSize());
    double windowsBefore = WindowsCpuMs(child.hProcess);
    LinuxFigures linuxBefore = ReadLinuxFigures(linuxPid);
    double stretchStart = NowMs();
    Sleep(measureMs);
    double windowsAfter = WindowsCpuMs(child.hProcess);
    LinuxFigures linuxAfter = ReadLinuxFigures(linuxPid);
    double stretchMs = NowMs() - stretchStart;
    double soundAfter = static_cast<double>(CaptureSize());
    Report("stretch_ms", stretchMs);
    Report("linux_cpu_ms", linuxAfter.cpuMs - linuxBefore.cpuMs);
    Report("linux_cpu_total_ms", linuxAfter.cpuMs);
    Report("win_cpu_ms", windowsAfter - windowsBefore);
    Report("win_cpu_total_ms", windowsAfter);
    Report("probe_cpu_total_ms", WindowsCpuMs(GetCurrentProcess()));
    Report("sound_bytes", soundAfter - soundBefore);

    Report("linux_peak_kib", linuxAfter.peakKib);
    Report("linux_rss_kib", linuxAfter.residentKib);
    Report("linux_private_kib", linuxAfter.privateKib);
    Report("linux_private_clean_kib", linuxAfter.cleanKib);
    Report("linux_data_kib", linuxAfter.dataKib);
    ReportWindowsMemory(child.hProcess);

    MarkKeyPressed();
    double keyMs = NowMs();
    PressKey(VK_SPACE);
    DWORD waited = WaitForSingleObject(child.hProcess, kExitTimeoutMs);
    if (waited == WAIT_OBJECT_0)
        Report("exit_ms", NowMs() - keyMs);
    else {
        Report("exit_ms", -1);
        TerminateProcess(child.hProcess, 1);
        WaitForSingleObject(child.hProcess, kExitTimeoutMs);
    }
    DWORD exitCode = 0;
    GetExitCodeProcess(child.hProcess, &exitCode);
    Report("exit_code", static_cast<int>(exitCode));
    if (accessoryName)
        SeeAccessoryOut(accessoryName, keyMs);
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
    return 0;
}

// The visible dialog of the process, or null.
static HWND ShownDialog(DWORD processId)
{
    for (HWND window : WindowsOf(processId))
        if (ClassNameOf(window) == "#32770" && IsWindowVisible(window))
            return window;
    return nullptr;
}

// The dialog is shown once WM_INITDIALOG, which works out the line under the playlist's path,
// has returned: the time to it is what the user waits for. The line's leading number (the
// tracks it counts) shows that it was worked out. Cancel then ends the process.
static int OpenDialogOnce(const std::string& program, const std::string& commandLine)
{
    PROCESS_INFORMATION child = {};
    double createMs = 0;
    if (!StartProgram(program, commandLine, &child, &createMs))
        return 1;
    HWND dialog = nullptr;
    while (!dialog && NowMs() - createMs < kFillTimeoutMs &&
           WaitForSingleObject(child.hProcess, 1) != WAIT_OBJECT_0)
        dialog = ShownDialog(child.dwProcessId);
    Report("dialog_ms", dialog ? NowMs() - createMs : -1);
    if (dialog) {
        Report("line_tracks", _wtoi(TextOf(GetDlgItem(dialog, IDC_PLAYLIST_CONTENTS)).c_str()));
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    }
    if (WaitForSingleObject(child.hProcess, kExitTimeoutMs) != WAIT_OBJECT_0)
        TerminateProcess(child.hProcess, 1);
    DWORD exitCode = 0;
    GetExitCodeProcess(child.hProcess, &exitCode);
    Report("exit_code", static_cast<int>(exitCode));
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
    return 0;
}

// The program at argv[program] quoted, then the arguments after it.
static std::string CommandLineFrom(int argc, char** argv, int program)
{
    std::string commandLine = std::string("\"") + argv[program] + "\"";
    for (int i = program + 1; i < argc; i++)
        commandLine += std::string(" ") + argv[i];
    return commandLine;
}

int main(int argc, char** argv)
{
    QueryPerformanceFrequency(&gFrequency);
    if (argc >= 3 && strcmp(argv[1], "dialog") == 0)
        return OpenDialogOnce(argv[2], CommandLineFrom(argc, argv, 2));
    if (argc < 7 || strcmp(argv[1], "run") != 0) {
        fprintf(stderr, "usage: bench_probe run <fill colour> <settle ms> <measure ms> "
                        "<accessory name or -> <program> [arguments]\n"
                        "       bench_probe dialog <program> [arguments]\n");
        return 2;
    }
    COLORREF colour = strtoul(argv[2], nullptr, 10) & 0xFFFFFF;
    DWORD settleMs = strtoul(argv[3], nullptr, 10);
    DWORD measureMs = strtoul(argv[4], nullptr, 10);
    const char* accessoryName = strcmp(argv[5], "-") == 0 ? nullptr : argv[5];
    return RunOnce(colour, settleMs, measureMs, accessoryName, argv[6],
                   CommandLineFrom(argc, argv, 6));
}
