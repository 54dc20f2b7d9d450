// The path splitter: drive, directory, name and extension, with code page 932 double-byte
// characters whose second byte looks like a separator or a dot, and the 255-byte part limit.
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
    for (const SplitCase& c : cases)
        ExpectSplit(c, IsShiftJisLeadByte);
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

TEST(SplitPath, ANullPathHasNoParts)
{
    PathParts parts;
    SplitPath(nullptr, &parts, IsShiftJisLeadByte);
    EXPECT_STREQ(parts.drive, "");
    EXPECT_STREQ(parts.directory, "");
    EXPECT_STREQ(parts.name, "");
    EXPECT_STREQ(parts.extension, "");
}
