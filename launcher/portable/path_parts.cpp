// Splitting an 8-bit path into drive, directory, name and extension, double-byte aware.
// Platform-free: the caller supplies the code page's lead-byte test.
#include "launcher/portable/path_parts.h"
#include <cstddef>
#include <cstring>

static bool IsSeparator(char byte)
{
    return byte == '\\' || byte == '/';
}

// Copies [begin, end) into a part buffer, at most PATH_PART_SIZE - 1 bytes. The copy goes by
// characters, so a double-byte character that the limit would split is left out whole.
static void CopyPart(char* part, const char* begin, const char* end, LeadByteTest isLeadByte)
{
    size_t length = 0;
    const char* byte = begin;
    while (byte < end) {
        size_t step = (isLeadByte(static_cast<unsigned char>(*byte)) && byte + 1 < end) ? 2 : 1;
        if (length + step > PATH_PART_SIZE - 1)
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
    // it is stepped over with its lead byte. A lead byte just before the NUL stands alone.
    const char* componentStart = rest;
    const char* lastDot = nullptr;
    const char* byte = rest;
    while (*byte != '\0') {
        if (isLeadByte(static_cast<unsigned char>(*byte)) && byte[1] != '\0') {
            byte += 2;
            continue;
        }
        if (IsSeparator(*byte))
            componentStart = byte + 1;
        else if (*byte == '.')
            lastDot = byte;
        ++byte;
    }
    const char* end = byte;

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
