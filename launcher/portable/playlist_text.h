// The text of playlists as today's players write them: which playlists are UTF-8, and strict
// UTF-8 decoding, since the Windows 95 family has no UTF-8 code page. Platform-free.
#pragma once
#include <cstddef>
#include <cwchar>

// A UTF-16 code unit: the platform's wide character where that is 16 bits wide, as on
// Windows, so that decoded text goes to the system's wide calls as it stands.
#if WCHAR_MAX == 0xFFFF
typedef wchar_t Utf16Unit;
#else
typedef char16_t Utf16Unit;
#endif

inline constexpr char UTF8_BYTE_ORDER_MARK[] = "\xEF\xBB\xBF";

// A reader of UTF-8 one byte at a time that takes only well-formed sequences: no overlong
// form, no surrogate, nothing above U+10FFFF, no sequence cut short. Zero is its start state.
struct Utf8Reader {
    unsigned codePoint;      // the character read so far
    int pending;             // continuation bytes still to come
    unsigned char low, high; // the range the next continuation byte must lie in
};
enum Utf8Step {
    UTF8_MORE,
    UTF8_CHARACTER,
    UTF8_MALFORMED
};
// UTF8_CHARACTER when the byte completes reader->codePoint; after UTF8_MALFORMED the reader is
// back at its start.
Utf8Step ReadUtf8Byte(Utf8Reader* reader, unsigned char byte);

// What a look over a whole playlist finds out, fed its bytes in pieces of any size.
struct Utf8Survey {
    Utf8Reader reader;
    size_t seen;        // bytes looked at
    bool byteOrderMark; // the first three are the UTF-8 byte-order mark
    bool malformed;     // some sequence is not UTF-8
    bool beyondAscii;   // some byte is 0x80 or above
};
void SurveyUtf8(Utf8Survey* survey, const char* bytes, size_t length);
// Whether more bytes could change what the survey finds.
bool SurveyDecided(const Utf8Survey* survey);
// Read as UTF-8: it begins with the mark, or it is UTF-8 throughout, nothing cut off at its
// end, and holds a byte of 0x80 or above (plain ASCII reads the same either way).
bool SurveyFindsUtf8(const Utf8Survey* survey);

// The playlist's name asks for UTF-8: it ends in .m3u8, in any case.
bool NamesUtf8Playlist(const char* playlistPath);
// The text after a UTF-8 byte-order mark at its start, or the text itself.
const char* SkipByteOrderMark(const char* text);

// Decodes the NUL-terminated UTF-8 text into UTF-16 in out (outSize units, its NUL included).
// False, with out empty, when the text is malformed or does not fit.
bool DecodeUtf8(const char* text, Utf16Unit* out, size_t outSize);
