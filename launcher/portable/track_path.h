// Turning playlist lines into track paths: a line with its own drive or network share stands
// as written, any other is resolved against the playlist's folder; comment lines and lines
// that could change the music device's command name no track. Platform-free.
#pragma once
#include "launcher/portable/path_parts.h"
#include <cstddef>

// In a code page of one or two bytes a character, any track path fits PATH_SIZE: a folder of
// at most 257 bytes (drive and directory of the playlist) and three parts of at most 255 bytes
// make 1022 bytes and the NUL. In UTF-8 a path can be longer, and then names no track.
static_assert((2 + PATH_PART_LENGTH) + 3 * PATH_PART_LENGTH + 1 <= PATH_SIZE, "a track path fits");

// Whether a line as read may name a track: it is no M3U comment or directive (# first), and
// holds no quote or control character but its own end (LF, or CR LF).
bool IsTrackLine(const char* line);
// Whether the path can stand between the quotes of an MCI command: no quote, which would end
// them, and no control character (below 0x20, or 0x7F), which no file name holds.
bool IsSafeTrackPath(const char* path);

// Where a line's track lies. A line with a drive (a colon as its second character) or a share
// (two backslashes first) stands as written; any other is taken from the playlist's folder,
// and a line from the root without a drive (one backslash first) too, without its backslash.
// Only backslashes count: a leading slash is relative. One rule for a line's bytes, which
// FormTrackPath resolves, and for its UTF-16 form, whose short name the playlist asks the file
// system for when the code page cannot hold the line.
enum class LineBase {
    AsWritten,
    PlaylistFolder,
    PlaylistFolderPastRoot,
};
template <typename Char> LineBase BaseOfLine(const Char* line)
{
    if (line[0] != 0 && line[1] == ':')
        return LineBase::AsWritten;
    if (line[0] != '\\')
        return LineBase::PlaylistFolder;
    return line[1] == '\\' ? LineBase::AsWritten : LineBase::PlaylistFolderPastRoot;
}

// The track path of one playlist line, as read (normally ending with its LF), into path
// (PATH_SIZE bytes). Returns its length, or 0 when the line names no track: it is no
// track line, its last component has no dot, as in empty lines, or the path would not fit
// whole.
size_t FormTrackPath(const char* line, const char* baseDirectory, char* path,
                     LeadByteTest isLeadByte);

// Whether the path names a file the system plays through its MIDI sequencer: its extension
// is .mid, .midi or .rmi, in any case.
bool NamesMidiFile(const char* path, LeadByteTest isLeadByte);
