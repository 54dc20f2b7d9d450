// Loading M3U playlists from real files: line ends, Ctrl-Z, long lines, the 2048-slot limit,
// M3U directives, UTF-8 playlists and the ANSI code pages they are read into, missing files,
// and Clear. The music device is a silent recorder here.
#include "launcher/ansi_path.h"
#include "launcher/player.h"
#include "tests/support/desktop.h"
#include "tests/support/files.h"
#include "tests/support/mci_recorder.h"
#include <gtest/gtest.h>
#include <string>
#include <vector>

// The ANSI code page the playlist is read into, in place of the session's 932.
static UINT gCodePage;
static UINT WINAPI TestCodePage()
{
    return gCodePage;
}

// The locales in place of the session's: the system's code page as a case gives it, the user's
// 1252, as for a Western user of a Japanese system. Each locale asked is kept.
static const char* gSystemCodePage;
static std::vector<LCID> gLocalesAsked;
static int WINAPI TestLocaleInfo(LCID locale, LCTYPE type, LPSTR data, int dataSize)
{
    gLocalesAsked.push_back(locale);
    if (type != LOCALE_IDEFAULTANSICODEPAGE)
        return 0;
    const char* answer = locale == LOCALE_SYSTEM_DEFAULT ? gSystemCodePage : "1252";
    if (answer == nullptr)
        return 0;
    lstrcpynA(data, answer, dataSize);
    return lstrlenA(data) + 1;
}

static std::string Repeated(int count, const std::string& text)
{
    std::string repeated;
    for (int i = 0; i < count; ++i)
        repeated += text;
    return repeated;
}

class PlaylistLoading : public ::testing::Test {
protected:
    void SetUp() override { playlist = new Playlist; }
    void TearDown() override
    {
        delete playlist;
        gAnsiCodePage = GetACP;
        gLocaleInfo = GetLocaleInfoA;
    }
    std::string WritePlaylist(const char* name, const std::string& bytes)
    {
        std::string path = folder + name;
        EXPECT_TRUE(WriteTextFile(path, bytes)) << path;
        return path;
    }
    std::vector<std::string> Tracks() const
    {
        std::vector<std::string> tracks;
        for (int slot = 0; slot < playlist->trackCount; ++slot)
            tracks.push_back(playlist->tracks[slot] ? playlist->tracks[slot] : "(empty)");
        return tracks;
    }
    MciRecorder device{gSendMciCommand};
    ScratchFolder scratch{"windows playlist"};
    std::string folder = scratch.Path() + "\\";
    Playlist* playlist;
};

// The lines of the playlist and the tracks they give, with the playlist in the scratch folder.
static const char* const LINES =
    "#EXTM3U\n"
    "a.mp3\n"
    "sub\\b.mp3\n"
    "..\\c.mp3\n"
    "\\sub\\d.mp3\n"
    "/sub/e.mp3\n"
    "E:\\x\\f.mp3\n"
    "E:f.mp3\n"
    "\\\\server\\share\\g.mp3\n"
    "\n"
    "D:\\music\\readme\n"
    "#EXTINF:215,Vol. 2 - Song\n"
    "#EXTINF:215,Rock/Pop - Song\n"
    "a.mp3 \n"
    "曲\\x.表\n" // the extension's second byte is 0x5C: no separator in code page 932
    "last.wav";

static std::vector<std::string> ExpectedTracks(const std::string& base)
{
    return {
        base + "a.mp3",
        base + "sub\\b.mp3",
        base + "..\\c.mp3",
        base + "sub\\d.mp3",
        base + "/sub/e.mp3",
        "E:\\x\\f.mp3",
        "E:f.mp3",
        "\\\\server\\share\\g.mp3",
        base + "a.mp3 ",
        base + "曲\\x.表",
        base + "last.wav",
    };
}

