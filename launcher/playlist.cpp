// The one process-wide playlist: up to 2048 track paths read from an M3U file, resolved
// against the playlist's folder, and released again.
#include "launcher/playlist.h"
#include "launcher/portable/track_path.h"
#include "saver_host/saver_host.h"
#include <share.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

// A read takes at most 1023 bytes of a line and its NUL; a longer line comes in pieces.
const int PLAYLIST_LINE_SIZE = 1024;
static_assert(TRACK_PATH_SIZE == PLAYLIST_PATH_SIZE, "baseDirectory is formed as a track path");

Playlist gPlaylist;

// Only zero-filling: the static object is built before WinMain and must not allocate.
Playlist::Playlist() : tracks(), trackCount(0), currentTrack(0), baseDirectory() {}

Playlist::~Playlist()
{
    Clear();
}

int Playlist::Load(const char* playlistPath)
{
    // The folder is taken before the file is opened, so it is set even when the file is not.
    FormBaseDirectory(playlistPath, baseDirectory, IsSystemLeadByte);
    if (playlistPath == nullptr)
        return trackCount;

    // Text mode: CR LF reads as LF and a Ctrl-Z ends the file, as playlists written by hand
    // on these systems expect. Other programs may keep the file open for writing meanwhile.
    FILE* file = _fsopen(playlistPath, "r", _SH_DENYNO);
    if (file == nullptr)
        return trackCount;
    char line[PLAYLIST_LINE_SIZE];
    while (fgets(line, PLAYLIST_LINE_SIZE, file) != nullptr) {
        if (AddEntry(line) != 0)
            ++trackCount;
    }
    fclose(file);
    return trackCount;
}

int Playlist::AddEntry(const char* line)
{
    char path[TRACK_PATH_SIZE];
    size_t length = FormTrackPath(line, baseDirectory, path, IsSystemLeadByte);
    if (length == 0)
        return 0;
    char* track = static_cast<char*>(calloc(length + 1, 1));
    if (track == nullptr)
        return 0;
    memcpy(track, path, length);
    for (int slot = 0; slot < MAX_TRACKS; ++slot) {
        if (tracks[slot] == nullptr) {
            tracks[slot] = track;
            return slot + 1;
        }
    }
    free(track);
    return 0;
}

void Playlist::Clear()
{
    for (int slot = 0; slot < MAX_TRACKS; ++slot) {
        free(tracks[slot]);
        tracks[slot] = nullptr;
    }
    trackCount = 0;
}
