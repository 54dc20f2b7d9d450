// The path splitter: drive, directory, name and extension, with code page 932 double-byte
// characters whose second byte looks like a separator or a dot, UTF-8 sequences, and the part
// limit: 255 bytes in code page 932, 255 UTF-16 units in UTF-8, never inside a character.
#include "launcher/portable/path_parts.h"
#include "tests/native/shift_jis.h"
#include <gtest/gtest.h>
#include <string>

struct SplitCase {
    const char* path;
    const char* drive;
    const char* directory;
    const char* name;
    const char* extension;
};

static void ExpectSplit(const SplitCase& c, LeadByteTest isLeadByte)
{
    PathParts parts;
    SplitPath(c.path, &parts, isLeadByte);
    EXPECT_STREQ(parts.drive, c.drive) << "path: " << c.path;
    EXPECT_STREQ(parts.directory, c.directory) << "path: " << c.path;
    EXPECT_STREQ(parts.name, c.name) << "path: " << c.path;
    EXPECT_STREQ(parts.extension, c.extension) << "path: " << c.path;
}

TEST(SplitPath, SplitsAtTheDriveColonTheLastSeparatorAndTheLastDot)
{
    SplitCase cases[] = {
        {"D:\\music\\list.m3u", "D:", "\\music\\", "list", ".m3u"},
        {"a.mp3\n", "", "", "a", ".mp3\n"},                  // the extension keeps the LF
        {"sub\\b.mp3", "", "sub\\", "b", ".mp3"},
        {"..\\c.mp3", "", "..\\", "c", ".mp3"},
        {"/sub/e.mp3", "", "/sub/", "e", ".mp3"},            // slashes separate too
        {"E:f.mp3", "E:", "", "f", ".mp3"},
        {"\\\\server\\share\\g.mp3", "", "\\\\server\\share\\", "g", ".mp3"},
        {"a.b.c", "", "", "a.b", ".c"},                      // the last dot counts
        {"dir.x\\readme", "", "dir.x\\", "readme", ""},      // a dot before the last component
        {"dir\\.hidden", "", "dir\\", "", ".hidden"},
        {"name.", "", "", "name", "."},
        {"", "", "", "", ""},
        {"C", "", "", "C", ""},
        {"C:", "C:", "", "", ""},
        {":x", "", "", ":x", ""},                            // a colon first is no drive
        {"1:\\x.y", "1:", "\\", "x", ".y"},                  // any byte before the colon
        {"#EXTINF:215,Rock/Pop - Song", "", "#EXTINF:215,Rock/", "Pop - Song", ""},
        {"dir\\", "", "dir\\", "", ""},
    };
    for (const SplitCase& c : cases) {
        ExpectSplit(c, IsShiftJisLeadByte);
        ExpectSplit(c, IsUtf8LeadByte); // ASCII splits alike in UTF-8
    }
}

TEST(SplitPath, ASecondByteWithTheValueOfABackslashOrADotIsNoSeparatorOrDot)
{
    // 0x95 0x5C is a kanji whose second byte is a backslash; 0x83 0x2E does not occur in
    // code page 932, but a test that treats 0x83 as a lead byte must step over the dot too.
    SplitCase cases[] = {
        {"C:\\\x95\x5c\\x.mp3", "C:", "\\\x95\x5c\\", "x", ".mp3"},
        {"\x95\x5c.mp3", "", "", "\x95\x5c", ".mp3"},
        {"x.\x95\x5c", "", "", "x", ".\x95\x5c"},
        {"readme\x83\x2e", "", "", "readme\x83\x2e", ""},
        {"a.b\x95", "", "", "a", ".b\x95"},          // a lead byte at the end stands alone
        {"a\\\x95", "", "a\\", "\x95", ""},
        {"\x95:x.y", "\x95:", "", "x", ".y"},
    };
    for (const SplitCase& c : cases)
        ExpectSplit(c, IsShiftJisLeadByte);

    // Without lead bytes (a single-byte code page) the same bytes split where they stand.
    ExpectSplit({"\x95\x5c.mp3", "", "\x95\x5c", "", ".mp3"}, NoLeadByte);
    ExpectSplit({"x.\x95\x5c", "", "x.\x95\x5c", "", ""}, NoLeadByte);

    // In UTF-8 a byte that starts no whole sequence stands alone: a separator after it counts.
    SplitCase utf8[] = {
        {u8"C:\\音楽\\曲一.wav", "C:", u8"\\音楽\\", u8"曲一", ".wav"},
        {"\xE3\\x.mp3", "", "\xE3\\", "x", ".mp3"},
        {"\xF0\x9F\x8E\\x.y", "", "\xF0\x9F\x8E\\", "x", ".y"},
    };
    for (const SplitCase& c : utf8)
        ExpectSplit(c, IsUtf8LeadByte);
}

