// Fuzzes the FileVersion splitting over arbitrary bytes against the C library's own comma
// tokenizer and base-10 conversion, which it must agree with.
#include "config_dialog/portable/version_numbers.h"
#include <cerrno>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

static int ReferenceNumber(const char* piece)
{
    long long value = std::strtoll(piece, nullptr, 10);
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Exactly size bytes, no terminator: the splitter must stop at the length.
    std::vector<char> exact(data, data + size);
    int numbers[VERSION_NUMBER_COUNT];
    SplitVersionNumbers(exact.data(), exact.size(), numbers);

    std::vector<char> copy(data, data + size);
    copy.push_back('\0');
    int expected[VERSION_NUMBER_COUNT] = {0, 0, 0, 0};
    int stored = 0;
    for (char* piece = std::strtok(copy.data(), ","); piece && stored < VERSION_NUMBER_COUNT;
         piece = std::strtok(nullptr, ","))
        expected[stored++] = ReferenceNumber(piece);

    for (int i = 0; i < VERSION_NUMBER_COUNT; ++i)
        if (numbers[i] != expected[i])
            __builtin_trap();
    return 0;
}