TEST_F(PlaylistLoading, ResolvesEachLineAgainstThePlaylistFolderAndSkipsCommentsAndNoExtension)
{
    std::string path = WritePlaylist("list.m3u", LINES);
    EXPECT_EQ(playlist->Load(path.c_str()), 11);
    EXPECT_EQ(playlist->trackCount, 11);
    EXPECT_STREQ(playlist->baseDirectory, folder.c_str());
    EXPECT_EQ(Tracks(), ExpectedTracks(folder));
    EXPECT_EQ(playlist->tracks[11], nullptr);
}

TEST_F(PlaylistLoading, CrLfLineEndsGiveTheSameTracksAsLf)
{
    std::string crlf;
    for (const char* byte = LINES; *byte != '\0'; ++byte) {
        if (*byte == '\n')
            crlf += '\r';
        crlf += *byte;
    }
    std::string path = WritePlaylist("crlf.m3u", crlf);
    EXPECT_EQ(playlist->Load(path.c_str()), 11);
    EXPECT_EQ(Tracks(), ExpectedTracks(folder));
}

TEST_F(PlaylistLoading, ACtrlZEndsThePlaylist)
{
    std::string path = WritePlaylist("ctrlz.m3u", "a.mp3\r\nb.mp3\x1a"
                                                  "c.mp3\r\nd.mp3\r\n");
    EXPECT_EQ(playlist->Load(path.c_str()), 2);
    EXPECT_EQ(Tracks(), (std::vector<std::string>{folder + "a.mp3", folder + "b.mp3"}));
}

TEST_F(PlaylistLoading, ALineOfMoreThan1023BytesIsReadInPieces)
{
    // 1023 bytes, then the rest of the same line as a piece of its own; then a line of exactly
    // 1023 bytes whose CR LF comes as a piece holding only the LF, which names no track.
    std::string first = std::string(1019, 'n') + ".mp3";
    std::string exact = std::string(1019, 'x') + ".wav";
    std::string path =
        WritePlaylist("long.m3u", first + "tail.ogg\r\n" + exact + "\r\nnext.mp3\r\n");
    EXPECT_EQ(playlist->Load(path.c_str()), 4);
    std::vector<std::string> expected = {
        folder + std::string(255, 'n') + ".mp3", folder + "tail.ogg",
        folder + std::string(255, 'x') + ".wav", folder + "next.mp3"};
    EXPECT_EQ(Tracks(), expected);
}