TEST(SplitPath, CutsEachPartTo255BytesWithoutSplittingADoubleByteCharacter)
{
    std::string longName(300, 'n');
    std::string longDirectory(300, 'd');
    std::string longExtension = "." + std::string(300, 'e');
    std::string path = "C:\\" + longDirectory + "\\" + longName + longExtension;
    PathParts parts;
    SplitPath(path.c_str(), &parts, IsShiftJisLeadByte);
    EXPECT_STREQ(parts.drive, "C:");
    EXPECT_EQ(std::string(parts.directory), ("\\" + longDirectory).substr(0, 255));
    EXPECT_EQ(std::string(parts.name), longName.substr(0, 255));
    EXPECT_EQ(std::string(parts.extension), longExtension.substr(0, 255));

    // 254 single bytes and then a kanji: the kanji would need bytes 255 and 256, so it goes.
    std::string split = std::string(254, 'n') + "\x88\x9f" + "tail.mp3";
    SplitPath(split.c_str(), &parts, IsShiftJisLeadByte);
    EXPECT_EQ(std::string(parts.name), std::string(254, 'n'));
    // 253 single bytes: the kanji fits as bytes 254 and 255.
    std::string fits = std::string(253, 'n') + "\x88\x9f" + "tail.mp3";
    SplitPath(fits.c_str(), &parts, IsShiftJisLeadByte);
    EXPECT_EQ(std::string(parts.name), std::string(253, 'n') + "\x88\x9f");
    EXPECT_STREQ(parts.extension, ".mp3");
}

// In UTF-8 a part holds 255 UTF-16 units, as a name on disk does: あ (3 bytes) takes one, 🎵
// (4 bytes) two; a cut falls between two characters.
TEST(SplitPath, InUtf8EachPartHolds255UnitsAndIsCutBetweenCharacters)
{
    const std::string a = u8"あ", note = u8"\U0001F3B5";
    struct Case {
        std::string path, name;
    } cases[] = {
        {Repeated(300, a) + ".mp3", Repeated(255, a)},
        {Repeated(254, "n") + a + "x.mp3", Repeated(254, "n") + a},
        {Repeated(255, "n") + a + ".mp3", Repeated(255, "n")},
        {Repeated(253, "n") + note + ".mp3", Repeated(253, "n") + note},
        {Repeated(254, "n") + note + ".mp3", Repeated(254, "n")},
        {"C:" + Repeated(300, a) + "\\x." + Repeated(300, a), "x"},
    };
    for (const Case& c : cases) {
        PathParts parts;
        SplitPath(c.path.c_str(), &parts, IsUtf8LeadByte);
        EXPECT_EQ(std::string(parts.name), c.name) << c.path;
    }
    PathParts parts;
    SplitPath(cases[5].path.c_str(), &parts, IsUtf8LeadByte);
    EXPECT_EQ(std::string(parts.directory), Repeated(255, a));
    EXPECT_EQ(std::string(parts.extension), "." + Repeated(254, a));
}

TEST(SplitPath, ANullPathHasNoParts)
{
    PathParts parts;
    SplitPath(nullptr, &parts, IsShiftJisLeadByte);
    EXPECT_STREQ(parts.drive, "");
    EXPECT_STREQ(parts.directory, "");
    EXPECT_STREQ(parts.name, "");
    EXPECT_STREQ(parts.extension, "");
}
