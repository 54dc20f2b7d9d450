// Default handling in-process, through the whole chain of a real saver window: what input and
// system events dismiss, the mouse threshold and the DPI it is scaled by, the four regimes, the
// password message and the autoplay answer.
#include "saver_chain_support.h"
#include <gtest/gtest.h>

static int gVerifyCalls;

static BOOL WINAPI RefusePassword(HWND)
{
    ++gVerifyCalls;
    return 0;
}

static BOOL WINAPI AnswerSeven(HWND)
{
    ++gVerifyCalls;
    return 7;
}

class DefaultHandling : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetRun();
        gVerifyCalls = 0;
        WriteSettings(RGB(0, 0, 128), ExecutablePath(), "");
        window = MakeSaverWindow(400, 300, 200, 150);
        ASSERT_NE(window, nullptr);
        TakePostedCloses(window);
    }
    void TearDown() override
    {
        DestroySaverWindow(window);
        EXPECT_TRUE(SeenBoxes().empty());
    }

    // Sends the message down the chain and says how many close requests it posted.
    int ClosesPostedBy(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        TakePostedCloses(window);
        SendMessageA(window, message, wParam, lParam);
        return TakePostedCloses(window);
    }

    int ClosesPostedByMoveTo(int x, int y)
    {
        SetCursorPos(x, y);
        return ClosesPostedBy(WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));
    }

    BoxAnswerer answerer; // a box here would be a fault, not a reason to hang
    HWND window = nullptr;
};

