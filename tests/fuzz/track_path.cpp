// Fuzzes the path splitter and the track-path forming over arbitrary bytes: the first byte
// picks the lead-byte test (its two high bits: code page 932, none, or UTF-8) and the length
// of the playlist path that precedes the line (its low six bits). No line may give a path that
// an MCI command cannot carry, and in UTF-8 no part of a well-formed line is cut inside a
// character or holds more than 255 UTF-16 units.
#include "launcher/portable/playlist_text.h"
#include "launcher/portable/track_path.h"
#include "tests/native/shift_jis.h"
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

// Whether the text is well-formed UTF-8 of at most `units` UTF-16 units.
static bool IsUtf8Within(const char* text, size_t units)
{
    static Utf16Unit decoded[PATH_SIZE + 1];
    return DecodeUtf8(text, decoded, units + 1);
}

static void CheckPart(const char* part, size_t size, bool utf8Line)
{
    if (memchr(part, '\0', size) == nullptr)
        __builtin_trap();
    if (utf8Line && !IsUtf8Within(part, PATH_PART_LENGTH)) // cut inside a character, or long
        __builtin_trap();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const LeadByteTest tests[] = {IsShiftJisLeadByte, IsShiftJisLeadByte, NoLeadByte,
                                  IsUtf8LeadByte};
    LeadByteTest isLeadByte = tests[data[0] >> 6];
    size_t split = data[0] & 0x3F;
    if (split > size - 1)
        split = size - 1;
    std::vector<char> playlistPath(data + 1, data + 1 + split);
    playlistPath.push_back('\0');
    std::vector<char> line(data + 1 + split, data + size);
    line.push_back('\0');

    bool utf8 = isLeadByte == IsUtf8LeadByte;
    bool utf8Line = utf8 && IsUtf8Within(line.data(), PATH_SIZE);
    PathParts parts;
    SplitPath(line.data(), &parts, isLeadByte);
    CheckPart(parts.drive, sizeof parts.drive, utf8Line);
    CheckPart(parts.directory, sizeof parts.directory, utf8Line);
    CheckPart(parts.name, sizeof parts.name, utf8Line);
    CheckPart(parts.extension, sizeof parts.extension, utf8Line);
    if (parts.extension[0] != '\0' && parts.extension[0] != '.')
        __builtin_trap();

    // Drive and directory: 257 bytes in a code page of one or two bytes a character, 767 in
    // UTF-8; a track path then at most 1022 bytes, or 1023.
    char base[FOLDER_SIZE];
    FolderOfPath(playlistPath.data(), base, isLeadByte);
    if (strlen(base) > (utf8 ? 767u : 257u))
        __builtin_trap();

    char path[PATH_SIZE];
    size_t length = FormTrackPath(line.data(), base, path, isLeadByte);
    if (length != strlen(path) || length > (utf8 ? 1023u : 1022u))
        __builtin_trap();
    // Only UTF-8 makes a path too long to hold, and then it names no track.
    bool names = parts.extension[0] != '\0' && IsTrackLine(line.data());
    if (!utf8 && (length == 0) == names)
        __builtin_trap();
    if (utf8 && length != 0 && !names)
        __builtin_trap();
    // No line makes a path that would change the open command: what the playlist's folder
    // does not bring, the line cannot.
    if (length != 0 && IsSafeTrackPath(base) && !IsSafeTrackPath(path))
        __builtin_trap();
    // A line as read has at most one LF, at its end, and a path has none; the track path of
    // such a line never keeps the LF.
    const char* lineFeed = strchr(line.data(), '\n');
    bool oneLine = lineFeed == nullptr || lineFeed[1] == '\0';
    if (oneLine && strchr(base, '\n') == nullptr && strchr(path, '\n') != nullptr)
        __builtin_trap();
    return 0;
}
