// Turning playlist lines into track paths: a line with its own drive or network share stands
// as written, any other is resolved against the playlist's folder; comment lines and lines
// that could change the music device's command name no track. Platform-free.
#pragma once
#include "launcher/portable/path_parts.h"
#include <cstddef>

// Room for any track path: a folder of at most 257 bytes (drive and directory of the playlist)
// and three parts of at most 255 bytes make 1022 bytes and the NUL.
const int TRACK_PATH_SIZE = 1024;

// Whether a line as read may name a track: it is no M3U comment or directive (# first), and
// holds no quote or control character but its own end (LF, or CR LF).
bool IsTrackLine(const char* line);
// Whether the path can stand between the quotes of an MCI command: no quote, which would end
// them, and no control character (below 0x20, or 0x7F), which no file name holds.
bool IsSafeTrackPath(const char* path);

// The track path of one playlist line, as read (normally ending with its LF), into path
// (TRACK_PATH_SIZE bytes). Returns its length, or 0 when the line names no track: it is no
// track line, or its last component has no dot, as in empty lines.
size_t FormTrackPath(const char* line, const char* baseDirectory, char* path,
                     LeadByteTest isLeadByte);

// Whether the path names a file the system plays through its MIDI sequencer: its extension
// is .mid, .midi or .rmi, in any case.
bool NamesMidiFile(const char* path, LeadByteTest isLeadByte);
// Whether text equals lowerCase with its ASCII letters in either case; other bytes as they are.
bool EqualsIgnoringCase(const char* text, const char* lowerCase);

// Appends text to the NUL-terminated contents of a buffer of the given size, as much as fits
// with the NUL. Returns the new length.
size_t AppendBounded(char* buffer, size_t size, size_t length, const char* text);
