// The command line, end to end: the real .scr started with exact command lines, each mode
// recognised by what appears on the screen and by the exit code.
#include "saver_host/saver_host.h"
#include "tests/support/desktop.h"
#include "tests/support/files.h"
#include <gtest/gtest.h>
#include <string>

const DWORD UNUSABLE = static_cast<DWORD>(UNUSABLE_COMMAND_EXIT_CODE);
const char DIALOG_CLASS[] = "#32770";

class Dispatch : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(CopyInto(SaverBinary(), saver)); }
    void TearDown() override { Kill(child); }

    DWORD RunToExit(const std::string& commandLine, DWORD timeoutMs = 15000)
    {
        child = Start(saver, commandLine);
        return WaitForExit(child, timeoutMs);
    }

    // The dialog of the configure mode: its owner, then Cancel ends it with 0.
    HWND ExpectConfigDialog(const std::string& commandLine)
    {
        child = Start(saver, commandLine);
        HWND dialog = WaitForWindow(child.processId, DIALOG_CLASS, nullptr, 15000);
        EXPECT_NE(dialog, nullptr) << "no dialog for: " << commandLine;
        if (!dialog)
            return nullptr;
        HWND owner = GetWindow(dialog, GW_OWNER);
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        EXPECT_EQ(WaitForExit(child, 10000), 0u) << commandLine;
        return owner;
    }

    // The full-screen window; a close request ends the run with 0.
    void ExpectFullScreen(const std::string& commandLine)
    {
        child = Start(saver, commandLine);
        HWND window = WaitForWindow(child.processId, SAVER_CLASS_NAME, FULL_SCREEN_TITLE, 15000);
        ASSERT_NE(window, nullptr) << "no full-screen window for: " << commandLine;
        EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
        PostMessageA(window, WM_CLOSE, 0, 0);
        EXPECT_EQ(WaitForExit(child, 10000), 0u) << commandLine;
    }

    // A host window for the preview; the preview ends with 0 when the host goes.
    void ExpectPreviewIn(HWND host, const std::string& commandLine)
    {
        child = Start(saver, commandLine);
        HWND preview = WaitForChildWindow(host, SAVER_CLASS_NAME, PREVIEW_TITLE, 15000);
        ASSERT_NE(preview, nullptr) << "no preview child for: " << commandLine;
        DestroyWindow(host);
        EXPECT_EQ(WaitForExit(child, 10000), 0u) << commandLine;
    }

    ScratchFolder scratch{std::string("dispatch ") +
                          ::testing::UnitTest::GetInstance()->current_test_info()->name()};
    std::string saver = scratch.Path() + "\\velora saver.scr";
    Child child;
};

TEST_F(Dispatch, UnusableCommandLinesExitWithMinusOne)
{
    const char* tails[] = {"/p",     "/p 0",  "/p:123",   "/p abc",  "/l",     "/x",
                           "/1",     "/\ts",  "/\x82\xa0", "/\xb1",  "-:",     "/p 4294967296"};
    for (const char* tail : tails)
        EXPECT_EQ(RunToExit(std::string("saver.scr ") + tail), UNUSABLE) << "tail: " << tail;
}

TEST_F(Dispatch, ChangePasswordOnTheNtFamilyExitsWithMinusOne)
{
    EXPECT_EQ(RunToExit("saver.scr /a"), UNUSABLE);
    EXPECT_EQ(RunToExit("saver.scr /A 123"), UNUSABLE);
}

TEST_F(Dispatch, NoSwitchOpensTheDialogWithoutOwner)
{
    const char* lines[] = {"saver.scr", "saver.scr -- /", "saver.scr /", "saver.scr    ",
                           "\"velora saver.scr\"", "\"Z:\\x y\\velora saver.scr /s"};
    for (const char* line : lines)
        EXPECT_EQ(ExpectConfigDialog(line), nullptr) << line;
}

TEST_F(Dispatch, ConfigureSwitchOwnsTheDialogByTheNamedOrForegroundWindow)
{
    HWND named = CreateWindowExA(0, "STATIC", "named owner", WS_POPUP | WS_VISIBLE, 0, 0, 50,
                                 50, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    HWND front = CreateWindowExA(0, "STATIC", "foreground", WS_POPUP | WS_VISIBLE, 60, 0, 50,
                                 50, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    SetForegroundWindow(front);
    PumpFor(200);
    std::string namedText = std::to_string(reinterpret_cast<UINT_PTR>(named));

    EXPECT_EQ(ExpectConfigDialog("saver.scr /c:" + namedText), named);
    SetForegroundWindow(front);
    PumpFor(200);
    EXPECT_EQ(ExpectConfigDialog("saver.scr /c " + namedText), front); // space, not colon
    SetForegroundWindow(front);
    PumpFor(200);
    EXPECT_EQ(ExpectConfigDialog("saver.scr /C:0"), front);
    SetForegroundWindow(front);
    PumpFor(200);
    EXPECT_EQ(ExpectConfigDialog("saver.scr -c"), front);
    DestroyWindow(named);
    DestroyWindow(front);
}

TEST_F(Dispatch, FullScreenSwitchesAndOnlyTheFirstSwitchCounts)
{
    const char* lines[] = {"saver.scr /s", "saver.scr -S", "saver.scr s", "saver.scr //s",
                           "saver.scr /s /p 123", "\"Z:\\a dir\\velora saver.scr\" /s",
                           "\"Z:\\a dir\\velora saver.scr\"/s"};
    for (const char* line : lines)
        ExpectFullScreen(line);
}

TEST_F(Dispatch, PreviewRunsInsideTheNamedWindow)
{
    HWND host = MakePreviewHost(10, 10);
    ExpectPreviewIn(host, "saver.scr /p " + std::to_string(reinterpret_cast<UINT_PTR>(host)));
    host = MakePreviewHost(10, 10);
    ExpectPreviewIn(host, "saver.scr /l " + std::to_string(reinterpret_cast<UINT_PTR>(host)));
}

TEST_F(Dispatch, AHandleBeyondThirtyTwoBitsWrapsBeforeItIsJudged)
{
    HWND host = MakePreviewHost(10, 10);
    unsigned long long wrapped = reinterpret_cast<UINT_PTR>(host) + 3ull * 4294967296ull;
    ExpectPreviewIn(host, "saver.scr /p " + std::to_string(wrapped));
}
