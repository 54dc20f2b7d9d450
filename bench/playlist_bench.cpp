// Times the playlist's two loading operations at full size: Playlist::Load of a 2048-line
// playlist file, in the ANSI code page and in UTF-8, and 2048 AddEntry calls, with the music
// device replaced by a no-op so that Clear between rounds sends nothing to a device. And the
// settings dialog's line under the playlist's path for 2048 tracks, whose files are all there
// or all missing. Prints one "name value" line per sample.
//
//   playlist_bench [rounds]
#include "config_dialog/config_dialog.h"
#include "launcher/player.h"
#include <cstdio>
#include <cstdlib>

const int kDefaultRounds = 25;

static MCIERROR WINAPI IgnoreMciCommand(LPCSTR, LPSTR reply, UINT replyLength, HWND)
{
    if (reply && replyLength)
        reply[0] = '\0';
    return 0;
}

static double NowMs()
{
    static LARGE_INTEGER frequency;
    if (!frequency.QuadPart)
        QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Line i of the playlist as a Japanese user's would read: relative paths in double-byte
// folder and file names (0x5C as a second byte included: ソ is 83 5C), a few absolute ones.
static void FormLine(int i, char* line, int size)
{
    switch (i % 4) {
    case 0: wsprintfA(line, "アルバム%02d\\ソング%04d.wav\n", i / 64, i); break;
    case 1: wsprintfA(line, "\\曲\\track%04d.mp3\n", i); break;
    case 2: wsprintfA(line, "C:\\Music\\表示テスト\\%04d.mid\n", i); break;
    default: wsprintfA(line, "sub/folder/%04d.wav\n", i); break;
    }
    line[size - 1] = '\0';
}

// A playlist of 2048 tracks in a folder beside it, each an empty file: all the line looks for
// is whether each track's file is there.
static bool WriteTracksThere(const char* folder, const char* playlistPath)
{
    if (!CreateDirectoryA(folder, nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        return false;
    FILE* file = fopen(playlistPath, "wb");
    if (!file)
        return false;
    char track[MAX_PATH];
    for (int i = 0; i < MAX_TRACKS; i++) {
        wsprintfA(track, "%s\\track%04d.wav", folder, i);
        HANDLE empty = CreateFileA(track, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
        if (empty == INVALID_HANDLE_VALUE)
            break;
        CloseHandle(empty);
        fprintf(file, "tracks\\track%04d.wav\r\n", i);
    }
    return fclose(file) == 0;
}

static void RemoveTracks(const char* folder, const char* playlistPath)
{
    char track[MAX_PATH];
    for (int i = 0; i < MAX_TRACKS; i++) {
        wsprintfA(track, "%s\\track%04d.wav", folder, i);
        DeleteFileA(track);
    }
    RemoveDirectoryA(folder);
    DeleteFileA(playlistPath);
}

// The line for the playlist, timed; its leading number is the tracks it counts, 0 for a
// line without one ("no track to play").
static int TimeLine(const char* name, const char* playlistPath)
{
    WCHAR line[PLAYLIST_CONTENTS_SIZE];
    double start = NowMs();
    DescribePlaylist(playlistPath, line);
    printf("%s %.3f\n", name, NowMs() - start);
    return _wtoi(line);
}

// The same lines in UTF-8 when utf8 is set, as today's players save them (no byte-order mark:
// the whole text decides).
static bool WritePlaylist(const char* path, bool utf8)
{
    FILE* file = fopen(path, "wb");
    if (!file)
        return false;
    char line[256];
    for (int i = 0; i < MAX_TRACKS; i++) {
        FormLine(i, line, sizeof line);
        if (utf8) {
            WCHAR wide[256];
            MultiByteToWideChar(CP_ACP, 0, line, -1, wide, 256);
            WideCharToMultiByte(CP_UTF8, 0, wide, -1, line, sizeof line, nullptr, nullptr);
        }
        fputs(line, file);
    }
    return fclose(file) == 0;
}

int main(int argc, char** argv)
{
    int rounds = argc > 1 ? atoi(argv[1]) : kDefaultRounds;
    if (rounds < 1)
        rounds = kDefaultRounds;
    gSendMciCommand = IgnoreMciCommand;
    SaverState.instance = GetModuleHandleA(nullptr); // the texts of the dialog's line

    // The playlist file beside this program, so that it has a drive and a folder.
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH - 32);
    while (length > 0 && path[length - 1] != '\\')
        length--;
    char utf8Path[MAX_PATH];
    char tracksFolder[MAX_PATH];
    char tracksPath[MAX_PATH];
    lstrcpyA(utf8Path, path);
    lstrcpyA(tracksFolder, path);
    lstrcpyA(tracksPath, path);
    lstrcpyA(path + length, "bench-2048.m3u");
    lstrcpyA(utf8Path + length, "bench-2048-utf8.m3u");
    lstrcpyA(tracksFolder + length, "tracks");
    lstrcpyA(tracksPath + length, "bench-2048-there.m3u");
    if (!WritePlaylist(path, false) || !WritePlaylist(utf8Path, true) ||
        !WriteTracksThere(tracksFolder, tracksPath)) {
        fprintf(stderr, "cannot write %s\n", path);
        return 1;
    }

    static char lines[MAX_TRACKS][256];
    for (int i = 0; i < MAX_TRACKS; i++)
        FormLine(i, lines[i], sizeof lines[i]);

    int failures = 0;
    for (int round = 0; round < rounds; round++) {
        gPlaylist.Clear();
        double start = NowMs();
        int loaded = gPlaylist.Load(path);
        printf("load_ms %.3f\n", NowMs() - start);
        if (loaded != MAX_TRACKS) {
            printf("load_tracks %d\n", loaded);
            failures++;
        }

        // The UTF-8 playlist gives the very same tracks.
        static char* ansiTracks[MAX_TRACKS];
        for (int i = 0; i < MAX_TRACKS; i++) {
            ansiTracks[i] = gPlaylist.tracks[i];
            gPlaylist.tracks[i] = nullptr;
        }
        gPlaylist.trackCount = 0;
        start = NowMs();
        loaded = gPlaylist.Load(utf8Path);
        printf("load_utf8_ms %.3f\n", NowMs() - start);
        int same = 0;
        for (int i = 0; i < MAX_TRACKS; i++) {
            same += ansiTracks[i] && gPlaylist.tracks[i] &&
                    lstrcmpA(ansiTracks[i], gPlaylist.tracks[i]) == 0;
            free(ansiTracks[i]);
        }
        if (loaded != MAX_TRACKS || same != MAX_TRACKS) {
            printf("load_utf8_tracks %d same %d\n", loaded, same);
            failures++;
        }

        gPlaylist.Clear();
        int stored = 0;
        start = NowMs();
        for (int i = 0; i < MAX_TRACKS; i++)
            stored += gPlaylist.AddEntry(lines[i]) != 0;
        printf("add_entry_ms %.3f\n", NowMs() - start);
        if (stored != MAX_TRACKS) {
            printf("add_entry_stored %d\n", stored);
            failures++;
        }

        // The dialog's line: every file there ("2048 曲"), and every file missing, as no file
        // of the first playlist exists ("no track to play").
        gPlaylist.Clear();
        if (TimeLine("line_ms", tracksPath) != MAX_TRACKS ||
            TimeLine("line_missing_ms", path) != 0 || gPlaylist.trackCount != 0) {
            printf("line_wrong 1\n");
            failures++;
        }
    }
    gPlaylist.Clear();
    DeleteFileA(path);
    DeleteFileA(utf8Path);
    RemoveTracks(tracksFolder, tracksPath);
    printf("failures %d\n", failures);
    return failures ? 3 : 0;
}
