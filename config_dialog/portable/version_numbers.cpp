// Splitting the FileVersion text into its numbers, as the C library's comma tokenizer and
// base-10 conversion would, without changing the text and without reading past its end.
#include "config_dialog/portable/version_numbers.h"

static const int INT32_LIMIT_MAX = 2147483647;

// The white space of the C locale: blank, tab, line feed, vertical tab, form feed, return.
static bool IsSpace(char byte)
{
    return byte == ' ' || (byte >= '\t' && byte <= '\r');
}

static bool IsDigit(char byte)
{
    return byte >= '0' && byte <= '9';
}

// Reads one piece, [begin, end), as a signed decimal number that saturates at the 32-bit
// limits instead of overflowing.
static int ReadSignedDecimal(const char* begin, const char* end)
{
    const char* p = begin;
    while (p < end && IsSpace(*p))
        ++p;
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    // Accumulated as a magnitude; the limit of a negative number is one larger.
    const unsigned long long limit = negative ? 2147483648ull : 2147483647ull;
    unsigned long long magnitude = 0;
    for (; p < end && IsDigit(*p); ++p) {
        magnitude = magnitude * 10 + static_cast<unsigned>(*p - '0');
        if (magnitude > limit)
            magnitude = limit; // keeps consuming digits, as the conversion does
    }
    if (!negative)
        return static_cast<int>(magnitude);
    if (magnitude == 2147483648ull)
        return -INT32_LIMIT_MAX - 1;
    return -static_cast<int>(magnitude);
}

void SplitVersionNumbers(const char* text, size_t length, int numbers[VERSION_NUMBER_COUNT])
{
    for (int i = 0; i < VERSION_NUMBER_COUNT; ++i)
        numbers[i] = 0;
    if (text == nullptr)
        return;

    const char* end = text;
    while (static_cast<size_t>(end - text) < length && *end != '\0')
        ++end;

    int stored = 0;
    const char* p = text;
    while (stored < VERSION_NUMBER_COUNT) {
        while (p < end && *p == ',')
            ++p;
        if (p == end)
            break;
        const char* pieceEnd = p;
        while (pieceEnd < end && *pieceEnd != ',')
            ++pieceEnd;
        numbers[stored++] = ReadSignedDecimal(p, pieceEnd);
        p = pieceEnd;
    }
}
