// The FileVersion text of the version resource read into numbers, and the version line the
// settings dialog builds from them.
#include "config_dialog/portable/version_numbers.h"
#include <gtest/gtest.h>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>

// The credit line in both languages, from the product's table of texts.
struct Credit {
    const char* japanese;
    const char* english;
};
#define IN_LANGUAGE(japanese, english) (Credit{japanese, english})
#include "resources/texts.h"

struct VersionCase {
    const char* text;
    int numbers[VERSION_NUMBER_COUNT];
    const char* line; // the dialog's first line, line feed included
};

static std::string VersionLine(const int numbers[VERSION_NUMBER_COUNT])
{
    char line[VERSION_TEXT_SIZE];
    std::snprintf(line, sizeof line, VERSION_LINE_FORMAT, numbers[0], numbers[1], numbers[2]);
    return line;
}

TEST(VersionNumbers, SplitsAtCommasAndReadsSignedDecimals)
{
    const VersionCase cases[] = {
        {"1, 0, 106, 0 ", {1, 0, 106, 0}, "velora_ss_lunch ver1.00 (build0106)\n"},
        {"2, 5, 7", {2, 5, 7, 0}, "velora_ss_lunch ver2.05 (build0007)\n"},
        {"1.0.106.0", {1, 0, 0, 0}, "velora_ss_lunch ver1.00 (build0000)\n"},
        {"1,2,3,4,5,6", {1, 2, 3, 4}, "velora_ss_lunch ver1.02 (build0003)\n"},
        {",,,3,,,,4,,", {3, 4, 0, 0}, "velora_ss_lunch ver3.04 (build0000)\n"},
        {"", {0, 0, 0, 0}, "velora_ss_lunch ver0.00 (build0000)\n"},
        {",,,", {0, 0, 0, 0}, "velora_ss_lunch ver0.00 (build0000)\n"},
        {" \t+7,\n-3, - 4, +-5", {7, -3, 0, 0}, "velora_ss_lunch ver7.-3 (build0000)\n"},
        {"12abc34, x9, 0042", {12, 0, 42, 0}, "velora_ss_lunch ver12.00 (build0042)\n"},
        {"1 2, 3", {1, 3, 0, 0}, "velora_ss_lunch ver1.03 (build0000)\n"},
        {"10, 99, 123456", {10, 99, 123456, 0}, "velora_ss_lunch ver10.99 (build123456)\n"},
        {"-1, -2, -3", {-1, -2, -3, 0}, "velora_ss_lunch ver-1.-2 (build-003)\n"},
    };
    for (const VersionCase& c : cases) {
        int numbers[VERSION_NUMBER_COUNT] = {9, 9, 9, 9};
        SplitVersionNumbers(c.text, std::strlen(c.text), numbers);
        for (int i = 0; i < VERSION_NUMBER_COUNT; ++i)
            EXPECT_EQ(numbers[i], c.numbers[i]) << "text \"" << c.text << "\" entry " << i;
        EXPECT_EQ(VersionLine(numbers), c.line) << "text \"" << c.text << "\"";
    }
}

TEST(VersionNumbers, NumbersBeyondThirtyTwoBitsStopAtTheLimits)
{
    const char text[] = "2147483647, 2147483648, -2147483648, -99999999999999999999";
    int numbers[VERSION_NUMBER_COUNT];
    SplitVersionNumbers(text, sizeof text - 1, numbers);
    EXPECT_EQ(numbers[0], INT_MAX);
    EXPECT_EQ(numbers[1], INT_MAX);
    EXPECT_EQ(numbers[2], INT_MIN);
    EXPECT_EQ(numbers[3], INT_MIN);
}

TEST(VersionNumbers, ReadsNoFurtherThanTheGivenLengthOrTheFirstNul)
{
    const char text[] = {'4', ',', '5', ',', '6'}; // no terminating NUL
    int numbers[VERSION_NUMBER_COUNT];
    SplitVersionNumbers(text, 3, numbers);
    EXPECT_EQ(numbers[0], 4);
    EXPECT_EQ(numbers[1], 5);
    EXPECT_EQ(numbers[2], 0);

    const char embedded[] = "7,8\0,9";
    SplitVersionNumbers(embedded, sizeof embedded - 1, numbers);
    EXPECT_EQ(numbers[1], 8);
    EXPECT_EQ(numbers[2], 0);

    SplitVersionNumbers(nullptr, 10, numbers);
    EXPECT_EQ(numbers[0], 0);
}

TEST(VersionNumbers, TheTextIsLeftAsItWas)
{
    char text[] = "1, 0, 106, 0 ";
    int numbers[VERSION_NUMBER_COUNT];
    SplitVersionNumbers(text, sizeof text - 1, numbers);
    EXPECT_STREQ(text, "1, 0, 106, 0 ");
}

TEST(VersionText, TheLongestVersionLineAndTheCreditFitTheBuffer)
{
    const int widest[VERSION_NUMBER_COUNT] = {INT_MIN, INT_MIN, INT_MIN, INT_MIN};
    for (const char* credit : {TEXT_VERSION_CREDIT.japanese, TEXT_VERSION_CREDIT.english}) {
        std::string text = VersionLine(widest) + credit;
        EXPECT_LT(text.size() + 1, static_cast<size_t>(VERSION_TEXT_SIZE)) << credit;
        EXPECT_EQ(std::strchr(credit, '\n'), nullptr) << credit; // one line
        EXPECT_GT(std::strlen(credit), 0u);
    }
}
