// The command-line reading: program name and tail, the first switch, handle numbers.
#include "saver_host/portable/command_line.h"
#include "tests/native/shift_jis.h"
#include <gtest/gtest.h>
#include <string>

static std::string Tail(const char* commandLine)
{
    return FindCommandTail(commandLine, StepShiftJis);
}

TEST(CommandTail, StepsOverTheProgramNameAndTheBlanksAfterIt)
{
    struct Case {
        const char* commandLine;
        const char* tail;
    } cases[] = {
        {"saver.scr /s", "/s"},
        {"saver.scr", ""},
        {"saver.scr   \t /c:12", "/c:12"},
        {"\"C:\\Program Files\\my saver.scr\" /p 123", "/p 123"},
        {"\"C:\\Program Files\\my saver.scr\"/s", "/s"},      // no blank after the quote
        {"\"C:\\Program Files\\my saver.scr /s", ""},         // no closing quote
        {"\"\" /s", "/s"},                                     // an empty quoted name
        {" /s", "/s"},                                         // a leading blank: no name
        {"C:\\\x83\x5c\x83\x5c.scr /a 5", "/a 5"},             // 0x5C as a second byte
        {"\"C:\\\x95\x22.scr\" /s", "/s"},                     // 0x22 as a second byte
        {"saver.scr \x01\x1f /s", "/s"},                       // control bytes are blanks
        {"\x81", ""},                                          // a lead byte at the end
    };
    for (const Case& c : cases)
        EXPECT_EQ(Tail(c.commandLine), c.tail) << "command line: " << c.commandLine;
}

TEST(CommandTail, ANameByteOfEightyOrAboveIsPartOfTheName)
{
    EXPECT_EQ(Tail("\xb1\xb2\xb3.scr /s"), "/s"); // half-width katakana name
}

struct SwitchCase {
    const char* tail;
    SaverMode mode;
    const char* argument; // null: no argument expected
};

TEST(SwitchScan, TheFirstSwitchPicksTheMode)
{
    SwitchCase cases[] = {
        {"", SaverMode::ConfigureWithoutOwner, nullptr},
        {"/", SaverMode::ConfigureWithoutOwner, nullptr},
        {"- -", SaverMode::ConfigureWithoutOwner, nullptr},
        {"-- /", SaverMode::ConfigureWithoutOwner, nullptr},
        {"/s", SaverMode::FullScreen, ""},
        {"-S", SaverMode::FullScreen, ""},
        {"s", SaverMode::FullScreen, ""},
        {"//s", SaverMode::FullScreen, ""},
        {"/s /p 123", SaverMode::FullScreen, " /p 123"},
        {"/sx", SaverMode::FullScreen, "x"},
        {"/c", SaverMode::Configure, nullptr},
        {"/C:123", SaverMode::Configure, "123"},
        {"/c 123", SaverMode::Configure, nullptr},
        {"/c:", SaverMode::Configure, ""},
        {"/a 123", SaverMode::ChangePassword, "123"},
        {"/A   77 x", SaverMode::ChangePassword, "77 x"},
        {"/a", SaverMode::ChangePassword, ""},
        {"/p 123", SaverMode::Preview, "123"},
        {"/P123", SaverMode::Preview, "123"},
        {"/l  456", SaverMode::Preview, "456"},
        {"/L:9", SaverMode::Preview, ":9"},
        {"/p\t9", SaverMode::Preview, "\t9"}, // only 0x20 is skipped after the letter
    };
    for (const SwitchCase& c : cases) {
        SaverCommand command = ScanCommandTail(c.tail);
        EXPECT_EQ(command.mode, c.mode) << "tail: " << c.tail;
        if (c.argument == nullptr)
            EXPECT_EQ(command.argument, nullptr) << "tail: " << c.tail;
        else
            EXPECT_STREQ(command.argument, c.argument) << "tail: " << c.tail;
    }
}

TEST(SwitchScan, AnythingElseWhereTheSwitchShouldBeIsUnusable)
{
    const char* tails[] = {"/x", "/1", "/\ts", "\ts", "/\x82\xa0", "/\xb1", "/:", "/.s", "/_s"};
    for (const char* tail : tails)
        EXPECT_EQ(ScanCommandTail(tail).mode, SaverMode::Unusable) << "tail: " << tail;
}

TEST(WindowHandleText, ReadsLeadingDigitsAndWrapsInThirtyTwoBits)
{
    struct Case {
        const char* text;
        uint32_t value;
    } cases[] = {
        {"123", 123},
        {"0", 0},
        {"", 0},
        {"abc", 0},
        {" 12", 0},   // blanks are the caller's to skip
        {":123", 0},  // so /p:123 has no handle
        {"-5", 0},
        {"+5", 0},
        {"42abc", 42},
        {"7 8", 7},
        {"4294967295", 4294967295u},
        {"4294967296", 0},          // 2^32 wraps to 0
        {"4294967297", 1},
        {"12345678901234567890", static_cast<uint32_t>(12345678901234567890ull)},
        {"\xb3\x31", 0},            // bytes 0x80 and above are never digits
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseWindowHandle(c.text), c.value) << "text: " << c.text;
}
