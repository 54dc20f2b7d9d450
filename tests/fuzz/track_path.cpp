// Fuzzes the path splitter and the track-path forming over arbitrary bytes: the first byte
// picks the lead-byte test (high bit) and the length of the playlist path that precedes
// the line (low seven bits). No line may give a path that an MCI command cannot carry.
#include "launcher/portable/track_path.h"
#include "tests/native/shift_jis.h"
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

static void CheckPart(const char* part, size_t size)
{
    if (memchr(part, '\0', size) == nullptr)
        __builtin_trap();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    LeadByteTest isLeadByte = (data[0] & 0x80) ? NoLeadByte : IsShiftJisLeadByte;
    size_t split = data[0] & 0x7F;
    if (split > size - 1)
        split = size - 1;
    std::vector<char> playlistPath(data + 1, data + 1 + split);
    playlistPath.push_back('\0');
    std::vector<char> line(data + 1 + split, data + size);
    line.push_back('\0');

    PathParts parts;
    SplitPath(line.data(), &parts, isLeadByte);
    CheckPart(parts.drive, sizeof parts.drive);
    CheckPart(parts.directory, sizeof parts.directory);
    CheckPart(parts.name, sizeof parts.name);
    CheckPart(parts.extension, sizeof parts.extension);
    if (parts.extension[0] != '\0' && parts.extension[0] != '.')
        __builtin_trap();

    char base[FOLDER_SIZE];
    FolderOfPath(playlistPath.data(), base, isLeadByte);
    if (strlen(base) > 257)
        __builtin_trap();

    char path[PATH_SIZE];
    size_t length = FormTrackPath(line.data(), base, path, isLeadByte);
    if (length != strlen(path) || length > 1022)
        __builtin_trap();
    if ((length == 0) != (parts.extension[0] == '\0' || !IsTrackLine(line.data())))
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
