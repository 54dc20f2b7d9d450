// Fuzzes the command-line reading: tail extraction with code page 932 stepping, the switch
// scan and the handle parser, over arbitrary bytes.
#include "saver_host/portable/command_line.h"
#include "tests/native/shift_jis.h"
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<char> line(data, data + size);
    line.push_back('\0');
    const char* begin = line.data();
    const char* end = begin + std::strlen(begin);

    const char* tail = FindCommandTail(begin, StepShiftJis);
    if (tail < begin || tail > end)
        __builtin_trap();
    SaverCommand command = ScanCommandTail(tail);
    if (command.argument != nullptr) {
        if (command.argument < tail || command.argument > end)
            __builtin_trap();
        ParseWindowHandle(command.argument);
    }
    return 0;
}
