// Turning playlist lines into track paths: a line with its own drive or network share stands
// as written, any other is resolved against the playlist's folder. Platform-free.
#pragma once
#include "launcher/portable/path_parts.h"
#include <cstddef>

// Room for any track path: a folder of at most 257 bytes (drive and directory of the playlist)
// and three parts of at most 255 bytes make 1022 bytes and the NUL.
const int TRACK_PATH_SIZE = 1024;

// The playlist's folder: drive and directory of its path, so that it ends with a separator
// whenever the path names a folder. baseDirectory has TRACK_PATH_SIZE bytes.
void FormBaseDirectory(const char* playlistPath, char* baseDirectory, LeadByteTest isLeadByte);

// The track path of one playlist line, as read (normally ending with its LF), into path
// (TRACK_PATH_SIZE bytes). Returns its length, or 0 when the line names no track: its last
// component has no dot, as in empty lines, #EXTM3U and most #EXTINF lines.
size_t FormTrackPath(const char* line, const char* baseDirectory, char* path,
                     LeadByteTest isLeadByte);

// Appends text to the NUL-terminated contents of a buffer of the given size, as much as fits
// with the NUL. Returns the new length.
size_t AppendBounded(char* buffer, size_t size, size_t length, const char* text);
