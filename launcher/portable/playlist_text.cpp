// The text of playlists as today's players write them: which playlists are UTF-8, and strict
// UTF-8 decoding. Platform-free.
#include "launcher/portable/playlist_text.h"
#include "launcher/portable/plain_text.h"
#include <cstring>

static const size_t MARK_LENGTH = sizeof UTF8_BYTE_ORDER_MARK - 1;

// The well-formed sequences of the Unicode standard, by lead byte: how many continuation
// bytes follow, the lead's share of the character, and the range of the first continuation
// byte. E0, ED, F0 and F4 narrow that range, which shuts out overlong forms, surrogates and
// everything above U+10FFFF; C0, C1 and F5 to FF lead nothing.
struct Utf8Lead {
    unsigned char first, last;
    int continuations;
    unsigned char mask, low, high;
};
static const Utf8Lead UTF8_LEADS[] = {
    {0xC2, 0xDF, 1, 0x1F, 0x80, 0xBF},
    {0xE0, 0xE0, 2, 0x0F, 0xA0, 0xBF},
    {0xE1, 0xEC, 2, 0x0F, 0x80, 0xBF},
    {0xED, 0xED, 2, 0x0F, 0x80, 0x9F},
    {0xEE, 0xEF, 2, 0x0F, 0x80, 0xBF},
    {0xF0, 0xF0, 3, 0x07, 0x90, 0xBF},
    {0xF1, 0xF3, 3, 0x07, 0x80, 0xBF},
    {0xF4, 0xF4, 3, 0x07, 0x80, 0x8F},
};

static const Utf8Lead* FindUtf8Lead(unsigned char byte)
{
    for (const Utf8Lead& lead : UTF8_LEADS) {
        if (byte >= lead.first && byte <= lead.last)
            return &lead;
    }
    return nullptr;
}

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
    if (byte < 0x80) {
        reader->codePoint = byte;
        return UTF8_CHARACTER;
    }
    const Utf8Lead* lead = FindUtf8Lead(byte);
    if (lead == nullptr) {
        *reader = Utf8Reader();
        return UTF8_MALFORMED;
    }
    reader->pending = lead->continuations;
    reader->codePoint = byte & lead->mask;
    reader->low = lead->low;
    reader->high = lead->high;
    return UTF8_MORE;
}

void SurveyUtf8(Utf8Survey* survey, const char* bytes, size_t length)
{
    for (size_t i = 0; i < length && !survey->malformed; ++i) {
        unsigned char byte = static_cast<unsigned char>(bytes[i]);
        if (survey->seen < MARK_LENGTH)
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

static bool FoundByteOrderMark(const Utf8Survey* survey)
{
    return survey->byteOrderMark && survey->seen >= MARK_LENGTH;
}

bool SurveyDecided(const Utf8Survey* survey)
{
    return survey->malformed || FoundByteOrderMark(survey);
}

bool SurveyFindsUtf8(const Utf8Survey* survey)
{
    if (FoundByteOrderMark(survey))
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
    if (text != nullptr && strncmp(text, UTF8_BYTE_ORDER_MARK, MARK_LENGTH) == 0)
        return text + MARK_LENGTH;
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
