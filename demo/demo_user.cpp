// Acts as the user in the headless demo: waits the given number of milliseconds, then presses
// and releases Shift through SendInput, as a keyboard would, which ends the saver.
#include <windows.h>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    DWORD delay = argc > 1 ? static_cast<DWORD>(std::strtoul(argv[1], nullptr, 10)) : 5000;
    Sleep(delay);
    INPUT inputs[2] = {};
    inputs[0].type = INPUT_KEYBOARD;
    inputs[0].ki.wVk = VK_SHIFT;
    inputs[1] = inputs[0];
    inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
    UINT sent = SendInput(2, inputs, sizeof(INPUT));
    std::printf("demo user: pressed Shift after %lu ms\n", static_cast<unsigned long>(delay));
    return sent == 2 ? 0 : 1;
}
