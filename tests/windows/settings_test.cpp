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

    EXPECT_EQ(SaveSettings(&settings), SETTINGS_SAVED);
    std::vector<std::string> expected = {"[setting]", "bgcolor=8421504", "exepath=", "playlist=",
                                         "playorder=0"};
    EXPECT_EQ(ReadLines(settingsPath), expected);
}

// Only 0, 1 and 2, as whole numbers, are play orders: anything else reads as 0. The place a
// continuing run keeps is read back as written, and the dialog's save leaves it alone.
TEST_F(SettingsStore, OtherPlayOrdersReadAsZeroAndASaveLeavesTheLastPlace)
{
    for (const char* order : {"3", "1x"}) {
        WriteSettingsByHand(std::string("[setting]\r\nplayorder=") + order + "\r\n");
        settings.playOrder = 9;
        LoadSettings(&settings);
        EXPECT_EQ(settings.playOrder, 0) << order;
    }
    LastPlaceRecord place = {"C:\\音楽\\表.wav ", 61500}; // a blank at the end stays
    SaveLastPlace(&place);
    EXPECT_EQ(SaveSettings(&settings), SETTINGS_SAVED);
    place = LastPlaceRecord();
    LoadLastPlace(&place);
    EXPECT_STREQ(place.track, "C:\\音楽\\表.wav ");
    EXPECT_EQ(place.position, 61500);
    WriteSettingsByHand("[lastplay]\r\nlasttrack=C:\\a.wav\r\nlastposition=12s\r\n");
    LoadLastPlace(&place);
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
        EXPECT_EQ(SaveSettings(&settings), SETTINGS_SAVED) << c.accessory;
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

// A save tells what the file holds afterwards, key by key. Another program holding the file
// open against writing makes every write fail; a value ending in a blank is written, but reads
// back without it, so the file cannot hold it.
TEST_F(SettingsStore, ASaveIsTrueToWhatTheFileHoldsAfterwards)
{
    const std::string every = "[setting]\r\nbgcolor=8421504\r\nexepath=C:\\v.exe\r\n"
                              "playlist=\r\nplayorder=0\r\n";
    struct Case {
        const char* what;
        std::string text; // the file's before the save
        bool locked;
        const char* accessory;
        SaveOutcome outcome;
    } cases[] = {
        {"nothing changed: nothing to write", every, true, "C:\\v.exe", SETTINGS_SAVED},
        {"a value changed", every, true, "C:\\w.exe", SETTINGS_NOT_SAVED},
        // The defaults, which a file that cannot be read gives too, are not in this one.
        {"keys missing", "[setting]\r\nexepath=C:\\v.exe\r\n", true, "C:\\v.exe",
         SETTINGS_NOT_SAVED},
        {"a value the file cannot hold", "", false, "C:\\v.exe ", SETTINGS_PARTLY_SAVED},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteSettingsByHand(c.text);
        DefaultSettings(&settings);
        lstrcpyA(settings.accessoryPath, c.accessory);
        HANDLE lock = c.locked ? CreateFileA(settingsPath.c_str(), GENERIC_READ, FILE_SHARE_READ,
                                             nullptr, OPEN_EXISTING, 0, nullptr)
                               : nullptr;
        ASSERT_NE(lock, INVALID_HANDLE_VALUE);
        EXPECT_EQ(SaveSettings(&settings), c.outcome);
        if (lock)
            CloseHandle(lock);
        if (c.locked) {
            EXPECT_EQ(ReadTextFile(settingsPath), c.text);
        }
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
    char settingsPath[PATH_SIZE];
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
    char settingsPath[PATH_SIZE];
    EXPECT_EQ(SettingsPathFromModulePath("scr", settingsPath), 0);
    EXPECT_STREQ(settingsPath, "");
    std::string tooLong = "C:\\" + std::string(1100, 'x') + ".scr";
    EXPECT_EQ(SettingsPathFromModulePath(tooLong.c_str(), settingsPath), 0);
}
