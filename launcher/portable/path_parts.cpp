// Splitting an 8-bit path into drive, directory, name and extension, double-byte and UTF-8
// aware. Platform-free: the caller supplies the code page's lead-byte test.
#include "launcher/portable/path_parts.h"
#include <cstddef>
#include <cstring>

bool IsUtf8LeadByte(unsigned char byte)
{
    return byte >= 0xC2 && byte <= 0xF4;
}

static bool IsSeparator(char byte)
{
    return byte == '\\' || byte == '/';
}

// The bytes of the character at byte, before end. A double-byte character takes its lead byte
// and the next; a lead byte just before end stands alone. A UTF-8 sequence takes as many bytes
// as its lead byte announces when they all follow; any other byte, a malformed one too, stands
// alone, so that a separator after it is never taken into it.
static size_t CharacterBytes(const char* byte, const char* end, LeadByteTest isLeadByte)
{
    unsigned char lead = static_cast<unsigned char>(*byte);
    if (!isLeadByte(lead))
        return 1;
    if (isLeadByte != IsUtf8LeadByte)
        return byte + 1 < end ? 2 : 1;
    size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    for (size_t i = 1; i < length; ++i) {
        if (byte + i >= end || (static_cast<unsigned char>(byte[i]) & 0xC0) != 0x80)
            return 1;
    }
    return length;
}

// How much of a part's room the character takes: its UTF-16 units in UTF-8 (two for a
// sequence of four bytes), its bytes in any other code page.
static size_t PartRoomOf(size_t bytes, LeadByteTest isLeadByte)
{
    if (isLeadByte != IsUtf8LeadByte)
        return bytes;
    return bytes == 4 ? 2 : 1;
}

// Copies [begin, end) into a part buffer, at most PATH_PART_LENGTH long. The copy goes by
// characters, so a character that the limit would split is left out whole.
static void CopyPart(char* part, const char* begin, const char* end, LeadByteTest isLeadByte)
{
    size_t length = 0;
    size_t room = 0;
    const char* byte = begin;
    while (byte < end) {
        size_t step = CharacterBytes(byte, end, isLeadByte);
        room += PartRoomOf(step, isLeadByte);
        if (room > PATH_PART_LENGTH)
            break;
        memcpy(part + length, byte, step);
        length += step;
        byte += step;
    }
    part[length] = '\0';
}

void SplitPath(const char* path, PathParts* parts, LeadByteTest isLeadByte)
{
    parts->drive[0] = '\0';
    parts->directory[0] = '\0';
    parts->name[0] = '\0';
    parts->extension[0] = '\0';
    if (path == nullptr)
        return;

    // A colon as the second byte makes the first two bytes the drive, whatever the first is.
    const char* rest = path;
    if (path[0] != '\0' && path[1] == ':') {
        parts->drive[0] = path[0];
        parts->drive[1] = ':';
        parts->drive[2] = '\0';
        rest = path + 2;
    }

    // The second byte of a double-byte character may have the value of a backslash or a dot:
    // it is stepped over with its lead byte.
    const char* end = rest + strlen(rest);
    const char* componentStart = rest;
    const char* lastDot = nullptr;
    for (const char* byte = rest; byte < end; byte += CharacterBytes(byte, end, isLeadByte)) {
        if (IsSeparator(*byte))
            componentStart = byte + 1;
        else if (*byte == '.')
            lastDot = byte;
    }

    CopyPart(parts->directory, rest, componentStart, isLeadByte);
    if (lastDot != nullptr && lastDot >= componentStart) {
        CopyPart(parts->name, componentStart, lastDot, isLeadByte);
        CopyPart(parts->extension, lastDot, end, isLeadByte);
    } else {
        CopyPart(parts->name, componentStart, end, isLeadByte);
    }
}

void FolderOfPath(const char* path, char* folder, LeadByteTest isLeadByte)
{
    PathParts parts;
    SplitPath(path, &parts, isLeadByte);
    size_t driveLength = strlen(parts.drive);
    memcpy(folder, parts.drive, driveLength);
    memcpy(folder + driveLength, parts.directory, strlen(parts.directory) + 1);
}
