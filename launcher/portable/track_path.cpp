// Turning playlist lines into track paths: a line with its own drive or network share stands
// as written, any other is resolved against the playlist's folder. Platform-free.
#include "launcher/portable/track_path.h"
#include <cstring>

size_t AppendBounded(char* buffer, size_t size, size_t length, const char* text)
{
    if (length >= size)
        return length;
    size_t room = size - 1 - length;
    size_t count = strlen(text);
    if (count > room)
        count = room;
    memcpy(buffer + length, text, count);
    length += count;
    buffer[length] = '\0';
    return length;
}

void FormBaseDirectory(const char* playlistPath, char* baseDirectory, LeadByteTest isLeadByte)
{
    PathParts parts;
    SplitPath(playlistPath, &parts, isLeadByte);
    baseDirectory[0] = '\0';
    size_t length = AppendBounded(baseDirectory, TRACK_PATH_SIZE, 0, parts.drive);
    AppendBounded(baseDirectory, TRACK_PATH_SIZE, length, parts.directory);
}

size_t FormTrackPath(const char* line, const char* baseDirectory, char* path,
                     LeadByteTest isLeadByte)
{
    path[0] = '\0';
    if (line == nullptr)
        return 0;
    PathParts parts;
    SplitPath(line, &parts, isLeadByte);
    if (parts.extension[0] == '\0')
        return 0;
    char* lineFeed = strchr(parts.extension, '\n');
    if (lineFeed != nullptr)
        *lineFeed = '\0';

    // Only backslashes mark a share or the root; a leading slash counts as relative. A line
    // from the root without a drive is taken from the playlist's folder, not its drive's root.
    const char* directory = parts.directory;
    bool fromShare = directory[0] == '\\' && directory[1] == '\\';
    size_t length = 0;
    if (parts.drive[0] != '\0' || fromShare) {
        length = AppendBounded(path, TRACK_PATH_SIZE, length, parts.drive);
    } else {
        length = AppendBounded(path, TRACK_PATH_SIZE, length, baseDirectory);
        if (directory[0] == '\\')
            ++directory;
    }
    length = AppendBounded(path, TRACK_PATH_SIZE, length, directory);
    length = AppendBounded(path, TRACK_PATH_SIZE, length, parts.name);
    return AppendBounded(path, TRACK_PATH_SIZE, length, parts.extension);
}
