// The settings store on the real private-profile functions: the INI file beside this test
// executable, defaults, round trips, untouched neighbours, the file name by position, and the
// place a continuing run keeps beside the settings.
// The file's text is spelled out here rather than built from settings.h: it is the format that
// users' settings files already have.
#include "launcher/settings.h"
#include "tests/support/files.h"
#include <gtest/gtest.h>
#include <climits>
#include <string>
#include <utility>
#include <vector>

static std::vector<std::string> ReadLines(const std::string& path)
{
    std::vector<std::string> lines;
    std::string text = ReadTextFile(path);
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

class SettingsStore : public ::testing::Test {
protected:
    void SetUp() override
    {
        settingsPath = SettingsFileOf(ExecutablePath());
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, settingsPath.c_str());
        DeleteFileA(settingsPath.c_str());
        ASSERT_EQ(GetFileAttributesA(settingsPath.c_str()), INVALID_FILE_ATTRIBUTES);
    }
    void TearDown() override
    {
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, settingsPath.c_str());
        DeleteFileA(settingsPath.c_str());
    }
    void WriteSettingsByHand(const std::string& text)
    {
        ASSERT_TRUE(WriteSettingsText(settingsPath, text));
    }
    std::string settingsPath;
    LauncherSettingsRecord settings = {};
};

TEST_F(SettingsStore, WithoutAFileLoadGivesTheDefaultsAndSaveWritesEveryKey)
{
    settings.backgroundColor = 12;
    lstrcpyA(settings.accessoryPath, "C:\\stale.exe");
    lstrcpyA(settings.playlistPath, "C:\\stale.m3u");
    settings.playOrder = 2;
    LoadSettings(&settings);
    EXPECT_EQ(settings.backgroundColor, 8421504u);
    EXPECT_STREQ(settings.accessoryPath, "");
    EXPECT_STREQ(settings.playlistPath, "");
    EXPECT_EQ(settings.playOrder, 0);

    EXPECT_EQ(SaveSettings(&settings), 1);
    std::vector<std::string> expected = {"[setting]", "bgcolor=8421504", "exepath=", "playlist=",
                                         "playorder=0"};
    EXPECT_EQ(ReadLines(settingsPath), expected);
}

// Only 0, 1 and 2, written as whole numbers, are play orders; anything else is the default.
TEST_F(SettingsStore, ThePlayOrderReadsAsZeroUnlessItIsZeroOneOrTwo)
{
    const std::pair<const char*, int> cases[] = {
        {"0", 0}, {"1", 1}, {"2", 2}, {" 2 ", 2}, {"3", 0}, {"-1", 0},
        {"1x", 0}, {"0x1", 0}, {"", 0}, {"\"1\"", 1}, {"4294967297", 0},
    };
    for (const auto& c : cases) {
        WriteSettingsByHand(std::string("[setting]\r\nplayorder=") + c.first + "\r\n");
        settings.playOrder = 9;
        LoadSettings(&settings);
        EXPECT_EQ(settings.playOrder, c.second) << c.first;
    }
}

