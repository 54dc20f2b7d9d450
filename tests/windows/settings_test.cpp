// The settings store on the real private-profile functions: the INI file beside this test
// executable, defaults, round trips, untouched neighbours, the file name by position, the place
// a continuing run keeps beside the settings, and which file is read and written, beside the
// executable or the user's own, on either family, with or without an application data folder.
// Every key of the product's list is covered by its kind, so a new key needs no new case; the
// lines of today's keys are also spelled out, as the format users' settings files already have.
#include "launcher/settings.h"
#include "launcher/user_folder.h"
#include "saver_host/saver_host.h"
#include "tests/support/desktop.h"
#include "tests/support/files.h"
#include <gtest/gtest.h>
#include <shfolder.h>
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
        ResetSaverState();
        settingsPath = SettingsFileOf(ExecutablePath());
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, settingsPath.c_str());
        DeleteFileA(settingsPath.c_str());
        ASSERT_EQ(GetFileAttributesA(settingsPath.c_str()), INVALID_FILE_ATTRIBUTES);
    }
    void TearDown() override
    {
        gGetFolderPath = LookUpFolderPath;
        ResetSaverState();
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, settingsPath.c_str());
        DeleteFileA(settingsPath.c_str());
    }
    void WriteSettingsByHand(const std::string& text)
    {
        ASSERT_TRUE(WriteSettingsText(settingsPath, text));
    }
    // A save where the file beside the executable can be written lands there, and says so.
    SaveOutcome Save(const LauncherSettingsRecord& saved)
    {
        char path[PATH_SIZE] = "";
        SaveOutcome outcome = SaveSettings(&saved, path);
        EXPECT_EQ(path, settingsPath);
        return outcome;
    }
    CleanUserSettingsFolder userFolder;
    std::string settingsPath;
    LauncherSettingsRecord settings = {};
};

TEST_F(SettingsStore, WithoutAFileLoadGivesTheDefaultsAndSaveWritesEveryKey)
{
    SetSampleSettings(&settings, 0); // what a load must not leave
    LoadSettings(&settings);
    for (const SettingsKey& key : SETTINGS_KEYS)
        EXPECT_EQ(SettingValueText(key, settings), DefaultValueText(key)) << key.name;

    EXPECT_EQ(Save(settings), SETTINGS_SAVED);
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
    EXPECT_EQ(Save(settings), SETTINGS_SAVED);
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
        EXPECT_EQ(Save(saved), SETTINGS_SAVED);
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

// A save into one file tells what it holds afterwards, key by key. Another program holding
// the file open against writing makes every write fail; a value ending in a blank is written,
// but reads back without it, so the file cannot hold it; a key whose write was refused did not
// take its value, whatever reading it back answers.
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
        EXPECT_EQ(SaveSettingsTo(settingsPath.c_str(), &settings), c.outcome);
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

// ---- Which file: beside the executable, or the user's own ---------------------------------

// SHGetFolderPathW as the product looks it up, or none, counting the calls.
static bool gHasAppData;
static int gFolderPathCalls;
static HRESULT WINAPI CountedFolderPath(HWND owner, int folder, HANDLE token, DWORD flags,
                                        LPWSTR path)
{
    ++gFolderPathCalls;
    EXPECT_EQ(folder, CSIDL_APPDATA);
    return (gHasAppData ? LookUpFolderPath : NoFolderPath)(owner, folder, token, flags, path);
}

static std::string PlaceText(const char* track)
{
    return std::string("[") + LAST_PLACE_SECTION + "]\r\n" + LAST_TRACK_KEY + "=\"" + track +
           "\"\r\n" + LAST_POSITION_KEY + "=1000\r\n";
}

// The value as the file on the disk holds it, "-" for none: this process's profile cache lets
// go of the file first.
static std::string ValueOnDisk(const std::string& path, const char* section, const char* key)
{
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());
    char value[PATH_SIZE];
    GetPrivateProfileStringA(section, key, "-", value, sizeof value, path.c_str());
    return value;
}

