// The line under the playlist's path: what the saver will find in the playlist, its tracks and
// those whose file is missing, or why nothing plays, in the user's language.
#include "config_dialog/config_dialog.h"
#include "launcher/playlist.h"

// A count of tracks has at most four digits: each "%d" of a text, two units, becomes four at
// most, and the line fits twice the room of the text.
static_assert(MAX_TRACKS < 10000 && PLAYLIST_CONTENTS_SIZE >= 2 * USER_CAPTION_SIZE,
              "the line holds a text with every %d replaced");

// The string table's text id with its first "%d" replaced by first and any other by second:
// the wide wsprintf is a stub on the Windows 95 family. line has PLAYLIST_CONTENTS_SIZE units.
static void FormatCounts(UINT id, int first, int second, WCHAR* line)
{
    WCHAR format[USER_CAPTION_SIZE];
    LoadUserText(id, format, USER_CAPTION_SIZE);
    const WCHAR* at = format;
    for (int number = first; *at != L'\0'; ++at) {
        if (at[0] != L'%' || at[1] != L'd') {
            *line++ = *at;
            continue;
        }
        char digits[SETTING_NUMBER_SIZE];
        wsprintfA(digits, "%d", number);
        line += AnsiToUserText(digits, line, SETTING_NUMBER_SIZE);
        number = second;
        ++at;
    }
    *line = L'\0';
}

// The line tells what the saver will find at the path OK saves, read by the saver's own loader
// with one look on the disk for each track: its attributes, which Wine reads from the file
// system at once. A search (FindFirstFile, as FileExists does) goes through the wineserver:
// for 2048 tracks it took from a tenth to over half a second, the attributes 9 ms.
// - an empty path: no line, as the hint above the path says there is no music then;
// - a path that names no file to read (nothing there, a folder, a wildcard): the playlist
//   cannot be read;
// - a file that gives no track, or only tracks whose files are missing: no track to play;
// - otherwise every track it gives, and how many of them are missing when any are: "12 曲",
//   "12 曲（2 曲が見つかりません）".
// The configure mode plays nothing: the playlist is cleared again at once.
void DescribePlaylist(const char* path, WCHAR* line)
{
    line[0] = L'\0';
    if (path[0] == '\0')
        return;
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        FormatCounts(IDS_PLAYLIST_UNREADABLE, 0, 0, line);
        return;
    }
    int tracks = gPlaylist.Load(path);
    int missing = 0;
    for (int slot = 0; slot < tracks; ++slot)
        missing += GetFileAttributesA(gPlaylist.tracks[slot]) == INVALID_FILE_ATTRIBUTES;
    gPlaylist.Clear();
    UINT id = IDS_PLAYLIST_TRACKS;
    if (missing == tracks)
        id = IDS_PLAYLIST_NO_TRACK;
    else if (missing > 0)
        id = IDS_PLAYLIST_MISSING_TRACKS;
    else if (tracks == 1)
        id = IDS_PLAYLIST_ONE_TRACK;
    FormatCounts(id, tracks, missing, line);
}
