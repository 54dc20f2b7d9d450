// Fuzzes the UTF-8 reader over arbitrary bytes: the survey of a playlist gives the same answer
// whatever pieces the bytes come in (the first byte picks where they are cut), the decoder
// takes exactly the text the survey finds well-formed, and what it decodes encodes back to the
// bytes it was given.
#include "launcher/portable/playlist_text.h"
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

// The reference encoder: UTF-16 back to UTF-8, pairs joined; a pair split or unmatched traps.
static std::string Encode(const Utf16Unit* units)
{
    static const unsigned char leads[] = {0x00, 0xC0, 0xE0, 0xF0};
    std::string bytes;
    for (size_t i = 0; units[i] != 0; ++i) {
        unsigned c = units[i];
        if (c >= 0xDC00 && c <= 0xDFFF)
            __builtin_trap();
        if (c >= 0xD800 && c <= 0xDBFF) {
            unsigned low = units[++i];
            if (low < 0xDC00 || low > 0xDFFF)
                __builtin_trap();
            c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
        }
        int continuations = c < 0x80 ? 0 : c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;
        bytes += static_cast<char>(leads[continuations] | (c >> (6 * continuations)));
        for (int k = continuations - 1; k >= 0; --k)
            bytes += static_cast<char>(0x80 | ((c >> (6 * k)) & 0x3F));
    }
    return bytes;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const char* text = reinterpret_cast<const char*>(data + 1);
    size_t length = size - 1;
    size_t cut = length == 0 ? 0 : data[0] % (length + 1);

    Utf8Survey whole = Utf8Survey();
    SurveyUtf8(&whole, text, length);
    Utf8Survey pieces = Utf8Survey();
    SurveyUtf8(&pieces, text, cut);
    SurveyUtf8(&pieces, text + cut, length - cut);
    if (SurveyFindsUtf8(&whole) != SurveyFindsUtf8(&pieces))
        __builtin_trap();
    bool beyondAscii = false;
    for (size_t i = 0; i < length; ++i)
        beyondAscii = beyondAscii || (data[1 + i] & 0x80);
    bool wellFormed = !whole.malformed && whole.reader.pending == 0;
    bool marked = length >= 3 && memcmp(text, UTF8_BYTE_ORDER_MARK, 3) == 0;
    if (SurveyFindsUtf8(&whole) != (marked || (wellFormed && beyondAscii)))
        __builtin_trap();

    // The decoder sees a C string: the bytes up to the first NUL.
    std::string line(text, strnlen(text, length));
    Utf8Survey lineSurvey = Utf8Survey();
    SurveyUtf8(&lineSurvey, line.data(), line.size());
    bool lineWellFormed = !lineSurvey.malformed && lineSurvey.reader.pending == 0;
    std::vector<Utf16Unit> out(line.size() + 1);
    bool decoded = DecodeUtf8(line.c_str(), out.data(), out.size());
    if (decoded != lineWellFormed)
        __builtin_trap();
    if (decoded && Encode(out.data()) != line)
        __builtin_trap();
    if (!decoded && out[0] != 0)
        __builtin_trap();

    if (SkipByteOrderMark(line.c_str()) != line.c_str() + (marked ? 3 : 0))
        __builtin_trap();
    return 0;
}