// The place is the saver's own record: written whole, read back as written, and left alone by
// the dialog's save. What cannot be read as a place reads as none.
TEST_F(SettingsStore, TheLastPlaceIsKeptWholeBesideTheSettingsAndASaveLeavesIt)
{
    const std::string track = "C:\\音楽\\表.wav "; // a blank at the end stays
    LastPlaceRecord place = {};
    lstrcpyA(place.track, track.c_str());
    place.position = 61500;
    SaveLastPlace(&place);
    place = LastPlaceRecord();
    LoadLastPlace(&place);
    EXPECT_EQ(std::string(place.track), track);
    EXPECT_EQ(place.position, 61500);

    LoadSettings(&settings);
    settings.playOrder = 1;
    EXPECT_EQ(SaveSettings(&settings), 1);
    LoadLastPlace(&place);
    EXPECT_EQ(std::string(place.track), track);
    EXPECT_EQ(place.position, 61500);

    // A position unknown when the run ended, and positions no run writes.
    lstrcpyA(place.track, "C:\\a.wav");
    place.position = UNKNOWN_POSITION;
    SaveLastPlace(&place);
    LoadLastPlace(&place);
    EXPECT_STREQ(place.track, "C:\\a.wav");
    EXPECT_EQ(place.position, UNKNOWN_POSITION);
    for (const char* position : {"-5", "12s", "99999999999"}) {
        WriteSettingsByHand(std::string("[lastplay]\r\nlasttrack=C:\\a.wav\r\nlastposition=") +
                            position + "\r\n");
        LoadLastPlace(&place);
        EXPECT_EQ(place.position, UNKNOWN_POSITION) << position;
    }
    DeleteFileA(settingsPath.c_str());
    LoadLastPlace(&place);
    EXPECT_STREQ(place.track, "");
    EXPECT_EQ(place.position, UNKNOWN_POSITION);
}

TEST_F(SettingsStore, SaveThenLoadReproducesEveryField)
{
    struct Case {
        COLORREF color;
        const char* accessory;
        const char* playlist;
        int playOrder;
    } cases[] = {
        {0, "C:\\Program Files\\velorandix\\velorandix.exe", "D:\\music\\list.m3u", 0},
        {16777215, "", "", 1},
        {0xFFFFFFFFu, "C:\\アクセサリ\\velorandix.exe", "C:\\音楽\\表.m3u", 2}, // -1; 表 ends in 0x5C
        {static_cast<COLORREF>(LONG_MAX), "relative\\velorandix.exe", "a b;c=d.m3u", 0},
        {static_cast<COLORREF>(LONG_MIN), "x", "y", 1},
    };
    for (const Case& c : cases) {
        settings.backgroundColor = c.color;
        lstrcpyA(settings.accessoryPath, c.accessory);
        lstrcpyA(settings.playlistPath, c.playlist);
        settings.playOrder = c.playOrder;
        EXPECT_EQ(SaveSettings(&settings), 1) << c.accessory;
        settings.backgroundColor = 99;
        lstrcpyA(settings.accessoryPath, "changed");
        lstrcpyA(settings.playlistPath, "changed");
        settings.playOrder = 7;
        LoadSettings(&settings);
        EXPECT_EQ(settings.backgroundColor, c.color);
        EXPECT_STREQ(settings.accessoryPath, c.accessory);
        EXPECT_STREQ(settings.playlistPath, c.playlist);
        EXPECT_EQ(settings.playOrder, c.playOrder);
    }
}

TEST_F(SettingsStore, MinusOneLoadsAndIsSavedBackAsMinusOne)
{
    WriteSettingsByHand("[setting]\r\nbgcolor=-1\r\nexepath=a\r\nplaylist=b\r\n");
    LoadSettings(&settings);
    EXPECT_EQ(settings.backgroundColor, 0xFFFFFFFFu); // written as -1
    SaveSettings(&settings);
    std::vector<std::string> expected = {"[setting]", "bgcolor=-1", "exepath=a", "playlist=b",
                                         "playorder=0"};
    EXPECT_EQ(ReadLines(settingsPath), expected);
}

TEST_F(SettingsStore, OtherSectionsAndKeysSurviveASave)
{
    WriteSettingsByHand("[before]\r\nkeep=1\r\n"
                        "[setting]\r\nwidth=640\r\nbgcolor=5\r\nnote=x\r\n"
                        "[after]\r\nkeep=2\r\n");
    LoadSettings(&settings);
    EXPECT_EQ(settings.backgroundColor, 5u);
    settings.backgroundColor = 255;
    lstrcpyA(settings.accessoryPath, "C:\\v\\velorandix.exe");
    SaveSettings(&settings);

    std::vector<std::string> lines = ReadLines(settingsPath);
    auto has = [&lines](const char* line) {
        for (const std::string& l : lines)
            if (l == line)
                return true;
        return false;
    };
    for (const char* line : {"[before]", "keep=1", "[after]", "keep=2", "width=640", "note=x",
                             "bgcolor=255", "exepath=C:\\v\\velorandix.exe", "playlist="})
        EXPECT_TRUE(has(line)) << line;
    EXPECT_FALSE(has("bgcolor=5"));
    // The key already present is replaced where it stands.
    ASSERT_GE(lines.size(), 6u);
    EXPECT_EQ(lines[2], "[setting]");
    EXPECT_EQ(lines[3], "width=640");
    EXPECT_EQ(lines[4], "bgcolor=255");
}

