// Playlists as today's players write them: which are read as UTF-8 (a byte-order mark, a
// .m3u8 name, or UTF-8 throughout beyond ASCII), and the strict decoding of a line to UTF-16.
#include "launcher/portable/playlist_text.h"
#include <gtest/gtest.h>
#include <string>
#include <vector>

// The survey's answer for the bytes given at once, and given one byte at a time.
static bool FindsUtf8(const std::string& bytes, bool bytewise)
{
    Utf8Survey survey = Utf8Survey();
    if (!bytewise) {
        SurveyUtf8(&survey, bytes.data(), bytes.size());
    } else {
        for (char byte : bytes)
            SurveyUtf8(&survey, &byte, 1);
    }
    return SurveyFindsUtf8(&survey);
}

TEST(Utf8Survey, FindsUtf8ByTheMarkOrByValidTextBeyondAscii)
{
    struct Case {
        const char* what;
        std::string bytes;
        bool utf8;
    } cases[] = {
        {"empty", "", false},
        {"ASCII only reads the same either way", "#EXTM3U\na.mp3\n", false},
        {"the mark", "\xEF\xBB\xBF" "a.mp3\n", true},
        {"the mark, then bytes no UTF-8", "\xEF\xBB\xBF\x8b\xc8.mp3\n", true},
        {"the mark cut short", "\xEF\xBB", false},
        {"Japanese", "\xE6\x9B\xB2.mp3\n", true},
        {"code page 932", "\x8b\xc8\\\x83\x5c.mp3\n", false},
        {"two bytes", "caf\xC3\xA9.mp3", true},
        {"four bytes, the last character", "\xF4\x8F\xBF\xBF", true},
        {"overlong slash, two bytes", "\xC0\xAF", false},
        {"overlong, C1", "\xC1\xBF", false},
        {"overlong, three bytes", "\xE0\x80\xAF", false},
        {"overlong, four bytes", "\xF0\x80\x80\xAF", false},
        {"a high surrogate", "\xED\xA0\x80", false},
        {"a low surrogate", "\xED\xBF\xBF", false},
        {"above U+10FFFF", "\xF4\x90\x80\x80", false},
        {"F5 lead", "\xF5\x80\x80\x80", false},
        {"a lone continuation byte", "a\x80", false},
        {"cut short at the end", "\xE6\x9B", false},
        {"cut short before ASCII", "\xE6\x9B" "a", false},
        {"valid, then malformed", "\xE6\x9B\xB2\n\xFF", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FindsUtf8(c.bytes, false), c.utf8) << c.what;
        EXPECT_EQ(FindsUtf8(c.bytes, true), c.utf8) << c.what << ", byte by byte";
    }
}

TEST(NamesUtf8Playlist, IsANameEndingInM3u8InAnyCase)
{
    for (const char* path : {"D:\\music\\list.m3u8", "LIST.M3U8", "list.M3u8", ".m3u8"})
        EXPECT_TRUE(NamesUtf8Playlist(path)) << path;
    for (const char* path : {"list.m3u", "m3u8", "list.m3u8 ", "list.m3u8\\x.m3u"})
        EXPECT_FALSE(NamesUtf8Playlist(path)) << path;
    EXPECT_FALSE(NamesUtf8Playlist(nullptr));
}

// The decoded units, or {0xFFFF} when the text is refused.
static std::vector<unsigned> Decoded(const char* text, size_t outSize = 64)
{
    std::vector<Utf16Unit> out(outSize + 1, 0x7777);
    if (!DecodeUtf8(text, out.data(), outSize)) {
        if (outSize > 0)
            EXPECT_EQ(out[0], 0u) << "refused text leaves the buffer empty: " << text;
        return {0xFFFF};
    }
    std::vector<unsigned> units;
    for (size_t i = 0; out[i] != 0; ++i)
        units.push_back(out[i]);
    EXPECT_EQ(out[outSize], 0x7777u) << "written past the buffer: " << text;
    return units;
}

TEST(DecodeUtf8, DecodesWellFormedTextToUtf16AndRefusesTheRest)
{
    const std::vector<unsigned> refused = {0xFFFF};
    struct Case {
        const char* text;
        std::vector<unsigned> units;
    } cases[] = {
        {"", {}},
        {"a.mp3\n", {'a', '.', 'm', 'p', '3', '\n'}},
        {"\xC3\xA9", {0xE9}},
        {"\xE6\x9B\xB2\\\xE3\x82\xBD", {0x66F2, '\\', 0x30BD}}, // 曲\ソ
        {"\xEF\xBB\xBF", {0xFEFF}},
        {"\xF0\x9F\x8E\xB5", {0xD83C, 0xDFB5}}, // a musical note beyond the first plane
        {"\xF4\x8F\xBF\xBF", {0xDBFF, 0xDFFF}},
        {"\xC0\x80", refused},
        {"\xE0\x80\xAF", refused},
        {"\xED\xA0\x80", refused},
        {"\xF4\x90\x80\x80", refused},
        {"a\xE6\x9B", refused},
        {"\x8b\xc8.mp3", refused},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Decoded(c.text), c.units) << c.text;

    // The NUL needs its unit too, and a pair goes whole or not at all.
    EXPECT_EQ(Decoded("abc", 4), (std::vector<unsigned>{'a', 'b', 'c'}));
    EXPECT_EQ(Decoded("abcd", 4), refused);
    EXPECT_EQ(Decoded("a\xF0\x9F\x8E\xB5", 3), refused);
    EXPECT_EQ(Decoded("a", 0), refused);
}
