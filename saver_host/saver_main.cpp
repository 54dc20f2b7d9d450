// Start and end of the process: the command tail, the mode dispatch and the exit code.
#include "saver_host/saver_host.h"
#include "saver_host/portable/command_line.h"
#include "config_dialog/config_dialog.h"

SaverStateRecord SaverState = {
    nullptr, nullptr, 0, 0, 0, nullptr, nullptr, 0, nullptr, nullptr, nullptr, 0, {0, 0},
    0xFFFFFFFFu, // lastCheckTick: no check yet
};

const int CONFIG_DIALOG_RESOURCE = 2003;

static const char* StepCharacter(const char* text)
{
    return CharNextA(text);
}

[[noreturn]] void SaverStart()
{
    const char* tail = FindCommandTail(GetCommandLineA(), StepCharacter);

    STARTUPINFOA startup;
    startup.dwFlags = 0;
    GetStartupInfoA(&startup);
    int showCommand = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow
                                                                : SW_SHOWDEFAULT;

    ExitProcess(static_cast<UINT>(
        SaverMain(GetModuleHandleA(nullptr), nullptr, const_cast<LPSTR>(tail), showCommand)));
}

static int IsWindows9x()
{
    OSVERSIONINFOA version;
    version.dwOSVersionInfoSize = sizeof version; // 148
    return GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
}

HWND OwnerWindowFromText(const char* text)
{
    HWND window = text ? reinterpret_cast<HWND>(static_cast<UINT_PTR>(ParseWindowHandle(text)))
                       : nullptr;
    if (window == nullptr || !IsWindow(window))
        window = GetForegroundWindow();
    return window;
}

static int RunPreview(const char* handleText)
{
    HWND parent = reinterpret_cast<HWND>(static_cast<UINT_PTR>(ParseWindowHandle(handleText)));
    if (parent == nullptr || !IsWindow(parent))
        return -1;
    return RunSaver(parent);
}

static int RunSelectedMode(void* commandTail)
{
    SaverCommand command = ScanCommandTail(static_cast<const char*>(commandTail));
    switch (command.mode) {
    case SaverMode::ConfigureWithoutOwner: return ShowConfigDialog(nullptr);
    case SaverMode::Configure: return ShowConfigDialog(OwnerWindowFromText(command.argument));
    case SaverMode::ChangePassword:
        return SaverState.isWin9x ? ChangePassword(command.argument) : -1;
    case SaverMode::Preview: return RunPreview(command.argument);
    case SaverMode::FullScreen: return RunSaver(nullptr);
    case SaverMode::Unusable: break;
    }
    return -1;
}

int WINAPI SaverMain(HINSTANCE instance, HINSTANCE, LPSTR commandTail, int)
{
    SaverState.instance = instance;
    SaverState.isWin9x = IsWindows9x();
    return RunGuarded(RunSelectedMode, commandTail);
}

int ShowConfigDialog(HWND owner)
{
    if (!PrepareConfigDialog(SaverState.instance))
        return 0;
    return static_cast<int>(DialogBoxParamA(SaverState.instance,
                                            MAKEINTRESOURCEA(CONFIG_DIALOG_RESOURCE), owner,
                                            ConfigDialogProc, 0));
}

int PrepareConfigDialog(HINSTANCE)
{
    return 1;
}
