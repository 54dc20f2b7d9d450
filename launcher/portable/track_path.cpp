// Turning playlist lines into track paths: a line with its own drive or network share stands
// as written, any other is resolved against the playlist's folder; comment lines and lines
// that could change the music device's command name no track. Platform-free.
#include "launcher/portable/track_path.h"
#include "launcher/portable/plain_text.h"
#include <cstring>

// Whether no byte among the first length ones is a quote or a control character. Neither is
// ever the second byte of a double-byte character: those start at 0x40 and leave out 0x7F in
// every code page.
static bool HoldsOnlyCommandSafeBytes(const char* text, size_t length)
{
    for (size_t i = 0; i < length; ++i) {
        unsigned char byte = static_cast<unsigned char>(text[i]);
        if (byte == '"' || byte < 0x20 || byte == 0x7F)
            return false;
    }
    return true;
}

bool IsSafeTrackPath(const char* path)
{
    return HoldsOnlyCommandSafeBytes(path, strlen(path));
}

bool IsTrackLine(const char* line)
{
    if (line == nullptr || line[0] == '#')
        return false;
    size_t length = strlen(line);
    if (length > 0 && line[length - 1] == '\n') {
        --length;
        if (length > 0 && line[length - 1] == '\r')
            --length;
    }
    return HoldsOnlyCommandSafeBytes(line, length);
}

size_t FormTrackPath(const char* line, const char* baseDirectory, char* path,
                     LeadByteTest isLeadByte)
{
    path[0] = '\0';
    if (!IsTrackLine(line))
        return 0;
    PathParts parts;
    SplitPath(line, &parts, isLeadByte);
    if (parts.extension[0] == '\0')
        return 0;
    // The line's end is the only control character left, and it is in the extension.
    parts.extension[strcspn(parts.extension, "\r\n")] = '\0';

    LineBase base = BaseOfLine(line);
    const char* folder = base == LineBase::AsWritten ? parts.drive : baseDirectory;
    const char* directory = parts.directory;
    if (base == LineBase::PlaylistFolderPastRoot)
        ++directory; // the line's first byte, its backslash
    // A path cut short would name another file, or none.
    const char* pieces[] = {folder, directory, parts.name, parts.extension};
    size_t length = 0;
    for (const char* piece : pieces) {
        size_t pieceLength = strlen(piece);
        if (length + pieceLength >= static_cast<size_t>(PATH_SIZE)) {
            path[0] = '\0';
            return 0;
        }
        length = AppendBounded(path, PATH_SIZE, length, piece);
    }
    return length;
}

bool NamesMidiFile(const char* path, LeadByteTest isLeadByte)
{
    static const char* const midiExtensions[] = {".mid", ".midi", ".rmi"};
    PathParts parts;
    SplitPath(path, &parts, isLeadByte);
    for (const char* extension : midiExtensions) {
        if (EqualsIgnoringCase(parts.extension, extension))
            return true;
    }
    return false;
}
