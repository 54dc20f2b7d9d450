// Splitting an 8-bit path into drive, directory, name and extension, double-byte aware.
// Platform-free: the caller supplies the code page's lead-byte test.
#pragma once

typedef bool (*LeadByteTest)(unsigned char byte);

const int PATH_PART_SIZE = 256; // each part holds at most 255 bytes and its NUL

struct PathParts {
    char drive[3];
    char directory[PATH_PART_SIZE];
    char name[PATH_PART_SIZE];
    char extension[PATH_PART_SIZE];
};

void SplitPath(const char* path, PathParts* parts, LeadByteTest isLeadByte);
