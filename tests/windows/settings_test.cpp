// The settings store on the real private-profile functions: the INI file beside this test
// executable, defaults, round trips, untouched neighbours, the file name by position, and the
// place a continuing run keeps beside the settings.
// Every key of the product's list is covered by its kind, so a new key needs no new case; the
// lines of today's keys are also spelled out, as the format users' settings files already have.
#include "launcher/settings.h"
#include "tests/support/files.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <initializer_list>
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

// The file's lines for the record: the section, then every key in the list's order.
static std::vector<std::string> LinesOf(const LauncherSettingsRecord& settings)
{
    std::vector<std::string> lines = {std::string("[") + SETTINGS_SECTION + "]"};
    for (const SettingsKey& key : SETTINGS_KEYS)
        lines.push_back(key.name + ("=" + SettingValueText(key, settings)));
    return lines;
}

// The lines stand in the file in this order, whatever else it holds: today's keys, as users'
// files hold them, stay as they are when a key is added.
static void ExpectInOrder(const std::vector<std::string>& lines,
                          std::initializer_list<const char*> wanted)
{
    auto at = lines.begin();
    for (const char* line : wanted) {
        at = std::find(at, lines.end(), line);
        ASSERT_NE(at, lines.end()) << line << ": missing or out of order";
        ++at;
    }
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
    SetSampleSettings(&settings, 0); // what a load must not leave
    LoadSettings(&settings);
    for (const SettingsKey& key : SETTINGS_KEYS)
        EXPECT_EQ(SettingValueText(key, settings), DefaultValueText(key)) << key.name;

    EXPECT_EQ(SaveSettings(&settings), SETTINGS_SAVED);
    std::vector<std::string> lines = ReadLines(settingsPath);
    EXPECT_EQ(lines, LinesOf(settings));
    ExpectInOrder(lines, {"[setting]", "bgcolor=8421504", "exepath=", "playlist=", "playorder=0"});
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

// The defaults loaded over values of each key's kind, then rounds of such values loaded over
// the defaults.
TEST_F(SettingsStore, SaveThenLoadReproducesEveryField)
{
    for (int round = -1; round < 6; ++round) {
        SCOPED_TRACE(round);
        LauncherSettingsRecord defaults, values;
        DefaultSettings(&defaults);
        SetSampleSettings(&values, round < 0 ? 0 : round);
        const LauncherSettingsRecord& saved = round < 0 ? defaults : values;
        EXPECT_EQ(SaveSettings(&saved), SETTINGS_SAVED);
        settings = round < 0 ? values : defaults;
        LoadSettings(&settings);
        for (const SettingsKey& key : SETTINGS_KEYS)
            EXPECT_EQ(SettingValueText(key, settings), SettingValueText(key, saved)) << key.name;
    }
}

// The key whose write WriteButRefuse answers as refused, though the file takes it: as the
// Windows 95 family's profile cache, which holds a write it then fails to flush, answers it.
static const char* gRefusedKey;
static BOOL WINAPI WriteButRefuse(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR path)
{
    BOOL written = WritePrivateProfileStringA(section, key, value, path);
    return lstrcmpA(key, gRefusedKey) == 0 ? FALSE : written;
}

// A save tells what the file holds afterwards, key by key. Another program holding the file
// open against writing makes every write fail; a value ending in a blank is written, but reads
// back without it, so the file cannot hold it; a key whose write was refused did not take its
// value, whatever reading it back answers.
TEST_F(SettingsStore, ASaveIsTrueToWhatTheFileHoldsAfterwards)
{
    LauncherSettingsRecord held;
    DefaultSettings(&held);
    lstrcpyA(held.accessoryPath, "C:\\v.exe");
    const std::string every = SettingsText(held);
    struct Case {
        const char* what;
        std::string text; // the file's before the save
        bool locked;
        const char* refused; // a key whose write is refused
        const char* accessory;
        SaveOutcome outcome;
    } cases[] = {
        {"nothing changed: nothing to write", every, true, nullptr, "C:\\v.exe", SETTINGS_SAVED},
        {"a value changed", every, true, nullptr, "C:\\w.exe", SETTINGS_NOT_SAVED},
        // The defaults, which a file that cannot be read gives too, are not in this one.
        {"keys missing", "[setting]\r\nexepath=C:\\v.exe\r\n", true, nullptr, "C:\\v.exe",
         SETTINGS_NOT_SAVED},
        {"a value the file cannot hold", "", false, nullptr, "C:\\v.exe ", SETTINGS_PARTLY_SAVED},
        {"a refused write read back", every, false, ACCESSORY_PATH_KEY, "C:\\w.exe",
         SETTINGS_NOT_SAVED},
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
        gRefusedKey = c.refused;
        gWriteProfileString = c.refused ? WriteButRefuse : WritePrivateProfileStringA;
        EXPECT_EQ(SaveSettings(&settings), c.outcome);
        gWriteProfileString = WritePrivateProfileStringA;
        if (lock)
            CloseHandle(lock);
        if (c.locked) {
            EXPECT_EQ(ReadTextFile(settingsPath), c.text);
        }
        if (c.refused) {
            EXPECT_NE(ReadTextFile(settingsPath).find(std::string(c.refused) + "=" + c.accessory),
                      std::string::npos)
                << "the refused write did not reach the file";
        }
    }
}

TEST_F(SettingsStore, MinusOneLoadsAndIsSavedBackAsMinusOne)
{
    WriteSettingsByHand("[setting]\r\nbgcolor=-1\r\nexepath=a\r\nplaylist=b\r\n");
    LoadSettings(&settings);
    EXPECT_EQ(settings.backgroundColor, 0xFFFFFFFFu); // written as -1
    SaveSettings(&settings);
    std::vector<std::string> lines = ReadLines(settingsPath);
    EXPECT_EQ(lines, LinesOf(settings));
    ExpectInOrder(lines, {"[setting]", "bgcolor=-1", "exepath=a", "playlist=b", "playorder=0"});
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
    std::string text = "[setting]\r\n";
    for (const SettingsKey& key : SETTINGS_KEYS)
        if (key.path)
            text += key.name + ("=" + longPath) + "\r\n";
    WriteSettingsByHand(text);
    LoadSettings(&settings);
    for (const SettingsKey& key : SETTINGS_KEYS) // the other keys are missing
        EXPECT_EQ(SettingValueText(key, settings),
                  key.path ? longPath.substr(0, 1023) : DefaultValueText(key))
            << key.name;
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
