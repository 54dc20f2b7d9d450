// The text of playlists as today's players write them: which playlists are UTF-8, and strict
// UTF-8 decoding. Platform-free.
#include "launcher/portable/playlist_text.h"
#include "launcher/portable/track_path.h"
#include <cstring>

// The well-formed sequences of the Unicode standard: the lead byte fixes how many
// continuation bytes follow, and E0, ED, F0 and F4 narrow the first of them, which shuts out
// overlong forms, surrogates and everything above U+10FFFF.
Utf8Step ReadUtf8Byte(Utf8Reader* reader, unsigned char byte)
{
    if (reader->pending > 0) {
        if (byte < reader->low || byte > reader->high) {
            *reader = Utf8Reader();
            return UTF8_MALFORMED;
        }
        reader->codePoint = (reader->codePoint << 6) | (byte & 0x3Fu);
        reader->low = 0x80;
        reader->high = 0xBF;
        return --reader->pending == 0 ? UTF8_CHARACTER : UTF8_MORE;
    }
    reader->low = 0x80;
    reader->high = 0xBF;
    if (byte < 0x80) {
        reader->codePoint = byte;
        return UTF8_CHARACTER;
    }
    // A continuation byte with no lead, C0 and C1 (overlong forms of ASCII), F5 and above.
    if (byte < 0xC2 || byte > 0xF4) {
        *reader = Utf8Reader();
        return UTF8_MALFORMED;
    }
    if (byte < 0xE0) {
        reader->pending = 1;
        reader->codePoint = byte & 0x1Fu;
    } else if (byte < 0xF0) {
        reader->pending = 2;
        reader->codePoint = byte & 0x0Fu;
        if (byte == 0xE0)
            reader->low = 0xA0;
        else if (byte == 0xED)
            reader->high = 0x9F;
    } else {
        reader->pending = 3;
        reader->codePoint = byte & 0x07u;
        if (byte == 0xF0)
            reader->low = 0x90;
        else if (byte == 0xF4)
            reader->high = 0x8F;
    }
    return UTF8_MORE;
}

void SurveyUtf8(Utf8Survey* survey, const char* bytes, size_t length)
{
    const size_t markLength = sizeof UTF8_BYTE_ORDER_MARK - 1;
    for (size_t i = 0; i < length && !survey->malformed; ++i) {
        unsigned char byte = static_cast<unsigned char>(bytes[i]);
        if (survey->seen < markLength)
            survey->byteOrderMark =
                byte == static_cast<unsigned char>(UTF8_BYTE_ORDER_MARK[survey->seen]) &&
                (survey->seen == 0 || survey->byteOrderMark);
        ++survey->seen;
        if (byte >= 0x80)
            survey->beyondAscii = true;
        if (ReadUtf8Byte(&survey->reader, byte) == UTF8_MALFORMED)
            survey->malformed = true;
    }
}

bool SurveyDecided(const Utf8Survey* survey)
{
    return survey->malformed || (survey->byteOrderMark && survey->seen >= 3);
}

bool SurveyFindsUtf8(const Utf8Survey* survey)
{
    if (survey->byteOrderMark && survey->seen >= 3)
        return true;
    return !survey->malformed && survey->reader.pending == 0 && survey->beyondAscii;
}

bool NamesUtf8Playlist(const char* playlistPath)
{
    // A dot is never the second byte of a double-byte character, so what follows it is read
    // as it stands.
    static const char suffix[] = ".m3u8";
    const size_t suffixLength = sizeof suffix - 1;
    if (playlistPath == nullptr)
        return false;
    size_t length = strlen(playlistPath);
    return length >= suffixLength &&
           EqualsIgnoringCase(playlistPath + length - suffixLength, suffix);
}

const char* SkipByteOrderMark(const char* text)
{
    const size_t markLength = sizeof UTF8_BYTE_ORDER_MARK - 1;
    if (text != nullptr && strncmp(text, UTF8_BYTE_ORDER_MARK, markLength) == 0)
        return text + markLength;
    return text;
}

bool DecodeUtf8(const char* text, Utf16Unit* out, size_t outSize)
{
    if (outSize == 0)
        return false;
    out[0] = 0;
    if (text == nullptr)
        return false;
    Utf8Reader reader = Utf8Reader();
    size_t count = 0;
    for (const char* at = text; *at != '\0'; ++at) {
        Utf8Step step = ReadUtf8Byte(&reader, static_cast<unsigned char>(*at));
        if (step == UTF8_MALFORMED) {
            out[0] = 0;
            return false;
        }
        if (step == UTF8_MORE)
            continue;
        unsigned codePoint = reader.codePoint;
        size_t units = codePoint >= 0x10000 ? 2 : 1;
        if (count + units >= outSize) {
            out[0] = 0;
            return false;
        }
        if (units == 2) {
            codePoint -= 0x10000;
            out[count++] = static_cast<Utf16Unit>(0xD800 + (codePoint >> 10));
            out[count++] = static_cast<Utf16Unit>(0xDC00 + (codePoint & 0x3FF));
        } else {
            out[count++] = static_cast<Utf16Unit>(codePoint);
        }
    }
    if (reader.pending != 0) {
        out[0] = 0;
        return false;
    }
    out[count] = 0;
    return true;
}