// Narrow literals are code page 932 here, the session's ANSI code page; u8 ones are UTF-8. The
// code page a case names stands in for the ANSI code page; lead bytes stay the session's
// (UTF-8's under UTF-8), so the code page 1252 cases use none of 932's lead bytes. Under
// UTF-8 a playlist not in UTF-8 is read in the code page the system locale answers (932
// unless a case says otherwise), never the user's (1252 here).
TEST_F(PlaylistLoading, ReadsUtf8PlaylistsByTheirMarkNameOrTextAndSkipsCommentsAndQuotes)
{
    const std::string mark = "\xEF\xBB\xBF";
    const std::string japanese = u8"音楽\\曲一.wav\n";
    struct Case {
        UINT codePage;
        const char* name;
        std::string bytes;
        std::vector<std::string> tracks;
        const char* systemCodePage = "932"; // null: the locale does not answer
    } cases[] = {
        {932, "mark.m3u",
         mark + u8"#EXTM3U\n#EXTINF:1,Mr. Tone - First\n" + japanese +
             u8"a.wav\" type \"cdaudio\n#EXTINF:1,Vol. 2 - 二\nb.wav\n",
         {"音楽\\曲一.wav", "b.wav"}},
        {932, "named.M3U8", u8"#EXTM3U\r\n音楽\\曲一.wav\r\n", {"音楽\\曲一.wav"}},
        {932, "text.m3u", japanese, {"音楽\\曲一.wav"}},
        // Not UTF-8 throughout (an overlong slash): every byte as the ANSI code page.
        {932, "overlong.m3u", "\xC0\xAF.wav\n" + japanese,
         {"\xC0\xAF.wav", std::string(u8"音楽\\曲一.wav")}},
        // A comment longer than one read is a comment to its end.
        {932, "long comment.m3u", "#" + std::string(1500, 'x') + ".mp3\na.mp3\n", {"a.mp3"}},
        // A name the code page cannot hold, of a file that is not there: no short name.
        {932, "missing.m3u8", u8"naïve.wav\n", {}},
        // A Western code page holds the German name but not the Japanese one.
        {1252, "named.m3u8", u8"Straße.wav\n" + japanese, {"Stra\xDF" "e.wav"}},
        {1252, "western.m3u", "Stra\xDF" "e.wav\n", {"Stra\xDF" "e.wav"}},
        // Under UTF-8 a UTF-8 playlist is taken as it is, every name held, malformed lines
        // skipped; any other is read in the locale's code page (932) and converted, and only
        // then split: the second byte of 表 is no separator, and no byte of ぁ (E3 81 81) leads.
        {CP_UTF8, "named.m3u8", u8"naïve.wav\n" + japanese + "\xC0\xAF.wav\n",
         {u8"naïve.wav", u8"音楽\\曲一.wav"}},
        {CP_UTF8, "text.m3u", mark + japanese, {u8"音楽\\曲一.wav"}},
        {CP_UTF8, "shift-jis.m3u", "#EXTM3U\r\n音楽\\曲一.wav\r\n曲\\x.表\r\nぁ.wav\r\n",
         {u8"音楽\\曲一.wav", u8"曲\\x.表", u8"ぁ.wav"}},
        // A Western system's playlist is read in its 1252; where the system locale gives no
        // older code page, the lines are taken as they are. A name holds 255 characters.
        {CP_UTF8, "western system.m3u", "Stra\xDF" "e.wav\n", {u8"Straße.wav"}, "1252"},
        {CP_UTF8, "no answer.m3u", "曲一.wav\n", {"曲一.wav"}, nullptr},
        {CP_UTF8, "long.m3u", Repeated(300, "曲") + ".wav\n", {Repeated(255, u8"曲") + ".wav"}},
    };
    gAnsiCodePage = TestCodePage;
    gLocaleInfo = TestLocaleInfo;
    for (const Case& c : cases) {
        gCodePage = c.codePage;
        gSystemCodePage = c.systemCodePage;
        gLocalesAsked.clear();
        playlist->Clear();
        std::string path = WritePlaylist(c.name, c.bytes);
        std::vector<std::string> expected;
        for (const std::string& track : c.tracks)
            expected.push_back(folder + track);
        EXPECT_EQ(playlist->Load(path.c_str()), static_cast<int>(expected.size()))
            << c.codePage << " " << c.name;
        EXPECT_EQ(Tracks(), expected) << c.codePage << " " << c.name;
        // Only under UTF-8 is a locale asked, and then only the system's.
        for (LCID locale : gLocalesAsked)
            EXPECT_EQ(locale, static_cast<LCID>(LOCALE_SYSTEM_DEFAULT)) << c.name;
        if (c.codePage != CP_UTF8) {
            EXPECT_TRUE(gLocalesAsked.empty()) << c.codePage << " " << c.name;
        }
    }
    gAnsiCodePage = GetACP;
    gLocaleInfo = GetLocaleInfoA;

    // A name the code page cannot hold goes by its short name, where the file is.
    std::wstring wideFolder = Wide(folder);
    HANDLE file = CreateFileW((wideFolder + L"caf\u00e9.wav").c_str(), GENERIC_WRITE, 0, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    playlist->Clear();
    std::string path = WritePlaylist("short.m3u8", u8"caf\u00e9.wav\n");
    ASSERT_EQ(playlist->Load(path.c_str()), 1);
    std::string track = playlist->tracks[0];
    EXPECT_TRUE(FileExistsAt(track)) << track;
    EXPECT_NE(track, folder + "cafe.wav") << "a look-alike character names another file";
}

TEST_F(PlaylistLoading, KeepsTheFirst2048UsableLines)
{
    std::string lines = "#EXTM3U\n";
    for (int track = 1; track <= MAX_TRACKS + 1; ++track)
        lines += "#EXTINF:1,Song\ntrack" + std::to_string(track) + ".mp3\n";
    std::string path = WritePlaylist("full.m3u", lines);
    EXPECT_EQ(playlist->Load(path.c_str()), MAX_TRACKS);
    EXPECT_EQ(playlist->trackCount, MAX_TRACKS);
    EXPECT_EQ(std::string(playlist->tracks[0]), folder + "track1.mp3");
    EXPECT_EQ(std::string(playlist->tracks[MAX_TRACKS - 1]), folder + "track2048.mp3");
    // Nothing more fits on a second load either.
    EXPECT_EQ(playlist->Load(path.c_str()), MAX_TRACKS);
    EXPECT_EQ(playlist->AddEntry("one-more.mp3\n"), 0);
}

TEST_F(PlaylistLoading, AMissingFileStillSetsTheFolder)
{
    EXPECT_EQ(playlist->Load((folder + "missing\\list.m3u").c_str()), 0);
    EXPECT_STREQ(playlist->baseDirectory, (folder + "missing\\").c_str());
    EXPECT_EQ(playlist->Load("D:\\music\\list.m3u"), 0);
    EXPECT_STREQ(playlist->baseDirectory, "D:\\music\\");
    EXPECT_EQ(playlist->Load("list.m3u"), 0);
    EXPECT_STREQ(playlist->baseDirectory, "");
    EXPECT_EQ(playlist->trackCount, 0);
}

TEST_F(PlaylistLoading, ReadsAFileThatAnotherProgramHoldsOpenForWriting)
{
    std::string path = WritePlaylist("open.m3u", "a.mp3\n");
    HANDLE writer = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    EXPECT_EQ(playlist->Load(path.c_str()), 1);
    CloseHandle(writer);
}

TEST_F(PlaylistLoading, ASecondLoadAppendsAndClearEmptiesEverySlot)
{
    std::string first = WritePlaylist("one.m3u", "a.mp3\nb.mp3\n");
    CreateDirectoryA((folder + "other").c_str(), nullptr);
    std::string second = WritePlaylist("other\\two.m3u", "c.mp3\n");
    EXPECT_EQ(playlist->Load(first.c_str()), 2);
    EXPECT_EQ(playlist->Load(second.c_str()), 3);
    EXPECT_EQ(Tracks(), (std::vector<std::string>{folder + "a.mp3", folder + "b.mp3",
                                                  folder + "other\\c.mp3"}));

    PlayerState.currentTrack = 3;
    playlist->Clear();
    playlist->Clear();
    for (int slot = 0; slot < MAX_TRACKS; ++slot)
        ASSERT_EQ(playlist->tracks[slot], nullptr) << slot;
    EXPECT_EQ(playlist->trackCount, 0);
    EXPECT_EQ(PlayerState.currentTrack, 3); // the player's record is not the list's
    EXPECT_STREQ(playlist->baseDirectory, (folder + "other\\").c_str());
    // The track list knows no music device: stopping it is the player's (CloseAllMusic).
    EXPECT_TRUE(device.Sent().empty());

    // Loading again after a Clear fills from slot 0 and sets the folder anew.
    EXPECT_EQ(playlist->Load(first.c_str()), 2);
    EXPECT_STREQ(playlist->baseDirectory, folder.c_str());
    EXPECT_EQ(std::string(playlist->tracks[0]), folder + "a.mp3");
    EXPECT_EQ(PlayerState.currentTrack, 3);
}

TEST(PlaylistObject, ANewPlaylistIsEmpty)
{
    Playlist* playlist = new Playlist;
    for (int slot = 0; slot < MAX_TRACKS; ++slot)
        ASSERT_EQ(playlist->tracks[slot], nullptr);
    EXPECT_EQ(playlist->trackCount, 0);
    EXPECT_STREQ(playlist->baseDirectory, "");
    EXPECT_EQ(playlist->AddEntry(nullptr), 0);
    MciRecorder device(gSendMciCommand);
    delete playlist;
}