// Every state of the two files, each row lived through as a user would: the settings loaded,
// the place read and then kept as a continuing run keeps it, and OK. Beside the executable, a
// file with settings and a place, held open against writing where it cannot be written, or one
// older than the key playorder; the user's own: none, one with settings, with a place only, with
// the settings' section but no key, or a folder that cannot be made. Where the settings are read
// from, where the place is read from and then kept, where OK's save lands ('-': nowhere) and the
// file it names.
TEST_F(SettingsStore, EachStateOfTheTwoFilesDecidesWhichIsReadAndWhichIsWritten)
{
    const COLORREF BESIDE_COLOR = 1118481, USER_COLOR = 2236962, SAVED_COLOR = 3355443;
    enum UserFile { NONE, SETTINGS, PLACE, EMPTY_SECTION, BLOCKED };
    struct Case {
        const char* what;
        int isWin9x;
        bool appData; // SHGetFolderPathW answers
        UserFile user;
        bool locked, older, changed;
        const char* where; // read, place read, place kept, saved, named: B beside, U user's
        SaveOutcome outcome;
    } cases[] = {
        {"no user's file", 0, true, NONE, false, false, true, "BBBBB", SETTINGS_SAVED},
        {"the user's settings", 0, true, SETTINGS, false, false, true, "UBUUU", SETTINGS_SAVED},
        {"the user's place", 0, true, PLACE, false, false, true, "BUBBB", SETTINGS_SAVED},
        {"an empty section", 0, true, EMPTY_SECTION, false, false, true, "BBBBB", SETTINGS_SAVED},
        {"locked", 0, true, NONE, true, false, true, "BBUUU", SETTINGS_SAVED},
        {"locked, the user's settings", 0, true, SETTINGS, true, false, true, "UBUUU",
         SETTINGS_SAVED},
        {"locked, the user's place", 0, true, PLACE, true, false, true, "BUUUU", SETTINGS_SAVED},
        {"locked, nothing changed", 0, true, NONE, true, false, false, "BBUBB", SETTINGS_SAVED},
        {"locked and older, nothing changed", 0, true, NONE, true, true, false, "BBUUU",
         SETTINGS_SAVED},
        {"locked, the user's folder blocked", 0, true, BLOCKED, true, false, true, "BB--U",
         SETTINGS_NOT_SAVED},
        {"no application data folder", 0, false, NONE, false, false, true, "BBBBB",
         SETTINGS_SAVED},
        {"no application data folder, locked", 0, false, NONE, true, false, true, "BB--B",
         SETTINGS_NOT_SAVED},
        // The Windows 95 family never asks: a user's file, were there one, is not read.
        {"95 family", 1, true, SETTINGS, false, false, true, "BBBBB", SETTINGS_SAVED},
        {"95 family, locked", 1, true, SETTINGS, true, false, true, "BB--B", SETTINGS_NOT_SAVED},
    };
    const std::string userPath = UserSettingsFileOf(ExecutablePath());
    gGetFolderPath = CountedFolderPath;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CleanUserSettingsFolder clean;
        SaverState.isWin9x = c.isWin9x;
        gHasAppData = c.appData;
        gFolderPathCalls = 0;
        WriteSettingsByHand((c.older ? SettingsText({{BACKGROUND_COLOR_KEY, "1118481"}})
                                     : SettingsText(SettingsRecord(BESIDE_COLOR, "", ""))) +
                            PlaceText("C:\\beside.wav"));
        if (c.user == BLOCKED) {
            ASSERT_TRUE(BlockUserSettingsFolder());
        } else if (c.user != NONE) {
            ASSERT_TRUE(CreateDirectoryA(UserSettingsFolder().c_str(), nullptr));
            ASSERT_TRUE(WriteSettingsText(
                userPath, c.user == SETTINGS ? SettingsText(SettingsRecord(USER_COLOR, "", ""))
                          : c.user == PLACE  ? PlaceText("C:\\user.wav")
                                             : SettingsText({})));
        }
        FileHeldAgainstWriting lock(c.locked ? settingsPath : std::string());
        ASSERT_EQ(lock.Held(), c.locked);
        auto pathOf = [&](char where) { return where == 'U' ? userPath : settingsPath; };

        LauncherSettingsRecord loaded;
        LoadSettings(&loaded);
        EXPECT_EQ(loaded.backgroundColor, c.where[0] == 'U' ? USER_COLOR : BESIDE_COLOR);
        LastPlaceRecord place;
        LoadLastPlace(&place);
        EXPECT_STREQ(place.track, c.where[1] == 'U' ? "C:\\user.wav" : "C:\\beside.wav");
        const LastPlaceRecord kept = {"C:\\kept.wav", 2000};
        SaveLastPlace(&kept);
        for (char file : {'B', 'U'}) {
            // The user's older place goes once one is kept beside the executable.
            const char* held = c.where[2] == file          ? kept.track
                               : file == 'B'               ? "C:\\beside.wav"
                               : c.user == PLACE && c.where[2] != 'B' ? "C:\\user.wav"
                                                                      : "-";
            EXPECT_EQ(ValueOnDisk(pathOf(file), LAST_PLACE_SECTION, LAST_TRACK_KEY), held)
                << file;
        }
        LoadLastPlace(&place);
        EXPECT_EQ(place.position, c.where[2] == '-' ? 1000 : kept.position);

        LauncherSettingsRecord saved = loaded;
        if (c.changed)
            saved.backgroundColor = SAVED_COLOR;
        char named[PATH_SIZE] = "";
        EXPECT_EQ(SaveSettings(&saved, named), c.outcome);
        EXPECT_EQ(named, pathOf(c.where[4]));
        if (c.where[3] != '-') {
            for (const SettingsKey& key : SETTINGS_KEYS) // every key, whichever file
                EXPECT_EQ(ValueOnDisk(pathOf(c.where[3]), SETTINGS_SECTION, key.name),
                          SettingValueText(key, saved))
                    << key.name;
            LoadSettings(&loaded);
            EXPECT_EQ(loaded.backgroundColor, saved.backgroundColor) << "the next load";
        }
        if (c.where[3] != 'B') {
            EXPECT_EQ(ValueOnDisk(settingsPath, SETTINGS_SECTION, BACKGROUND_COLOR_KEY),
                      "1118481");
        }
        if (c.where[3] != 'U') {
            EXPECT_EQ(ValueOnDisk(userPath, SETTINGS_SECTION, BACKGROUND_COLOR_KEY),
                      c.user == SETTINGS ? "2236962" : "-");
        }
        EXPECT_EQ(gFolderPathCalls > 0, !c.isWin9x) << gFolderPathCalls << " calls";
    }
}

