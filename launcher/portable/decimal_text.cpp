// Reading a whole decimal number strictly. Platform-free.
#include "launcher/portable/decimal_text.h"

int ReadDecimal(const char* text, int32_t lowest, int32_t highest, int32_t* value)
{
    if (text == nullptr)
        return 0;
    bool negative = *text == '-';
    if (negative)
        ++text;
    if (*text == '\0')
        return 0;
    // Past 2^32 the value can only grow out of range: held there, it never overflows.
    const int64_t beyond = INT64_C(1) << 32;
    int64_t number = 0;
    for (; *text != '\0'; ++text) {
        if (*text < '0' || *text > '9')
            return 0;
        if (number < beyond)
            number = number * 10 + (*text - '0');
    }
    if (negative)
        number = -number;
    if (number < lowest || number > highest)
        return 0;
    *value = static_cast<int32_t>(number);
    return 1;
}
