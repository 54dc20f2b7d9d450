// Splitting an 8-bit path into drive, directory, name and extension, double-byte and UTF-8
// aware. Platform-free: the caller supplies the code page's lead-byte test.
#pragma once

typedef bool (*LeadByteTest)(unsigned char byte);

// UTF-8's lead bytes (0xC2 to 0xF4): the test for paths where the ANSI code page is UTF-8,
// which the split below knows by its address, so as to step by UTF-8's sequences and count a
// part's length as the file system does.
bool IsUtf8LeadByte(unsigned char byte);

// How long each part may be: in the file system's characters (UTF-16 units) for UTF-8, where
// a character takes up to three bytes and one beyond the 16 bits four bytes and two units; in
// bytes for every other code page, as always.
const int PATH_PART_LENGTH = 255;
const int PATH_PART_SIZE = 3 * PATH_PART_LENGTH + 1; // the longest part and its NUL
// Room for any whole path the launcher holds in the ANSI code page, and its NUL: the settings'
// paths, the settings file's and the executable's own, a playlist's folder, a line of a
// playlist and a track's path.
const int PATH_SIZE = 1024;

struct PathParts {
    char drive[3];
    char directory[PATH_PART_SIZE];
    char name[PATH_PART_SIZE];
    char extension[PATH_PART_SIZE];
};

// Each part is cut to PATH_PART_LENGTH between two characters, never inside one.
void SplitPath(const char* path, PathParts* parts, LeadByteTest isLeadByte);

// A folder as SplitPath gives it: a drive of two bytes, a directory, the NUL.
const int FOLDER_SIZE = 2 + PATH_PART_SIZE;
// The folder the path lies in: its drive and directory joined, so that it ends with its
// separator whenever the path names a folder; empty when it names neither. The accessory runs
// in its own folder, and playlist lines are resolved against the playlist's. folder has
// FOLDER_SIZE bytes.
void FolderOfPath(const char* path, char* folder, LeadByteTest isLeadByte);
