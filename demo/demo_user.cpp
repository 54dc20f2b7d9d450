// Acts as the user in the headless demo: waits the given number of milliseconds, then presses
// and releases Shift through SendInput, as a keyboard would, which ends the saver.
#include "tests/support/desktop.h"
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    DWORD delay = argc > 1 ? static_cast<DWORD>(std::strtoul(argv[1], nullptr, 10)) : 5000;
    Sleep(delay);
    bool pressed = PressKey(VK_SHIFT);
    std::printf("demo user: pressed Shift after %lu ms\n", static_cast<unsigned long>(delay));
    return pressed ? 0 : 1;
}