// The folder the stand-in for SHGetFolderPathW answers.
static std::wstring gAnsweredFolder;
static HRESULT WINAPI AnswerFolder(HWND, int, HANDLE, DWORD, LPWSTR path)
{
    lstrcpynW(path, gAnsweredFolder.c_str(), MAX_PATH);
    return S_OK;
}

// The application data folder as the profile functions take it: as SHGetFolderPathW answers
// it (as %APPDATA% says), by its short name where the code page cannot hold it, and none where
// neither serves.
TEST_F(SettingsStore, TheApplicationDataFolderIsTakenInTheCodePageOrByItsShortName)
{
    char appData[PATH_SIZE];
    ASSERT_EQ(UserAppDataPath(appData), 1);
    EXPECT_EQ(std::string(appData) + "\\velora_ss_launcher", UserSettingsFolder());

    ScratchFolder scratch("windows settings application data");
    gAnsweredFolder = Wide(scratch.Path()) + L"\\donn\u00e9es"; // no character of code page 932
    ASSERT_TRUE(CreateDirectoryW(gAnsweredFolder.c_str(), nullptr));
    gGetFolderPath = AnswerFolder;
    WCHAR shortName[MAX_PATH];
    ASSERT_GT(GetShortPathNameW(gAnsweredFolder.c_str(), shortName, MAX_PATH), 0u);
    EXPECT_EQ(UserAppDataPath(appData), 1);
    EXPECT_EQ(Wide(appData), shortName);
    RemoveDirectoryW(gAnsweredFolder.c_str()); // the scratch folder's removal cannot name it

    // Not there, so with no short name either; not found at all.
    gAnsweredFolder = Wide(scratch.Path()) + L"\\gone \u00e9";
    EXPECT_EQ(UserAppDataPath(appData), 0);
    EXPECT_STREQ(appData, "");
    gGetFolderPath = NoFolderPath;
    EXPECT_EQ(UserAppDataPath(appData), 0);
    EXPECT_STREQ(appData, "");
}

TEST_F(SettingsStore, MinusOneLoadsAndIsSavedBackAsMinusOne)
{
    WriteSettingsByHand("[setting]\r\nbgcolor=-1\r\nexepath=a\r\nplaylist=b\r\n");
    LoadSettings(&settings);
    EXPECT_EQ(settings.backgroundColor, 0xFFFFFFFFu); // written as -1
    Save(settings);
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
    Save(settings);

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
