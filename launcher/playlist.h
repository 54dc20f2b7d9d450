// The one process-wide playlist: up to 2048 track paths read from an M3U file, in the ANSI code
// page or in UTF-8, and resolved against the playlist's folder. The player (player.h) plays
// them and keeps its own record of where it stands.
#pragma once
#include "launcher/portable/path_parts.h"

const int MAX_TRACKS = 2048;

class Playlist {
public:
    Playlist();
    ~Playlist();

    // Appends the tracks of the file, read as UTF-8 or as the ANSI code page as the file asks;
    // returns trackCount afterwards.
    int Load(const char* playlistPath);
    // The track number now holding the line's path, or 0 when the line names no track.
    int AddEntry(const char* line);
    // Frees every slot; trackCount becomes 0, baseDirectory stays.
    void Clear();

    char* tracks[MAX_TRACKS];      // slot i holds track i + 1; owned, or null
    int trackCount;                // entries stored by Load since the last Clear
    char baseDirectory[PATH_SIZE]; // Load: drive and folder of the playlist file
};

// Constructed before WinMain; never destroyed, since the process ends through ExitProcess.
extern Playlist gPlaylist;
