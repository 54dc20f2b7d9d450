// The one process-wide playlist: up to 2048 track paths read from an M3U file, and the
// background-music player that plays them through MCI command strings.
#pragma once
#include <windows.h>
#include <mmsystem.h>

const int MAX_TRACKS = 2048;
const int PLAYLIST_PATH_SIZE = 1024;

// The shape of mciSendStringA. The player sends every command through gSendMciCommand,
// which is mciSendStringA in the product and a recorder in tests.
typedef MCIERROR(WINAPI* MciSendStringFunction)(LPCSTR command, LPSTR reply, UINT replyLength,
                                                HWND notifyWindow);
extern MciSendStringFunction gSendMciCommand;

// The system ANSI code page's lead-byte test (IsDBCSLeadByte), for SplitPath.
bool IsSystemLeadByte(unsigned char byte);

class Playlist {
public:
    Playlist();
    ~Playlist();

    int Load(const char* playlistPath);
    int AddEntry(const char* line);
    void Clear();

    int Play(int trackNumber);
    int IsPlaying();
    void Stop();
    void Advance();

    char* tracks[MAX_TRACKS];               // slot i holds track i + 1; owned, or null
    int trackCount;                         // entries stored by Load since the last Clear
    int currentTrack;                       // the player: track last started, 0 before any
    char baseDirectory[PLAYLIST_PATH_SIZE]; // Load: drive and folder of the playlist file
};

// Constructed before WinMain; never destroyed, since the process ends through ExitProcess.
extern Playlist gPlaylist;
