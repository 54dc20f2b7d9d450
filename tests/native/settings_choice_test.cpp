// Which settings file a load reads and a save writes, for every state of the two files, and
// the user's file's path: the name beside the executable, code page 932 names whose second byte
// is a backslash, and paths too long to hold.
#include "launcher/portable/settings_choice.h"
#include "tests/native/shift_jis.h"
#include <gtest/gtest.h>
#include <string>

// Each row: the facts; the file read, where a save goes after a failed first one, the file the
// place is read from, and whether the place kept in the file read takes the user's away.
TEST(SettingsChoice, EachStateOfTheTwoFilesGivesItsFileToReadAndToSave)
{
    const SettingsFileChoice B = BESIDE_FILE, U = USER_FILE, NONE = NO_SETTINGS_FILE;
    struct Case {
        SettingsFileFacts facts; // 95 family, a user's file, it holds settings, it holds a place
        SettingsFileChoice read, afterFailure, placeRead;
        bool dropsUserPlace;
    } cases[] = {
        {{false, false, false, false}, B, NONE, B, false}, // no user's file
        {{false, true, false, false}, B, U, B, false},     // one holding neither
        {{false, true, true, false}, U, NONE, B, false},   // one with settings
        {{false, true, false, true}, B, U, U, true},       // one with a place only
        {{false, true, true, true}, U, NONE, U, false},    // one with both
        {{true, false, false, false}, B, NONE, B, false},  // the 95 family
        {{true, true, true, true}, B, NONE, B, false},     // the 95 family, told of one
    };
    for (const Case& c : cases) {
        const SettingsFileFacts& f = c.facts;
        SCOPED_TRACE(::testing::Message() << f.isWin9x << f.hasUserFile << f.userHoldsSettings
                                          << f.userHoldsPlace);
        SettingsFileChoice read = SettingsFileToRead(f);
        EXPECT_EQ(read, c.read);
        EXPECT_EQ(SettingsFileAfterSave(f, read, false), c.afterFailure);
        EXPECT_EQ(PlaceFileToRead(f), c.placeRead);
        EXPECT_EQ(DropsUserPlace(f, read, true), c.dropsUserPlace);
        // A save that succeeded is the last, and so is one into the user's file; a place that
        // was not kept takes nothing away.
        for (SettingsFileChoice tried : {B, U}) {
            EXPECT_EQ(SettingsFileAfterSave(f, tried, true), NONE);
            EXPECT_FALSE(DropsUserPlace(f, tried, false));
        }
        EXPECT_EQ(SettingsFileAfterSave(f, U, false), NONE);
        EXPECT_FALSE(DropsUserPlace(f, U, true));
    }
}

// 表 is 0x95 0x5C in code page 932: its second byte is no separator there, and is one where the
// code page has no lead bytes. Each path has PATH_SIZE bytes with its NUL.
TEST(SettingsChoice, TheUsersFileIsTheApplicationDataFolderTheSaversFolderAndTheBesideName)
{
    const std::string table = "\x95\x5C", roam = "C:\\Users\\u\\AppData\\Roaming";
    const std::string tail = "\\velora_ss_launcher\\a.ini";
    const std::string fits(PATH_SIZE - 1 - tail.size(), 'd');
    struct Case {
        std::string appData, beside, folder, user; // folder and user empty: none
        LeadByteTest isLeadByte;
    } cases[] = {
        {roam, "C:\\Windows\\System32\\velora_ss_launcher.ini", roam + "\\velora_ss_launcher",
         roam + "\\velora_ss_launcher\\velora_ss_launcher.ini", IsShiftJisLeadByte},
        {roam, "D:\\s/velora saver.ini", roam + "\\velora_ss_launcher",
         roam + "\\velora_ss_launcher\\velora saver.ini", IsShiftJisLeadByte},
        {"E:\\", "a.ini", "E:\\velora_ss_launcher", "E:\\velora_ss_launcher\\a.ini",
         IsShiftJisLeadByte},
        {"C:\\" + table, "C:\\s\\" + table + ".ini", "C:\\" + table + "\\velora_ss_launcher",
         "C:\\" + table + "\\velora_ss_launcher\\" + table + ".ini", IsShiftJisLeadByte},
        {"C:\\d", "C:\\s\\" + table + ".ini", "C:\\d\\velora_ss_launcher",
         "C:\\d\\velora_ss_launcher\\.ini", NoLeadByte},
        {fits, "C:\\s\\a.ini", fits + "\\velora_ss_launcher", fits + tail, IsShiftJisLeadByte},
        {fits + "d", "C:\\s\\a.ini", "", "", IsShiftJisLeadByte},     // a byte too long
        {roam, "C:\\s\\", "", "", IsShiftJisLeadByte},                // no name
        {"", "C:\\s\\a.ini", "", "", IsShiftJisLeadByte},             // no application data
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.appData.substr(0, 40) + " " + c.beside);
        char folder[PATH_SIZE] = "x", user[PATH_SIZE] = "x";
        EXPECT_EQ(UserSettingsPaths(c.appData.c_str(), c.beside.c_str(), folder, user,
                                    c.isLeadByte),
                  c.folder.empty() ? 0 : 1);
        EXPECT_EQ(folder, c.folder);
        EXPECT_EQ(user, c.user);
    }
}
