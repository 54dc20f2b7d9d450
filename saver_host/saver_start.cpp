// Start and end of the process: the command tail, the mode its first switch names, and the
// mode's result as the exit code.
#include "saver_host/saver_host.h"
#include "saver_host/portable/command_line.h"

[[noreturn]] void SaverStart(const SaverDefinition* saver)
{
    ResetSaverState();
    SaverState.saver = saver;
    const char* tail = FindCommandTail(GetCommandLineA(), NextSystemCharacter);

    STARTUPINFOA startup;
    startup.dwFlags = 0;
    GetStartupInfoA(&startup);
    int showCommand =
        (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWDEFAULT;

    ExitProcess(static_cast<UINT>(
        SaverMain(GetModuleHandleA(nullptr), nullptr, const_cast<LPSTR>(tail), showCommand)));
}

static int IsWindows9x()
{
    OSVERSIONINFOA version;
    version.dwOSVersionInfoSize = sizeof version; // 148
    return GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
}

static int RunPreview(const char* handleText)
{
    HWND parent = WindowFromHandleText(handleText);
    if (parent == nullptr || !IsWindow(parent))
        return UNUSABLE_COMMAND_EXIT_CODE;
    return RunSaver(parent);
}

// The mode the tail's first switch names, and its result.
static int RunCommandMode(void* commandTail)
{
    SaverCommand command = ScanCommandTail(static_cast<const char*>(commandTail));
    switch (command.mode) {
    case SaverMode::ConfigureWithoutOwner: return ShowConfigDialog(nullptr);
    case SaverMode::Configure: return ShowConfigDialog(OwnerWindowFromText(command.argument));
    case SaverMode::ChangePassword:
        return SaverState.isWin9x ? ChangePassword(command.argument) : UNUSABLE_COMMAND_EXIT_CODE;
    case SaverMode::Preview: return RunPreview(command.argument);
    case SaverMode::FullScreen: return RunSaver(nullptr);
    case SaverMode::Unusable: break;
    }
    return UNUSABLE_COMMAND_EXIT_CODE;
}

int WINAPI SaverMain(HINSTANCE instance, HINSTANCE, LPSTR commandTail, int)
{
    SaverState.instance = instance;
    SaverState.isWin9x = IsWindows9x();
    return RunUnderFaultGuard(RunCommandMode, commandTail);
}
