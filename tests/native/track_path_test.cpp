// Track paths from playlist lines: the five forming rules against the playlist's folder,
// ignored lines (comments, and lines that could change an MCI command), parts cut at 255
// bytes, or 255 characters in UTF-8, no path longer than the launcher holds, and which paths
// are MIDI files.
#include "launcher/portable/plain_text.h"
#include "launcher/portable/track_path.h"
#include "tests/native/shift_jis.h"
#include <gtest/gtest.h>
#include <string>

static std::string BaseDirectory(const char* playlistPath,
                                 LeadByteTest isLeadByte = IsShiftJisLeadByte)
{
    char base[FOLDER_SIZE];
    FolderOfPath(playlistPath, base, isLeadByte);
    return base;
}

static std::string TrackPath(const char* line, const std::string& base = "D:\\music\\",
                             LeadByteTest isLeadByte = IsShiftJisLeadByte)
{
    char path[PATH_SIZE];
    size_t length = FormTrackPath(line, base.c_str(), path, isLeadByte);
    EXPECT_EQ(length, std::string(path).size()) << "line: " << line;
    return path;
}

TEST(BaseDirectory, IsTheDriveAndFolderOfThePlaylistPath)
{
    EXPECT_EQ(BaseDirectory("D:\\music\\list.m3u"), "D:\\music\\");
    EXPECT_EQ(BaseDirectory("list.m3u"), "");
    EXPECT_EQ(BaseDirectory("E:list.m3u"), "E:");
    EXPECT_EQ(BaseDirectory("\\\\server\\share\\list.m3u"), "\\\\server\\share\\");
    EXPECT_EQ(BaseDirectory("C:\\\x95\x5c\\list.m3u"), "C:\\\x95\x5c\\");
    EXPECT_EQ(BaseDirectory(nullptr), "");
}

TEST(TrackPath, ResolvesLinesWithoutDriveOrShareAgainstThePlaylistFolder)
{
    struct Case {
        const char* line;
        const char* path;
    } cases[] = {
        {"a.mp3\n", "D:\\music\\a.mp3"},                         // c: no directory
        {"sub\\b.mp3\n", "D:\\music\\sub\\b.mp3"},               // e
        {"..\\c.mp3\n", "D:\\music\\..\\c.mp3"},                 // e
        {"\\sub\\d.mp3\n", "D:\\music\\sub\\d.mp3"},             // d: the folder, not the root
        {"/sub/e.mp3\n", "D:\\music\\/sub/e.mp3"},               // e: a slash is relative
        {"E:\\x\\f.mp3\n", "E:\\x\\f.mp3"},                      // a
        {"E:f.mp3\n", "E:f.mp3"},                                // a
        {"\\\\server\\share\\g.mp3\n", "\\\\server\\share\\g.mp3"}, // b
        {"a.mp3 \n", "D:\\music\\a.mp3 "},                       // trailing blanks stay
        {"a.mp3", "D:\\music\\a.mp3"},                           // a last line without LF
        {"a.mp3\r\n", "D:\\music\\a.mp3"},                       // CR LF ends a line too
        {" #a.mp3\n", "D:\\music\\ #a.mp3"},                      // only a first # comments
        {"a#b.mp3\n", "D:\\music\\a#b.mp3"},
        {"\x8b\xc8\\\x83\x5c.\x95\x5c\n", "D:\\music\\\x8b\xc8\\\x83\x5c.\x95\x5c"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TrackPath(c.line), c.path) << "line: " << c.line;
        // The line in UTF-16, as a short name is asked for, lies where its bytes do.
        std::u16string wide(c.line, c.line + std::char_traits<char>::length(c.line));
        EXPECT_EQ(BaseOfLine(wide.c_str()), BaseOfLine(c.line)) << "line: " << c.line;
    }
}

TEST(TrackPath, RelativeLinesStayRelativeWithoutAPlaylistFolder)
{
    EXPECT_EQ(TrackPath("sub\\b.mp3\n", ""), "sub\\b.mp3");
    EXPECT_EQ(TrackPath("\\sub\\d.mp3\n", ""), "sub\\d.mp3");
}

