// Windows named on the command line by their handle in decimal: the preview area, the owner of
// the settings dialog and of the password change.
#include "saver_host/saver_host.h"
#include "saver_host/portable/command_line.h"

HWND WindowFromHandleText(const char* text)
{
    // Handles are 32-bit values on 64-bit Windows too, widened by sign as LongToHandle does,
    // so that a handle with its top bit set names the same window in either build.
    int32_t handle = static_cast<int32_t>(ParseWindowHandle(text));
    return reinterpret_cast<HWND>(static_cast<INT_PTR>(handle));
}

HWND OwnerWindowFromText(const char* text)
{
    HWND window = text ? WindowFromHandleText(text) : nullptr;
    if (window == nullptr || !IsWindow(window))
        window = GetForegroundWindow();
    return window;
}
