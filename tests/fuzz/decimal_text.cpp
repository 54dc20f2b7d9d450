// Fuzzes the strict decimal reader over arbitrary bytes: what it takes lies in the range asked,
// and is exactly the text's number, written back the same way.
#include "launcher/portable/decimal_text.h"
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<char> text(data, data + size);
    text.push_back('\0');
    const int32_t ranges[][2] = {{0, 2}, {0, INT32_MAX}, {INT32_MIN, INT32_MAX}};
    for (const auto& range : ranges) {
        int32_t value = 0;
        if (!ReadDecimal(text.data(), range[0], range[1], &value))
            continue;
        if (value < range[0] || value > range[1])
            __builtin_trap();
        // Leading zeros aside, the text is the number.
        char written[16];
        snprintf(written, sizeof written, "%d", static_cast<int>(value));
        const char* digits = text.data() + (text[0] == '-');
        while (digits[0] == '0' && digits[1] != '\0')
            ++digits;
        const char* writtenDigits = written + (written[0] == '-');
        if (strcmp(digits, writtenDigits) != 0)
            __builtin_trap();
    }
    return 0;
}