TEST_F(DefaultHandling, WhatDismissesTheSaver)
{
    struct Case {
        UINT message;
        WPARAM wParam;
        int closes;
    };
    const Case cases[] = {
        {WM_KEYDOWN, 'A', 1},          {WM_SYSKEYDOWN, 'A', 1},
        {WM_LBUTTONDOWN, 0, 1},        {WM_RBUTTONDOWN, 0, 1},
        {WM_MBUTTONDOWN, 0, 1},        {WM_POWERBROADCAST, 0, 1},
        {WM_POWERBROADCAST, 7, 1},     {WM_ACTIVATEAPP, 0, 1},
        {WM_ACTIVATEAPP, 1, 0},        {WM_POWER, PWR_CRITICALRESUME, 1},
        {WM_POWER, 1, 0},              {WM_POWER, 2, 0},
        {WM_SHOWWINDOW, 0, 0},         {WM_SHOWWINDOW, 1, 0},
        {WM_KEYUP, 'A', 0},            {WM_SYSKEYUP, 'A', 0},
        {WM_CHAR, 'a', 0},             {WM_LBUTTONUP, 0, 0},
        {WM_LBUTTONDBLCLK, 0, 0},      {WM_RBUTTONDBLCLK, 0, 0},
        {WM_MOUSEWHEEL, 120 << 16, 0}, {WM_NCLBUTTONDOWN, HTCAPTION, 0},
        {WM_NCMOUSEMOVE, HTCAPTION, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ClosesPostedBy(c.message, c.wParam), c.closes)
            << "message 0x" << std::hex << c.message << " wParam " << c.wParam;
    EXPECT_TRUE(IsWindow(window));
}

// What the system answers when the threshold's DPI is asked for: the monitor's DPI (0: the
// system has no such function), the system DPI (0: no answer), and how often it was asked.
static UINT gMonitorDpi;
static int gSystemDpi;
static int gDpiQuestions;
static HMONITOR gAskedMonitor;

static HRESULT WINAPI AnswerMonitorDpi(HMONITOR monitor, int dpiType, UINT* dpiX, UINT* dpiY)
{
    ++gDpiQuestions;
    gAskedMonitor = monitor;
    if (gMonitorDpi == 0 || dpiType != 0) // MDT_EFFECTIVE_DPI, the scaled one
        return E_NOTIMPL;
    *dpiX = *dpiY = gMonitorDpi;
    return S_OK;
}

static int WINAPI AnswerSystemDpi(HDC, int index)
{
    ++gDpiQuestions;
    return index == LOGPIXELSX ? gSystemDpi : 0;
}

// The threshold's DPI answered by the stand-ins above while it lives, whatever the session's
// DPI is: another test may have changed it for the processes it started.
struct StandInDpi {
    StandInDpi(UINT monitorDpi, int systemDpi)
    {
        gDpiForMonitor = AnswerMonitorDpi;
        gDeviceCaps = AnswerSystemDpi;
        gMonitorDpi = monitorDpi, gSystemDpi = systemDpi;
    }
    ~StandInDpi() { gDpiForMonitor = monitor, gDeviceCaps = system; }
    DpiForMonitorFunction monitor = gDpiForMonitor;
    int(WINAPI* system)(HDC, int) = gDeviceCaps;
};

TEST_F(DefaultHandling, AMouseMoveDismissesOnlyBeyondFourPixelsFromTheReference)
{
    StandInDpi dpi(96, 96);
    SaverState.lastCursor = {100, 100};
    EXPECT_EQ(ClosesPostedByMoveTo(103, 101), 0); // distance 4
    EXPECT_EQ(SaverState.lastCursor.x, 100);
    EXPECT_EQ(ClosesPostedByMoveTo(103, 102), 1); // distance 5
    EXPECT_EQ(SaverState.lastCursor.x, 103);
    EXPECT_EQ(SaverState.lastCursor.y, 102);

    // Small steps add up against the reference; going back to it posts nothing.
    const POINT steps[] = {{104, 102}, {105, 102}, {106, 102}, {107, 102}};
    for (POINT step : steps)
        EXPECT_EQ(ClosesPostedByMoveTo(step.x, step.y), 0) << step.x;
    EXPECT_EQ(ClosesPostedByMoveTo(103, 102), 0);
    EXPECT_EQ(ClosesPostedByMoveTo(108, 102), 1);
    // Each new crossing asks again.
    EXPECT_EQ(ClosesPostedByMoveTo(108, 110), 1);
}

TEST_F(DefaultHandling, TheThresholdFollowsTheDpiOfTheMonitorUnderTheReference)
{
    struct Case {
        const char* what;
        int isWin9x;
        UINT monitorDpi;
        int systemDpi;
        uint32_t threshold;
        int questions; // for each reference, at its first move beyond 4 pixels
    };
    const Case cases[] = {
        {"the monitor's DPI at 300%", 0, 288, 144, 12, 1},
        {"the monitor's DPI at 125%", 0, 120, 144, 5, 1},
        {"no monitor DPI before Windows 8.1: the system DPI", 0, 0, 144, 6, 2},
        {"nothing answers: 96", 0, 0, 0, 4, 2},
        {"the Windows 95 family asks nothing", 1, 288, 144, 4, 0},
    };
    StandInDpi dpi(0, 0);
    const POINT reference = {300, 200};
    for (const Case& c : cases) {
        SaverState.isWin9x = c.isWin9x;
        gMonitorDpi = c.monitorDpi, gSystemDpi = c.systemDpi;
        gDpiQuestions = 0, gAskedMonitor = nullptr;
        SetCursorPos(reference.x, reference.y);
        // Taking the reference, as the window's creation does, and moving within 4 pixels of
        // it ask nothing.
        TakeCursorReference();
        EXPECT_EQ(ClosesPostedByMoveTo(reference.x + 4, reference.y), 0) << c.what;
        EXPECT_EQ(gDpiQuestions, 0) << c.what;

        // The threshold keeps the saver, one pixel more ends it; that move is the new
        // reference, whose DPI is asked again at its own first move beyond 4 pixels.
        int pixels = static_cast<int>(c.threshold);
        EXPECT_EQ(ClosesPostedByMoveTo(reference.x + pixels, reference.y), 0) << c.what;
        EXPECT_EQ(ClosesPostedByMoveTo(reference.x + pixels + 1, reference.y), 1) << c.what;
        EXPECT_EQ(gDpiQuestions, c.questions) << c.what;
        if (c.questions > 0) {
            EXPECT_EQ(gAskedMonitor, MonitorFromPoint(reference, MONITOR_DEFAULTTONEAREST));
        }
        EXPECT_EQ(ClosesPostedByMoveTo(reference.x + 2 * (pixels + 1), reference.y), 1) << c.what;
        EXPECT_EQ(gDpiQuestions, 2 * c.questions) << c.what;
    }
}

TEST_F(DefaultHandling, TheCursorIsHiddenBySetCursorInFullScreenOnly)
{
    EXPECT_EQ(SendMessageA(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window),
                           MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
              1);
    SaverState.isPreview = 1;
    // The default processing: the class has no cursor, so it answers 0.
    EXPECT_EQ(SendMessageA(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window),
                           MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
              0);
}

enum class Regime { Preview, Running, Checking, Closing };

static void Enter(Regime regime)
{
    SaverState.isPreview = regime == Regime::Preview;
    SaverState.checkingPassword = regime == Regime::Checking;
    SaverState.closeAllowed = regime == Regime::Closing;
}

TEST_F(DefaultHandling, InputDismissesOnlyInTheRunningRegime)
{
    struct Case {
        Regime regime;
        int closesPerPress;
        LRESULT setCursorResult;
        int dpiQuestions; // the move's threshold asked for: only where a move can dismiss
    };
    const Case cases[] = {
        {Regime::Preview, 0, 0, 0},
        {Regime::Running, 1, 1, 1},
        {Regime::Checking, 0, 0, 0},
        {Regime::Closing, 0, 0, 0},
    };
    StandInDpi dpi(96, 96);
    for (const Case& c : cases) {
        Enter(c.regime);
        SaverState.lastCursor = {0, 0};
        SaverState.mouseMoveThreshold = 0;
        gDpiQuestions = 0;
        SetCursorPos(300, 200);
        int closes = ClosesPostedBy(WM_KEYDOWN, 'A') + ClosesPostedBy(WM_LBUTTONDOWN) +
                     ClosesPostedBy(WM_MOUSEMOVE) + ClosesPostedBy(WM_ACTIVATEAPP, 0);
        EXPECT_EQ(closes, 4 * c.closesPerPress) << static_cast<int>(c.regime);
        EXPECT_EQ(gDpiQuestions, c.dpiQuestions) << static_cast<int>(c.regime);
        EXPECT_EQ(SendMessageA(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window),
                               MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
                  c.setCursorResult)
            << static_cast<int>(c.regime);
    }
}

TEST_F(DefaultHandling, ACloseDestroysTheWindowUnlessThePasswordRefusesIt)
{
    struct Case {
        Regime regime;
        int isWin9x;
        VerifyPasswordFunction entry;
        bool destroyed;
        int verifications;
    };
    const Case cases[] = {
        {Regime::Running, 0, RefusePassword, true, 0}, // the NT family asks nothing
        {Regime::Preview, 1, RefusePassword, true, 0},
        {Regime::Closing, 1, RefusePassword, true, 0},
        {Regime::Running, 1, nullptr, true, 0},        // no password set
        {Regime::Running, 1, RefusePassword, false, 1},
        {Regime::Checking, 1, RefusePassword, false, 0}, // one verification at a time
        {Regime::Checking, 0, RefusePassword, true, 0},
    };
    for (const Case& c : cases) {
        DestroySaverWindow(window);
        ResetRun();
        gVerifyCalls = 0;
        window = MakeSaverWindow(400, 300, 200, 150);
        Enter(c.regime);
        SaverState.isWin9x = c.isWin9x;
        SaverState.verifyPasswordEntry = c.entry;
        SaverState.lastCursor = {0, 0};
        SetCursorPos(321, 234);

        LRESULT result = SendMessageA(window, WM_CLOSE, 0, 0);
        std::string label = "regime " + std::to_string(static_cast<int>(c.regime)) +
                            " win9x " + std::to_string(c.isWin9x);
        EXPECT_EQ(!IsWindow(window), c.destroyed) << label;
        EXPECT_EQ(gVerifyCalls, c.verifications) << label;
        if (!c.destroyed) {
            // Refused: 0, and the next mouse dismissal counts from where the cursor stood.
            EXPECT_EQ(result, 0) << label;
            EXPECT_EQ(SaverState.lastCursor.x, 321) << label;
            EXPECT_EQ(SaverState.lastCursor.y, 234) << label;
        }
    }
}

TEST_F(DefaultHandling, ThePasswordMessageIsAnsweredOnTheWindows95FamilyOnly)
{
    // The NT family: the default processing of an unknown message.
    SaverState.verifyPasswordEntry = AnswerSeven;
    EXPECT_EQ(SendMessageA(window, VERIFY_PASSWORD_MESSAGE, 0, 0), 0);
    EXPECT_EQ(gVerifyCalls, 0);

    SaverState.isWin9x = 1;
    EXPECT_EQ(SendMessageA(window, VERIFY_PASSWORD_MESSAGE, 0, 0), 7);
    Enter(Regime::Checking); // the check itself sends it
    EXPECT_EQ(SendMessageA(window, VERIFY_PASSWORD_MESSAGE, 0, 0), 7);
    EXPECT_EQ(gVerifyCalls, 2);
    SaverState.verifyPasswordEntry = nullptr;
    EXPECT_EQ(SendMessageA(window, VERIFY_PASSWORD_MESSAGE, 0, 0), 1);
    Enter(Regime::Preview);
    SaverState.verifyPasswordEntry = AnswerSeven;
    EXPECT_EQ(SendMessageA(window, VERIFY_PASSWORD_MESSAGE, 0, 0), 0);
    EXPECT_EQ(gVerifyCalls, 2);
}

TEST_F(DefaultHandling, TheAutoplayQueryClosesInEveryRegime)
{
    // Not registered (the NT family): message 0 is not taken for it.
    SaverState.autoPlayMessage = 0;
    EXPECT_EQ(ClosesPostedBy(WM_NULL), 0);

    SaverState.autoPlayMessage = RegisterWindowMessageA("QueryCancelAutoPlay");
    const Regime regimes[] = {Regime::Preview, Regime::Running, Regime::Checking,
                              Regime::Closing};
    for (Regime regime : regimes) {
        Enter(regime);
        // Without a password AutoPlay may go on (0); with one it is cancelled (1).
        SaverState.verifyPasswordEntry = nullptr;
        TakePostedCloses(window);
        EXPECT_EQ(SendMessageA(window, SaverState.autoPlayMessage, 0, 0), 0);
        EXPECT_EQ(TakePostedCloses(window), 1) << static_cast<int>(regime);
        SaverState.verifyPasswordEntry = RefusePassword;
        EXPECT_EQ(SendMessageA(window, SaverState.autoPlayMessage, 0, 0), 1);
        EXPECT_EQ(TakePostedCloses(window), 1) << static_cast<int>(regime);
    }
    EXPECT_EQ(gVerifyCalls, 0);
}
