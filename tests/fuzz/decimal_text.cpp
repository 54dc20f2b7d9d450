// Fuzzes the strict decimal reader over arbitrary bytes: what it takes lies in the range asked
// and, leading zeros aside, is the text written back, so that blanks, signs other than one
// minus, other bytes and values past 32 bits (the seeds hold each) are refused.
#include "launcher/portable/decimal_text.h"
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    text.resize(strlen(text.c_str())); // the reader stops at the first NUL
    int32_t value = 0;
    if (!ReadDecimal(text.c_str(), -1000, INT32_MAX, &value))
        return 0;
    char written[16];
    snprintf(written, sizeof written, "%d", static_cast<int>(value));
    size_t digits = text.find_first_not_of("-0");
    std::string expected = digits == std::string::npos ? "0" : text.substr(digits);
    if (value < -1000 || strcmp(written + (value < 0), expected.c_str()) != 0)
        __builtin_trap();
    return 0;
}