TEST_F(SettingsStore, AValueOf1500CharactersLoadsAsItsFirst1023)
{
    std::string longPath = "C:\\" + std::string(1497, 'p');
    WriteSettingsByHand("[setting]\r\nexepath=" + longPath + "\r\nplaylist=" + longPath +
                        "\r\n");
    LoadSettings(&settings);
    EXPECT_EQ(std::string(settings.accessoryPath), longPath.substr(0, 1023));
    EXPECT_EQ(std::string(settings.playlistPath), longPath.substr(0, 1023));
    EXPECT_EQ(settings.backgroundColor, 8421504u); // its key is missing
}

// A scratch folder holding real files, so that the system knows their long and short names.
class SettingsFileName : public ::testing::Test {
protected:
    std::string MakeFile(const char* name)
    {
        std::string path = folder + name;
        EXPECT_TRUE(WriteTextFile(path, "")) << path;
        return path;
    }
    ScratchFolder scratch{"windows settings name"};
    std::string folder = scratch.Path() + "\\";
};

static std::string SettingsPathOf(const std::string& modulePath)
{
    char settingsPath[SETTINGS_PATH_SIZE];
    EXPECT_EQ(SettingsPathFromModulePath(modulePath.c_str(), settingsPath), 1) << modulePath;
    return settingsPath;
}

TEST_F(SettingsFileName, ReplacesTheLastThreeCharactersByPosition)
{
    EXPECT_EQ(SettingsPathOf(MakeFile("LAUNCH.SCR")), folder + "LAUNCH.ini");
    EXPECT_EQ(SettingsPathOf(MakeFile("saver.scr")), folder + "saver.ini");
    EXPECT_EQ(SettingsPathOf(MakeFile("two.dots.exe")), folder + "two.dots.ini");
    EXPECT_EQ(SettingsPathOf(MakeFile("noext")), folder + "no" + "ini");
    // A path that names no file keeps its form.
    EXPECT_EQ(SettingsPathOf("C:\\WINDOWS\\SYSTEM\\LAUNCH.SCR"), "C:\\WINDOWS\\SYSTEM\\LAUNCH.ini");
}

TEST_F(SettingsFileName, TheShortNameOfTheSaverKeepsTheLongNamesSettings)
{
    std::string longPath = MakeFile("velora_ss_launcher.scr");
    char shortPath[MAX_PATH];
    DWORD length = GetShortPathNameA(longPath.c_str(), shortPath, MAX_PATH);
    ASSERT_GT(length, 0u);
    ASSERT_LT(length, static_cast<DWORD>(MAX_PATH));
    ASSERT_EQ(std::string(shortPath).find("velora_ss_launcher"), std::string::npos) << shortPath;
    EXPECT_EQ(SettingsPathOf(shortPath), folder + "velora_ss_launcher.ini");
}

TEST(SettingsFileNameLimits, APathTooShortOrTooLongGivesNoFile)
{
    char settingsPath[SETTINGS_PATH_SIZE];
    EXPECT_EQ(SettingsPathFromModulePath("scr", settingsPath), 0);
    EXPECT_STREQ(settingsPath, "");
    std::string tooLong = "C:\\" + std::string(1100, 'x') + ".scr";
    EXPECT_EQ(SettingsPathFromModulePath(tooLong.c_str(), settingsPath), 0);
}
