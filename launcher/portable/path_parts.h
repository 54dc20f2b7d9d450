// Splitting an 8-bit path into drive, directory, name and extension, double-byte aware.
// Platform-free: the caller supplies the code page's lead-byte test.
#pragma once

typedef bool (*LeadByteTest)(unsigned char byte);

const int PATH_PART_SIZE = 256; // each part holds at most 255 bytes and its NUL
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

void SplitPath(const char* path, PathParts* parts, LeadByteTest isLeadByte);

// A folder as SplitPath gives it: a drive of two bytes, a directory of at most 255, the NUL.
const int FOLDER_SIZE = 2 + PATH_PART_SIZE;
// The folder the path lies in: its drive and directory joined, so that it ends with its
// separator whenever the path names a folder; empty when it names neither. The accessory runs
// in its own folder, and playlist lines are resolved against the playlist's. folder has
// FOLDER_SIZE bytes.
void FolderOfPath(const char* path, char* folder, LeadByteTest isLeadByte);
