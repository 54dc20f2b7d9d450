// The saver over two monitors, end to end: the real .scr under Wine on an X server with two
// heads (tools/wine-session.sh start --two-monitors), a primary of 1024x768 and a secondary of
// 800x600 left of it, so that the virtual screen starts at x -800.
#include "saver_host/saver_host.h"
#include "tests/support/desktop.h"
#include "tests/support/files.h"
#include <gtest/gtest.h>
#include <string>

const COLORREF SAVER_COLOR = RGB(200, 80, 40);
const RECT VIRTUAL_SCREEN = {-800, 0, 1024, 768};
// Where the cursor stands when the saver starts: on the secondary monitor.
const POINT ON_SECONDARY = {-400, 300};

class TwoMonitors : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Without these the session, not the saver, is at fault.
        ASSERT_EQ(GetSystemMetrics(SM_CMONITORS), 2) << "the session shows one monitor";
        int left = GetSystemMetrics(SM_XVIRTUALSCREEN), top = GetSystemMetrics(SM_YVIRTUALSCREEN);
        RECT virtualScreen = {left, top, left + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                              top + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
        ASSERT_TRUE(EqualRect(&virtualScreen, &VIRTUAL_SCREEN))
            << "virtual screen " << left << ", " << top << ", " << virtualScreen.right << ", "
            << virtualScreen.bottom;

        ASSERT_TRUE(CopyInto(SaverBinary(), saver));
        ASSERT_TRUE(CopyInto(FixturePath("velorandix.exe"), accessory));
        ASSERT_TRUE(WriteSettingsFile(saver, SAVER_COLOR, accessory, ""));
        MoveMouseTo(ON_SECONDARY.x, ON_SECONDARY.y);
        PumpFor(200);
        POINT cursor;
        GetCursorPos(&cursor);
        ASSERT_EQ(cursor.x, ON_SECONDARY.x);
        ASSERT_EQ(cursor.y, ON_SECONDARY.y);
    }
    void TearDown() override { Kill(run); }

    // The saver full screen, with the accessory it started up above it.
    HWND StartFullScreen()
    {
        run = Start(saver, "velora_ss_launcher.scr /s", {"VELORANDIX_LOG=" + log});
        HWND window = WaitForWindow(run.processId, SAVER_CLASS_NAME, FULL_SCREEN_TITLE, 15000);
        for (int i = 0; window && i < 200 && !IsWindowVisible(window); ++i)
            PumpFor(50);
        EXPECT_TRUE(Logged("window", 15000)) << "the accessory did not start";
        PumpFor(700);
        return window;
    }

    bool Logged(const char* label, DWORD timeoutMs)
    {
        return WaitForFileText(log, label, timeoutMs);
    }

    ScratchFolder scratch{std::string("two_monitors ") +
                          ::testing::UnitTest::GetInstance()->current_test_info()->name()};
    std::string saver = scratch.Path() + "\\velora_ss_launcher.scr";
    std::string accessory = scratch.Path() + "\\velorandix.exe";
    std::string log = scratch.Path() + "\\accessory.log";
    Child run;
};

TEST_F(TwoMonitors, TheWindowCoversBothAndFourPixelsOnTheLeftOneKeepItFiveEndIt)
{
    HWND window = StartFullScreen();
    ASSERT_NE(window, nullptr);
    RECT rect;
    GetWindowRect(window, &rect);
    EXPECT_TRUE(EqualRect(&rect, &VIRTUAL_SCREEN))
        << rect.left << ", " << rect.top << ", " << rect.right << ", " << rect.bottom;
    // Both monitors in the colour, each away from the accessory's window.
    const POINT points[] = {{-790, 10}, {-10, 590}, {1014, 758}, {10, 758}};
    for (POINT point : points)
        EXPECT_EQ(ScreenPixel(point.x, point.y), SAVER_COLOR) << point.x << ", " << point.y;

    MoveMouseTo(ON_SECONDARY.x + 4, ON_SECONDARY.y);
    EXPECT_TRUE(StaysRunningFor(run, 2000)) << "four pixels ended the run";
    MoveMouseTo(ON_SECONDARY.x + 5, ON_SECONDARY.y);
    EXPECT_EQ(WaitForExit(run, 10000), 0u);
    EXPECT_TRUE(Logged("IDM_EXIT", 2000));
}

TEST_F(TwoMonitors, AKeyEndsTheRunAndTheAccessory)
{
    ASSERT_NE(StartFullScreen(), nullptr);
    PressKey(VK_SPACE);
    EXPECT_EQ(WaitForExit(run, 10000), 0u);
    EXPECT_TRUE(Logged("IDM_EXIT", 2000));
    EXPECT_TRUE(Logged("exit", 5000));
}

// The control panel's preview area at 300%, on the secondary monitor: 456 physical pixels
// wide, far below a full screen's 640, so the saver fills it and does nothing else.
TEST_F(TwoMonitors, APreviewAtThreeHundredPercentIsStillAPreview)
{
    HWND host = MakePreviewHost(-700, 100, 300);
    run = Start(saver, "velora_ss_launcher.scr /p " +
                           std::to_string(reinterpret_cast<UINT_PTR>(host)),
                {"VELORANDIX_LOG=" + log});
    HWND preview = WaitForChildWindow(host, SAVER_CLASS_NAME, PREVIEW_TITLE, 15000);
    ASSERT_NE(preview, nullptr);
    RECT client;
    GetClientRect(preview, &client);
    EXPECT_EQ(client.right, 456);
    EXPECT_EQ(client.bottom, 336);
    EXPECT_FALSE(Logged("pid", 2000)) << "the preview started the accessory";
    DestroyWindow(host);
    EXPECT_EQ(WaitForExit(run, 10000), 0u);
}
