// The one process-wide playlist: up to 2048 track paths read from an M3U file, in the ANSI code
// page or in UTF-8 as today's players write it, resolved against the playlist's folder, and
// released again. Where the ANSI code page is UTF-8, a playlist in the system locale's older
// code page is converted to it.
#include "launcher/playlist.h"
#include "launcher/ansi_path.h"
#include "launcher/portable/playlist_text.h"
#include "launcher/portable/track_path.h"
#include <share.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

// A read takes at most PATH_SIZE - 1 bytes of a line and its NUL; a longer line comes in
// pieces.
static_assert(FOLDER_SIZE <= PATH_SIZE, "the playlist's folder fits baseDirectory");
static_assert(2 * PATH_SIZE <= WIDE_PATH_SIZE,
              "a track as UTF-16: the playlist's folder and a line");
static_assert(sizeof(Utf16Unit) == sizeof(WCHAR), "decoded text goes to the wide calls");

Playlist gPlaylist;

// Only zero-filling: the static object is built before WinMain and must not allocate.
Playlist::Playlist() : tracks(), trackCount(0), baseDirectory() {}

Playlist::~Playlist()
{
    Clear();
}

// Whether the file is read as UTF-8: its name or its byte-order mark says so, or its whole text
// is UTF-8 beyond ASCII. The text is looked at once to the end unless its start decides; the
// file is then read again from its start.
static bool ReadsAsUtf8(FILE* file, const char* playlistPath)
{
    if (NamesUtf8Playlist(playlistPath))
        return true;
    Utf8Survey survey = Utf8Survey();
    char block[4096];
    size_t got;
    while (!SurveyDecided(&survey) && (got = fread(block, 1, sizeof block, file)) > 0)
        SurveyUtf8(&survey, block, got);
    rewind(file);
    return SurveyFindsUtf8(&survey);
}

// The short name of the line's file in the ANSI code page, for a name the code page cannot
// hold. Only the file system knows it, so the file must exist: the line is resolved first, in
// UTF-16, by the rule FormTrackPath resolves the line's bytes by (BaseOfLine).
static bool FormShortPath(const char* baseDirectory, const WCHAR* line, char* path, int pathSize)
{
    WCHAR longPath[WIDE_PATH_SIZE];
    int length = 0;
    LineBase base = BaseOfLine(line);
    if (base != LineBase::AsWritten) {
        length =
            MultiByteToWideChar(gAnsiCodePage(), 0, baseDirectory, -1, longPath, WIDE_PATH_SIZE);
        if (length == 0)
            return false;
        --length; // its NUL
        if (base == LineBase::PlaylistFolderPastRoot)
            ++line;
    }
    for (; *line != L'\0' && *line != L'\r' && *line != L'\n'; ++line) {
        if (length == WIDE_PATH_SIZE - 1)
            return false;
        longPath[length++] = *line;
    }
    longPath[length] = L'\0';
    return ShortAnsiPath(longPath, path, pathSize);
}

// The code page a playlist not in UTF-8 was written in where the ANSI code page is UTF-8: the
// one the system locale had before (932 on Japanese Windows). Older programs wrote in the
// system locale's code page, "the language for non-Unicode programs", whatever the user's
// regional format: a Japanese system whose user formats dates in English still wrote 932. 0
// where the locale has none but UTF-8, or one the system lacks.
static UINT LocaleAnsiCodePage()
{
    char digits[8] = ""; // stays empty where the locale does not answer
    gLocaleInfo(LOCALE_SYSTEM_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE, digits, sizeof digits);
    UINT codePage = static_cast<UINT>(strtoul(digits, nullptr, 10));
    if (codePage == 0 || codePage == CP_UTF8 || !IsValidCodePage(codePage))
        return 0;
    return codePage;
}

// The line in UTF-16: UTF-8 by the strict decoder (the Windows 95 family has no UTF-8 code
// page), any other code page by the system, which refuses what is not text there.
static bool DecodeLine(const char* line, UINT codePage, WCHAR* wide, int wideSize)
{
    if (codePage == CP_UTF8)
        return DecodeUtf8(line, wide, wideSize);
    return MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, line, -1, wide, wideSize) != 0;
}

// A line in a code page other than the ANSI one becomes a line in the ANSI code page and is then
// taken like any other; a name the ANSI code page cannot hold goes by its short name where it
// has one, or is skipped. A line already in the ANSI code page (UTF-8 under UTF-8) is only
// checked to be text in it, and taken as it is.
static int AddEntryIn(Playlist* playlist, const char* line, UINT codePage)
{
    if (!IsTrackLine(line))
        return 0;
    Utf16Unit wide[PATH_SIZE];
    if (!DecodeLine(line, codePage, wide, PATH_SIZE))
        return 0;
    if (codePage == gAnsiCodePage())
        return playlist->AddEntry(line);
    char ansi[ANSI_PATH_SIZE];
    if (WideToAnsi(wide, ansi, ANSI_PATH_SIZE) ||
        FormShortPath(playlist->baseDirectory, wide, ansi, ANSI_PATH_SIZE))
        return playlist->AddEntry(ansi);
    return 0;
}

// The code page the playlist's lines are in, when they need a conversion or a check: UTF-8 as
// the file asks, or the system locale's older code page where the ANSI one is UTF-8. 0 for
// lines in the ANSI code page, taken as they are.
static UINT LineCodePage(bool utf8)
{
    if (utf8)
        return CP_UTF8;
    return gAnsiCodePage() == CP_UTF8 ? LocaleAnsiCodePage() : 0;
}

int Playlist::Load(const char* playlistPath)
{
    // The folder is taken before the file is opened, so it is set even when the file is not.
    FolderOfPath(playlistPath, baseDirectory, AnsiPathLeadBytes());
    if (playlistPath == nullptr)
        return trackCount;

    // Text mode: CR LF reads as LF and a Ctrl-Z ends the file, as playlists written by hand
    // on these systems expect. Other programs may keep the file open for writing meanwhile.
    FILE* file = _fsopen(playlistPath, "r", _SH_DENYNO);
    if (file == nullptr)
        return trackCount;
    bool utf8 = ReadsAsUtf8(file, playlistPath);
    UINT codePage = LineCodePage(utf8);
    char line[PATH_SIZE];
    bool firstPiece = true;
    bool inComment = false;
    while (fgets(line, PATH_SIZE, file) != nullptr) {
        const char* text = firstPiece && utf8 ? SkipByteOrderMark(line) : line;
        firstPiece = false;
        // What follows a piece of a comment longer than one read is that comment too.
        bool comment = inComment || text[0] == '#';
        inComment = comment && strchr(text, '\n') == nullptr;
        if (comment)
            continue;
        if ((codePage != 0 ? AddEntryIn(this, text, codePage) : AddEntry(text)) != 0)
            ++trackCount;
    }
    fclose(file);
    return trackCount;
}

int Playlist::AddEntry(const char* line)
{
    char path[PATH_SIZE];
    size_t length = FormTrackPath(line, baseDirectory, path, AnsiPathLeadBytes());
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