TEST(TrackPath, CommentsLinesThatCouldChangeACommandAndNamesWithoutDotNameNoTrack)
{
    const char* lines[] = {
        "#EXTM3U\n", "\n", "", "D:\\music\\readme\n", "#EXTINF:215,Rock/Pop - Song\n",
        "dir.x\\readme\n", "x\\\x95\x5c\n",
        // Comments and directives, dots or none.
        "#EXTINF:215,Vol. 2 - Song\n", "#EXTINF:2,Mr. Tone - First\n", "#a.mp3\n",
        // A quote would end the quoted path in the open command; no file name holds one, nor
        // a control character.
        "D:\\a.mp3\" type \"cdaudio\n", "a.mp3\"\n", "\"a.mp3\"\n", "a\tb.mp3\n",
        "a.mp3\r", "a.mp3\rb.mp3\n", "a.mp3\n\n", "a\x7f.mp3\n", "a.mp3\x1a\n", "\x01.mp3\n",
    };
    for (const char* line : lines)
        EXPECT_EQ(TrackPath(line), "") << "line: " << line;
    char path[PATH_SIZE];
    EXPECT_EQ(FormTrackPath(nullptr, "D:\\", path, IsShiftJisLeadByte), 0u);
}

TEST(TrackPath, LongPartsAreCutTo255BytesAndTheLongestPathFits)
{
    std::string directory(300, 'd');
    std::string name(300, 'n');
    std::string extension = "." + std::string(300, 'e');
    std::string line = directory + "\\" + name + extension + "\n";
    std::string base = BaseDirectory(("C:\\" + directory + "\\list.m3u").c_str());
    ASSERT_EQ(base.size(), 257u);
    std::string path = TrackPath(line.c_str(), base);
    EXPECT_EQ(path, base + directory.substr(0, 255) + name.substr(0, 255) +
                        extension.substr(0, 255));
    EXPECT_EQ(path.size(), 1022u);
}

// In UTF-8 a name holds 255 characters (765 bytes); a path longer than the 1023 bytes the
// launcher holds names no track rather than another file.
TEST(TrackPath, InUtf8EachPartHolds255CharactersAndALongerPathNamesNoTrack)
{
    const std::string a = u8"あ", folder = Repeated(84, a) + "\\", name = Repeated(254, a);
    EXPECT_EQ(TrackPath((Repeated(300, a) + ".wav\n").c_str(), "D:\\", IsUtf8LeadByte),
              "D:\\" + Repeated(255, a) + ".wav");
    EXPECT_EQ(TrackPath((folder + name + ".wave\n").c_str(), "D:\\", IsUtf8LeadByte),
              "D:\\" + folder + name + ".wave"); // 1023 bytes
    EXPECT_EQ(TrackPath((folder + name + ".waves\n").c_str(), "D:\\", IsUtf8LeadByte), "");
}

TEST(AppendBounded, NeverWritesPastTheBuffer)
{
    char buffer[8] = "ab";
    EXPECT_EQ(AppendBounded(buffer, sizeof buffer, 2, "cdefghij"), 7u);
    EXPECT_STREQ(buffer, "abcdefg");
    EXPECT_EQ(AppendBounded(buffer, sizeof buffer, 7, "x"), 7u);
    EXPECT_STREQ(buffer, "abcdefg");
}

TEST(TrackPath, MidiFilesAreKnownByTheirExtensionInAnyCase)
{
    for (const char* path : {"D:\\music\\a.mid", "a.MIDI", "a.Rmi", "\x83\x5c.mid"})
        EXPECT_TRUE(NamesMidiFile(path, IsShiftJisLeadByte)) << path;
    for (const char* path : {"a.mid.wav", "a.midx", "mid", "D:\\x.mid\\a"})
        EXPECT_FALSE(NamesMidiFile(path, IsShiftJisLeadByte)) << path;
}
