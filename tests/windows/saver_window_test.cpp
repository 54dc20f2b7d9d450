// The saver window in-process: RunSaver's class, window and loop in the preview, the first
// filter of the chain (SaverWindowProc), and the launcher's part of the chain with a real
// accessory process, a recorded music device and a recorded level of the audio session.
#include "saver_chain_support.h"
#include "launcher/music_volume.h"
#include "tests/support/texts.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <cstdio>
#include <cstring>

const COLORREF PREVIEW_COLOR = RGB(10, 200, 30);

// ---- RunSaver: runs first, while the class is not registered yet --------------------------

struct PreviewObservation {
    HWND host;
    DWORD started;
    bool checked;
    HWND window;
    char className[64];
    char title[64];
    HWND parent;
    RECT rect;
    LONG style;
    LONG extendedStyle;
    LRESULT setTextResult;
    char titleAfterSetText[64];
    LRESULT contextMenuResult;
    LRESULT helpResult;
    COLORREF centre;
};
static PreviewObservation gPreview;

// What the preview posted to its parent, taken off the parent's queue.
struct ForwardedMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
static std::vector<ForwardedMessage> gForwarded;

static void ObservePreview(HWND window)
{
    gPreview.window = window;
    GetClassNameA(window, gPreview.className, sizeof gPreview.className);
    GetWindowTextA(window, gPreview.title, sizeof gPreview.title);
    gPreview.parent = GetParent(window);
    GetClientRect(window, &gPreview.rect);
    gPreview.style = GetWindowLongA(window, GWL_STYLE);
    gPreview.extendedStyle = GetWindowLongA(window, GWL_EXSTYLE);
    gPreview.setTextResult =
        SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Changed"));
    GetWindowTextA(window, gPreview.titleAfterSetText, sizeof gPreview.titleAfterSetText);
    gPreview.contextMenuResult = SendMessageA(window, WM_CONTEXTMENU, 0, MAKELPARAM(5, 6));
    gPreview.helpResult = SendMessageA(window, WM_HELP, 0, 0x1234);
    MSG posted;
    while (PeekMessageA(&posted, gPreview.host, 0, 0, PM_REMOVE))
        if (posted.message == WM_CONTEXTMENU || posted.message == WM_HELP)
            gForwarded.push_back({posted.message, posted.wParam, posted.lParam});
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    RECT onScreen;
    GetWindowRect(window, &onScreen);
    gPreview.centre = ScreenPixel((onScreen.left + onScreen.right) / 2,
                                    (onScreen.top + onScreen.bottom) / 2);
}

// Runs inside RunSaver's loop (and inside the warning box's): once the window exists and the
// box is gone, look at it, then end the preview the way the control panel does.
static void CALLBACK PreviewScenarioTick(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND window = SaverState.saverWindow;
    bool ready = window && !SeenBoxes().empty() && IsWindowEnabled(window);
    bool late = GetTickCount() - gPreview.started > 15000;
    if (!ready && !late)
        return;
    KillTimer(nullptr, timer);
    if (ready) {
        ObservePreview(window);
        gPreview.checked = true;
    }
    DestroyWindow(gPreview.host);
}

TEST(RunSaver, PreviewFillsItsAreaWarnsForwardsHelpAndEndsWithItsHost)
{
    ResetRun();
    SaverState.isWin9x = 1; // the autoplay message is registered in the preview too
    WriteSettings(PREVIEW_COLOR, "", "");
    gPreview = PreviewObservation();
    gPreview.host = MakePreviewHost(700, 500);
    gPreview.started = GetTickCount();
    gForwarded.clear();

    int result;
    {
        BoxAnswerer answerer;
        SetTimer(nullptr, 0, 100, PreviewScenarioTick);
        result = RunSaver(gPreview.host);
    }
    EXPECT_EQ(result, 0);
    ASSERT_TRUE(gPreview.checked) << "the preview window never came up";
    EXPECT_EQ(SaverState.isPreview, 1);
    EXPECT_EQ(SaverState.autoPlayMessage, RegisterWindowMessageA("QueryCancelAutoPlay"));

    // The warning, in the preview too, owned by the saver window.
    ASSERT_EQ(SeenBoxes().size(), 1u);
    EXPECT_EQ(SeenBoxes()[0].caption, TEXT_MISSING_ACCESSORY_CAPTION.japanese);
    EXPECT_EQ(SeenBoxes()[0].text, TEXT_MISSING_ACCESSORY.japanese);
    // A child cannot own a window: the box belongs to the preview area's top-level window.
    EXPECT_EQ(SeenBoxes()[0].owner, gPreview.host);

    EXPECT_STREQ(gPreview.className, SAVER_CLASS_NAME);
    EXPECT_STREQ(gPreview.title, PREVIEW_TITLE);
    EXPECT_EQ(gPreview.parent, gPreview.host);
    EXPECT_EQ(gPreview.rect.right, PREVIEW_HOST_WIDTH);
    EXPECT_EQ(gPreview.rect.bottom, PREVIEW_HOST_HEIGHT);
    EXPECT_EQ(static_cast<DWORD>(gPreview.style), 0x52000000u);
    EXPECT_EQ(gPreview.extendedStyle, 0);
    EXPECT_EQ(gPreview.setTextResult, 0);
    EXPECT_STREQ(gPreview.titleAfterSetText, PREVIEW_TITLE);
    EXPECT_EQ(gPreview.centre, PREVIEW_COLOR);

    // Help and context menus go to the control panel's area, with its own handle as wParam.
    // WM_HELP carries a pointer, which the system refuses to post: only the result shows.
    EXPECT_EQ(gPreview.contextMenuResult, 1);
    EXPECT_EQ(gPreview.helpResult, 1);
    ASSERT_GE(gForwarded.size(), 1u);
    EXPECT_EQ(gForwarded[0].message, static_cast<UINT>(WM_CONTEXTMENU));
    EXPECT_EQ(gForwarded[0].wParam, reinterpret_cast<WPARAM>(gPreview.host));
    EXPECT_EQ(gForwarded[0].lParam, MAKELPARAM(5, 6));

    // The class RunSaver registered.
    WNDCLASSA registered;
    ASSERT_TRUE(GetClassInfoA(GetModuleHandleA(nullptr), SAVER_CLASS_NAME, &registered));
    EXPECT_EQ(registered.style, 0x2Bu);
    EXPECT_EQ(registered.lpfnWndProc, SaverWindowProc);
    EXPECT_EQ(registered.hIcon, nullptr); // icon 100 does not exist
    EXPECT_EQ(registered.hCursor, nullptr);
    EXPECT_EQ(registered.hbrBackground, GetStockObject(BLACK_BRUSH));
}

TEST(RunSaver, ReturnsMinusOneWhenNoWindowCanBeMade)
{
    ResetRun();
    WriteSettings(PREVIEW_COLOR, ExecutablePath(), "");
    HWND host = MakePreviewHost(700, 500);

    // The class is registered already (by the run before, or here): registration fails.
    EnsureSaverClass();
    SaverState.isWin9x = 0;
    SaverState.autoPlayMessage = 12345;
    EXPECT_EQ(RunSaver(host), -1);
    EXPECT_EQ(SaverState.autoPlayMessage, 0u); // not registered on the NT family
    EXPECT_EQ(SaverState.saverWindow, nullptr);

    // Registered afresh, but the parent is gone: the window cannot be created.
    ASSERT_TRUE(UnregisterClassA(SAVER_CLASS_NAME, GetModuleHandleA(nullptr)));
    DestroyWindow(host);
    EXPECT_EQ(RunSaver(host), -1);
    EXPECT_EQ(SaverState.saverWindow, nullptr);
}

// ---- The first filter: SaverWindowProc -----------------------------------------------------

class SaverWindowFilter : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetRun();
        WriteSettings(RGB(200, 40, 40), ExecutablePath(), "");
        hook = SetWindowsHookExA(WH_CBT, RecordSystemCommand, nullptr, GetCurrentThreadId());
        SystemCommands().clear();
    }
    void TearDown() override
    {
        UnhookWindowsHookEx(hook);
        DestroySaverWindow(window);
        EXPECT_TRUE(SeenBoxes().empty());
    }

    // DefWindowProcA reports each system command it is about to carry out; none is carried out.
    static std::vector<WPARAM>& SystemCommands()
    {
        static std::vector<WPARAM> commands;
        return commands;
    }
    static LRESULT CALLBACK RecordSystemCommand(int code, WPARAM wParam, LPARAM lParam)
    {
        if (code == HCBT_SYSCOMMAND) {
            SystemCommands().push_back(wParam);
            return 1;
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    BoxAnswerer answerer; // a box here would be a fault, not a reason to hang
    HHOOK hook = nullptr;
    HWND window = nullptr;
};

TEST_F(SaverWindowFilter, SystemCommandsThatWouldLeaveTheSaverAreSwallowedInFullScreenOnly)
{
    window = MakeSaverWindow(100, 300, 300, 200);
    const WPARAM swallowed[] = {SC_SCREENSAVE, SC_NEXTWINDOW, SC_PREVWINDOW};
    for (WPARAM command : swallowed)
        EXPECT_EQ(SendMessageA(window, WM_SYSCOMMAND, command, 0), 0) << command;
    EXPECT_TRUE(SystemCommands().empty());

    // The whole wParam counts: 0xF141 is not SC_SCREENSAVE.
    SendMessageA(window, WM_SYSCOMMAND, 0xF141, 0);
    SendMessageA(window, WM_SYSCOMMAND, SC_KEYMENU, 0);
    SaverState.isPreview = 1;
    for (WPARAM command : swallowed)
        SendMessageA(window, WM_SYSCOMMAND, command, 0);
    std::vector<WPARAM> expected = {0xF141, SC_KEYMENU, SC_SCREENSAVE, SC_NEXTWINDOW,
                                    SC_PREVWINDOW};
    EXPECT_EQ(SystemCommands(), expected);
}

TEST_F(SaverWindowFilter, FullScreenPassesHelpAndContextMenuOn)
{
    window = MakeSaverWindow(100, 300, 300, 200);
    // Passed on, they reach DefWindowProcA, which answers 0 for a window without a parent.
    EXPECT_EQ(SendMessageA(window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window), -1), 0);
}

TEST_F(SaverWindowFilter, OnceTheCloseIsAllowedInputIsDefaultedAndTicksDropped)
{
    window = MakeSaverWindow(100, 300, 300, 200);
    LauncherState.musicEnabled = 1; // a tick that got through would load the playlist
    MciRecorder device(gSendMciCommand);

    const UINT input[] = {WM_KEYDOWN, WM_SYSKEYDOWN, WM_LBUTTONDOWN, WM_RBUTTONDOWN,
                          WM_MBUTTONDOWN};
    SaverState.closeAllowed = 1;
    for (UINT message : input)
        SendMessageA(window, message, 0, 0);
    EXPECT_EQ(TakePostedCloses(window), 0);
    EXPECT_EQ(SendMessageA(window, WM_TIMER, MUSIC_TIMER_ID, 0), 0);
    EXPECT_EQ(LauncherState.musicEnabled, 1);
    EXPECT_TRUE(device.Sent().empty());

    // The same before the close is allowed: each press asks for a close, the tick plays.
    SaverState.closeAllowed = 0;
    for (UINT message : input)
        SendMessageA(window, message, 0, 0);
    EXPECT_EQ(TakePostedCloses(window), 5);
    SendMessageA(window, WM_TIMER, MUSIC_TIMER_ID, 0);
    EXPECT_EQ(LauncherState.musicEnabled, 0); // read the list: no track, no more music
    gPlaylist.Clear();
}

TEST_F(SaverWindowFilter, PaintFillsTheColourUntilTheCloseIsAllowed)
{
    window = MakeSaverWindow(100, 300, 300, 200, true);
    PumpFor(300);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    EXPECT_EQ(ScreenPixel(250, 400), RGB(200, 40, 40));

    // Allowed to close: the default processing paints nothing but the class's black.
    SaverState.closeAllowed = 1;
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    PumpFor(100);
    EXPECT_EQ(ScreenPixel(250, 400), RGB(0, 0, 0));
}

// ---- The launcher's part of the chain -----------------------------------------------------

class LauncherChain : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetRun();
        accessory = FixturePath("velorandix.exe");
        log = scratch.Path() + "\\accessory.log";
        playlist = scratch.Path() + "\\launcher.m3u";
        SetEnvironmentVariableA("VELORANDIX_LOG", log.c_str());
        SetEnvironmentVariableA("VELORANDIX_MODE", nullptr);
        ASSERT_TRUE(WriteTextFile(playlist, "a.wav\n"));
        WriteSettings(RGB(40, 60, 220), accessory, playlist);
    }
    void TearDown() override
    {
        for (DWORD processId : StartedAccessories())
            EndProcess(processId, ACCESSORY_FILE_NAME);
        StartedAccessories().clear();
        DestroySaverWindow(window);
        gPlaylist.Clear();
        EXPECT_TRUE(SeenBoxes().empty());
    }

    // The accessory's window, once its process has shown it.
    static HWND WaitForAccessoryWindow()
    {
        for (int i = 0; i < 200; ++i) {
            HWND found = FindWindowA("VelorandixFixture", nullptr);
            if (found)
                return found;
            Sleep(50);
        }
        return nullptr;
    }

    std::string ReadLog() { return ReadTextFile(log); }

    BoxAnswerer answerer;
    ScratchFolder scratch{"windows launcher chain"};
    MciRecorder device{gSendMciCommand};
    std::string accessory, log, playlist;
    HWND window = nullptr;
};

// A preview is never a full-screen run, however wide its host: the control panel's preview at
// 450% is 684 pixels wide.
TEST_F(LauncherChain, APreviewOrAWindowNarrowerThan640LaunchesNothingAndStartsNoMusic)
{
    for (int preview : {1, 0}) {
        SaverState.isPreview = preview;
        window = MakeSaverWindow(0, 300, preview ? 684 : 639, 100);
        EXPECT_EQ(LauncherState.accessoryProcess.dwProcessId, 0u) << preview;
        EXPECT_EQ(LauncherState.musicEnabled, 0) << preview;
        SendMessageA(window, WM_TIMER, MUSIC_TIMER_ID, 0);
        EXPECT_TRUE(device.Sent().empty()) << preview;
        DestroySaverWindow(window);
        EXPECT_EQ(ReadLog(), "") << preview;
    }

    window = MakeSaverWindow(0, 300, 640, 100);
    EXPECT_NE(LauncherState.accessoryProcess.dwProcessId, 0u);
    EXPECT_EQ(LauncherState.musicEnabled, 1);
    EXPECT_NE(WaitForAccessoryWindow(), nullptr);
}

static BOOL WINAPI RefusePassword(HWND)
{
    return 0;
}

static BOOL WINAPI AcceptPassword(HWND)
{
    return 1;
}

// Another program's window, as far as the saver can tell: it counts the commands it is sent.
static int gStrangerCommands;

static LRESULT CALLBACK CountStrangerCommands(HWND window, UINT message, WPARAM wParam,
                                              LPARAM lParam)
{
    gStrangerCommands += message == WM_COMMAND;
    return DefWindowProcA(window, message, wParam, lParam);
}

static HWND MakeStrangerWindow()
{
    gStrangerCommands = 0;
    HWND window = CreateWindowExA(0, "STATIC", "stranger", WS_POPUP, 0, 0, 10, 10, nullptr,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountStrangerCommands));
    return window;
}

// A close refused by the password still ran the launcher's close sequence. The run goes on:
// it still paints, it still holds the accessory's handles, and a second close neither stops the
// music nor tells the window that stood at the accessory's handle (gone with the accessory) to
// quit. The handles go with the window, once.
TEST_F(LauncherChain, ACloseRefusedByThePasswordLeavesValidResources)
{
    window = MakeSaverWindow(0, 300, 640, 100, true);
    HWND accessoryWindow = WaitForAccessoryWindow();
    ASSERT_NE(accessoryWindow, nullptr);
    SendMessageA(window, WM_TIMER, MUSIC_TIMER_ID, 0); // the first tick starts the music
    ASSERT_EQ(LauncherState.musicStarted, 1);
    int plays = device.Count("play bgm from 0 notify");
    EXPECT_GT(plays, 0);
    HBRUSH brush = LauncherState.backgroundBrush;

    SaverState.isWin9x = 1;
    SaverState.verifyPasswordEntry = RefusePassword;
    EXPECT_EQ(SendMessageA(window, WM_CLOSE, 0, 0), 0);
    ASSERT_TRUE(IsWindow(window));
    EXPECT_NE(ReadLog().find("IDM_EXIT"), std::string::npos);
    EXPECT_EQ(LauncherState.accessoryWindow, accessoryWindow);
    EXPECT_FALSE(IsWindow(accessoryWindow)) << "the accessory quit on IDM_EXIT";
    EXPECT_EQ(device.Count("close all"), 1);
    EXPECT_EQ(GetObjectType(brush), static_cast<DWORD>(OBJ_BRUSH));
    // The handles still name the accessory, which has ended; held, its ids stay its own.
    const PROCESS_INFORMATION held = LauncherState.accessoryProcess;
    EXPECT_EQ(WaitForSingleObject(held.hProcess, 5000), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(held.hThread, 5000), WAIT_OBJECT_0);

    PumpFor(300);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    EXPECT_EQ(ScreenPixel(320, 350), RGB(40, 60, 220));

    // A tick that was queued before the close starts nothing again, nor does the notice of
    // the track's end (the recorder gives no device number: 0, taken for the current device).
    SendMessageA(window, WM_TIMER, MUSIC_TIMER_ID, 0);
    SendMessageA(window, MM_MCINOTIFY, MCI_NOTIFY_SUCCESSFUL, PlayerState.currentDevice);
    EXPECT_EQ(device.Count("play bgm from 0 notify"), plays);

    // The system hands the accessory's old handle to a window of another program.
    HWND stranger = MakeStrangerWindow();
    LauncherState.accessoryWindow = stranger;
    Sleep(250); // past the password's recheck delay
    EXPECT_EQ(SendMessageA(window, WM_CLOSE, 0, 0), 0);
    EXPECT_EQ(device.Count("close all"), 1);
    EXPECT_EQ(gStrangerCommands, 0) << "IDM_EXIT went to a window not found in this close";
    EXPECT_EQ(memcmp(&LauncherState.accessoryProcess, &held, sizeof held), 0);
    DestroyWindow(stranger);

    // Accepted at last: the window goes, and the brush and the handles with it, ids and all.
    Sleep(250);
    SaverState.verifyPasswordEntry = AcceptPassword;
    SendMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(LauncherState.backgroundBrush, nullptr);
    EXPECT_EQ(GetObjectType(brush), 0u);
    const PROCESS_INFORMATION none = {};
    EXPECT_EQ(memcmp(&LauncherState.accessoryProcess, &none, sizeof none), 0);
    DWORD flags = 0;
    EXPECT_FALSE(GetHandleInformation(held.hProcess, &flags));
    EXPECT_FALSE(GetHandleInformation(held.hThread, &flags));
}

// The device's notice of a track's end starts the next track at once. Only a successful end
// of the device now open counts, and the tick for the same end finds the new track playing.
TEST_F(LauncherChain, TheCurrentDevicesEndNoticeStartsTheNextTrackAtOnce)
{
    WriteSettings(RGB(40, 60, 220), ExecutablePath(), playlist); // no accessory to wait for
    ASSERT_TRUE(WriteTextFile(playlist, "a.wav\nb.wav\n"));
    const std::string openA = "open \"" + scratch.Path() + "\\a.wav\" alias bgm";
    const std::string openB = "open \"" + scratch.Path() + "\\b.wav\" alias bgm";
    device.ScriptReply(openA, "7"); // an open answers with the device's number
    device.ScriptReply(openB, "8");
    device.ScriptReplies("status bgm mode", {"", "playing"}); // the first tick's two asks
    PlayerState.currentTrack = 2; // an earlier run's last track: each run starts afresh
    window = MakeSaverWindow(0, 300, 640, 100);
    SendMessageA(window, WM_TIMER, MUSIC_TIMER_ID, 0);
    ASSERT_EQ(PlayerState.currentTrack, 1);
    const SentMciCommand play = {"play bgm from 0 notify", true, 256, window};
    EXPECT_EQ(device.Count("play bgm from 0 notify"), 1);
    EXPECT_NE(std::find(device.Sent().begin(), device.Sent().end(), play), device.Sent().end());

    device.ScriptReply("status bgm mode", "stopped");
    const std::pair<WPARAM, LPARAM> ignored[] = {
        {MCI_NOTIFY_ABORTED, 7}, {MCI_NOTIFY_SUPERSEDED, 7}, {MCI_NOTIFY_FAILURE, 7},
        {MCI_NOTIFY_SUCCESSFUL, 3}, // a device closed before
    };
    device.Clear();
    for (const auto& notice : ignored)
        SendMessageA(window, MM_MCINOTIFY, notice.first, notice.second);
    EXPECT_TRUE(device.Sent().empty());

    SendMessageA(window, MM_MCINOTIFY, MCI_NOTIFY_SUCCESSFUL, 7);
    std::vector<std::string> next = {"status bgm mode", "stop bgm", "close bgm", openB,
                                     "status bgm length", "play bgm from 0 notify"};
    EXPECT_EQ(device.Texts(), next);
    EXPECT_EQ(PlayerState.currentTrack, 2);

    // The tick, the first device's notice again, and a notice without a device number.
    device.ScriptReply("status bgm mode", "playing");
    device.Clear();
    SendMessageA(window, WM_TIMER, MUSIC_TIMER_ID, 0);
    SendMessageA(window, MM_MCINOTIFY, MCI_NOTIFY_SUCCESSFUL, 7);
    SendMessageA(window, MM_MCINOTIFY, MCI_NOTIFY_SUCCESSFUL, 0);
    EXPECT_EQ(device.Texts(), (std::vector<std::string>{"status bgm mode", "status bgm mode"}));
    EXPECT_EQ(PlayerState.currentTrack, 2);

    // A window destroyed without a close still closes its music.
    device.Clear();
    DestroySaverWindow(window);
    EXPECT_EQ(device.Texts(), (std::vector<std::string>{"stop bgm", "close bgm", "close all"}));
}

static BOOL WINAPI PumpTwoSecondsThenAccept(HWND)
{
    PumpFor(2000);
    return 1;
}

// On the Windows 95 family the password's modal loop dispatches the window's messages: a
// close before the first tick leaves no tick to start the music while the user is asked.
TEST_F(LauncherChain, ACloseBeforeTheFirstTickStartsNoMusicWhileThePasswordIsAsked)
{
    WriteSettings(RGB(40, 60, 220), ExecutablePath(), playlist); // no accessory to wait for
    window = MakeSaverWindow(0, 300, 640, 100);
    ASSERT_EQ(LauncherState.musicEnabled, 1);
    SaverState.isWin9x = 1;
    SaverState.verifyPasswordEntry = PumpTwoSecondsThenAccept;
    SendMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(LauncherState.musicEnabled, 0);
    EXPECT_EQ(device.Texts(), std::vector<std::string>{});
}

// With no accessory of its own the saver must not ask some other program's window to quit.
TEST_F(LauncherChain, WithoutALaunchedAccessoryNoOtherWindowIsToldToQuit)
{
    Child other = Start(accessory, "\"" + accessory + "\"");
    ASSERT_NE(other.process, nullptr);
    StartedAccessories().push_back(other.processId); // the teardown ends it
    CloseHandle(other.process);
    ASSERT_NE(WaitForAccessoryWindow(), nullptr);

    WriteSettings(RGB(40, 60, 220), ExecutablePath(), ""); // exists, but is no accessory
    window = MakeSaverWindow(0, 300, 640, 100);
    EXPECT_EQ(LauncherState.accessoryProcess.dwProcessId, 0u);
    SendMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(LauncherState.accessoryWindow, nullptr);
    EXPECT_EQ(ReadLog().find("IDM_EXIT"), std::string::npos);
}

// Only a continuing run keeps its place, before the music stops: the track as the player
// opened it and its position in milliseconds; the next continuing run resumes it from there.
// The other orders write nothing.
TEST_F(LauncherChain, OnlyAContinuingRunKeepsItsPlaceAndTheNextResumesFromIt)
{
    ASSERT_TRUE(WriteTextFile(playlist, "a.wav\nb.wav\n"));
    device.ScriptReply("status bgm length", "5000");
    device.ScriptReply("status bgm position", "1234");
    const std::string settingsFile = SettingsFileOf(ExecutablePath());
    std::string kept;
    for (int order : {PLAY_ORDER_FIRST, PLAY_ORDER_SHUFFLE, PLAY_ORDER_CONTINUE, -1}) {
        LauncherSettingsRecord settings = SettingsRecord(0, ExecutablePath(), playlist);
        settings.playOrder = order < 0 ? PLAY_ORDER_CONTINUE : order;
        if (order >= 0) { // the second continuing run keeps the file and the place in it
            ASSERT_TRUE(WriteSettingsFile(ExecutablePath(), settings));
        }
        device.Clear();
        device.ScriptReplies("status bgm mode", {"", "playing"});
        window = MakeSaverWindow(0, 300, 640, 100);
        SendMessageA(window, WM_TIMER, MUSIC_TIMER_ID, 0);
        const std::string playing = gPlaylist.tracks[PlayerState.currentTrack - 1];
        if (order < 0) {
            EXPECT_EQ(device.Texts()[2], "open \"" + kept + "\" alias bgm");
            EXPECT_EQ(device.Count("play bgm from 1234 notify"), 1);
        }
        SendMessageA(window, WM_CLOSE, 0, 0);
        bool keeps = order != PLAY_ORDER_FIRST && order != PLAY_ORDER_SHUFFLE;
        EXPECT_EQ(device.Count("status bgm position"), keeps ? 1 : 0) << order;
        EXPECT_EQ(ReadTextFile(settingsFile).find(LAST_PLACE_SECTION) != std::string::npos,
                  keeps)
            << order;
        LastPlaceRecord place;
        LoadLastPlace(&place);
        if (keeps) {
            EXPECT_EQ(place.track + (":" + std::to_string(place.position)), playing + ":1234");
        }
        kept = place.track;
    }
}

// A playlist file that gives no track: the first tick ends the music, timer and all, and the
// device hears nothing for the rest of the run.
TEST_F(LauncherChain, APlaylistWithNoTrackStopsTheTickAndSendsNothing)
{
    WriteSettings(RGB(40, 60, 220), ExecutablePath(), playlist);
    ASSERT_TRUE(WriteTextFile(playlist, "#EXTM3U\n#EXTINF:0,Nothing here\n\n"));
    window = MakeSaverWindow(0, 300, 640, 100);
    for (int tick = 0; tick < 3; ++tick)
        SendMessageA(window, WM_TIMER, MUSIC_TIMER_ID, 0);
    EXPECT_FALSE(KillTimer(window, MUSIC_TIMER_ID)) << "the timer still runs";
    SendMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(device.Texts(), std::vector<std::string>{});
}

// ---- The music's level in its session -----------------------------------------------------

// In place of the session's COM calls: a read answers 0.6, or fails; each level set is kept
// with its tick and the number of music commands sent before it. GetVersion is scripted.
struct LevelSet {
    float level;
    DWORD tick;
    size_t commandsBefore;
};
static std::vector<LevelSet> gSets;
static size_t gReads;
static int gReadable;
static DWORD gVersion;
static const MciRecorder* gDevice;
static int RecordRead(float* level)
{
    *level = 0.6f;
    return ++gReads, gReadable;
}
static int RecordSet(float level)
{
    gSets.push_back({level, GetTickCount(), gDevice->Sent().size()});
    return 1;
}
static DWORD WINAPI ScriptedVersion()
{
    return gVersion;
}
// GetVersion's answers: the major version in the lowest byte, the 95 family's top bit set.
const DWORD WINDOWS_10 = 0x4A61000A, VISTA = 0x17700006, XP = 0x0A280105, WIN98 = 0xC0000A04;

class MusicLevel : public LauncherChain {
protected:
    void TearDown() override
    {
        LauncherChain::TearDown();
        gReadSessionLevel = ReadSessionLevel, gSetSessionLevel = SetSessionLevel;
        gGetVersion = GetVersion;
    }
    // A run with these keys, to its music's first tick; another timer's tick plays nothing.
    void StartRun(int volume, int fadeIn, DWORD version = WINDOWS_10, int readable = 1)
    {
        LauncherSettingsRecord settings = SettingsRecord(0, ExecutablePath(), playlist);
        settings.volume = volume;
        settings.fadeIn = fadeIn;
        ASSERT_TRUE(WriteSettingsFile(ExecutablePath(), settings));
        gReadSessionLevel = RecordRead, gSetSessionLevel = RecordSet;
        gGetVersion = ScriptedVersion, gVersion = version, gReadable = readable;
        gDevice = &device, gReads = 0;
        gSets.clear();
        device.Clear();
        window = MakeSaverWindow(0, 300, 640, 100);
        SendMessageA(window, WM_TIMER, FADE_TIMER_ID + 5, 0);
        EXPECT_TRUE(device.Sent().empty()) << "another timer's tick played";
        SendMessageA(window, WM_TIMER, MUSIC_TIMER_ID, 0);
    }
    static std::vector<float> Levels(size_t from = 0)
    {
        std::vector<float> levels;
        for (size_t i = from; i < gSets.size(); ++i)
            levels.push_back(gSets[i].level);
        return levels;
    }
};

// The level set for each volume at the music's first tick, before its first track opens, and
// the session's own level put back once the devices are closed. Nothing is asked or set with
// both keys absent (the full volume, no gentle start), before Windows Vista, or where the
// session cannot be read. At volume 0 the music never starts: no timer, no command at all.
TEST_F(MusicLevel, TheVolumeSetsTheSessionsLevelForTheRunOnlyAndVolumeZeroSendsNothing)
{
    const struct {
        const char* what;
        int volume, fadeIn;
        DWORD version;
        int readable;
        size_t reads;
        std::vector<float> atStart; // the levels set by the first tick
    } cases[] = {
        {"the keys absent: as always", 100, 0, WINDOWS_10, 1, 0, {}},
        {"volume 25 on Windows 10", 25, 0, WINDOWS_10, 1, 1, {0.25f}},
        {"volume 1", 1, 0, WINDOWS_10, 1, 1, {0.01f}},
        {"volume 99 on Windows Vista", 99, 0, VISTA, 1, 1, {0.99f}},
        {"a gentle start starts silent", 100, 1, WINDOWS_10, 1, 1, {0.0f}},
        {"volume 25 on Windows XP", 25, 0, XP, 1, 0, {}},
        {"a gentle start on Windows 98", 25, 1, WIN98, 1, 0, {}},
        {"no session to read", 25, 1, WINDOWS_10, 0, 1, {}},
        {"volume 0", 0, 0, WINDOWS_10, 1, 0, {}},
    };
    const std::string open = "open \"" + scratch.Path() + "\\a.wav\" alias bgm";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        StartRun(c.volume, c.fadeIn, c.version, c.readable);
        EXPECT_EQ(gReads, c.reads);
        EXPECT_EQ(Levels(), c.atStart);
        const std::vector<std::string> sent = device.Texts();
        for (const LevelSet& set : gSets)
            EXPECT_LE(set.commandsBefore, std::find(sent.begin(), sent.end(), open) - sent.begin());
        EXPECT_EQ(KillTimer(window, MUSIC_TIMER_ID) != 0, c.volume > 0);
        EXPECT_EQ(KillTimer(window, FADE_TIMER_ID) != 0, c.fadeIn && !c.atStart.empty());
        size_t before = gSets.size();
        SendMessageA(window, WM_CLOSE, 0, 0);
        EXPECT_EQ(Levels(before), c.atStart.empty() ? c.atStart : std::vector<float>{0.6f});
        if (gSets.size() > before) { // once the devices are closed
            EXPECT_EQ(gSets.back().commandsBefore, device.Sent().size());
        }
        EXPECT_EQ(device.Sent().empty(), c.volume == 0);
    }
}

// The gentle start rises over 3 s by its own timer, in 50 ms steps that follow the time gone,
// not the count of ticks, which a hold of 700 ms makes late. At 3 s the volume is reached and
// the timer ends; a close in the rise puts the level found back at once.
TEST_F(MusicLevel, TheGentleStartRisesByTheTimeGoneAndACloseEndsItAtOnce)
{
    device.ScriptReply("status bgm length", "60000");
    for (bool closeEarly : {false, true}) {
        SCOPED_TRACE(closeEarly ? "closed in the rise" : "risen");
        StartRun(80, 1);
        ASSERT_EQ(Levels(), std::vector<float>{0.0f});
        PumpFor(600);
        Sleep(700);
        PumpFor(closeEarly ? 300 : 3000);
        std::vector<DWORD> gaps;
        for (size_t i = 1; i < gSets.size(); ++i) {
            const DWORD start = LauncherState.fadeStart, at = gSets[i].tick;
            EXPECT_LE(gSets[i].level, FadeLevel(start, at, 80)) << i;
            EXPECT_GE(gSets[i].level, FadeLevel(start, at - 50, 80)) << i;
            gaps.push_back(at - gSets[i - 1].tick);
        }
        std::sort(gaps.begin(), gaps.end());
        EXPECT_LE(gaps.at(gaps.size() / 2), 100u) << "steps further apart than 100 ms";
        EXPECT_EQ(gSets.back().level == 0.8f, !closeEarly) << "the volume reached";
        EXPECT_EQ(KillTimer(window, FADE_TIMER_ID) != 0, closeEarly) << "the rise's timer";
        DWORD closing = GetTickCount();
        SendMessageA(window, WM_CLOSE, 0, 0);
        EXPECT_LT(GetTickCount() - closing, 100u) << "the close waited";
        EXPECT_EQ(Levels(gSets.size() - 1), std::vector<float>{0.6f}) << "the level found";
    }
}

// The product's COM calls under Wine, which answers them as Windows does (S_OK) but does not
// apply the level to what MCI plays: read, set, read back; the music's end puts the level found
// back and lets go of COM, and a read opens the session anew. Both ends are timed.
TEST(RealSessionLevel, TakesALevelAndTheEndGivesItBack)
{
    ResetLauncherState();
    float found = -1.0f, read = -1.0f;
    DWORD opening = GetTickCount();
    ASSERT_EQ(ReadSessionLevel(&found), 1) << "no session volume";
    std::printf("the first read, COM and the session taken: %lu ms\n", GetTickCount() - opening);
    EXPECT_NE(LauncherState.endCom, nullptr) << "COM begun here is the music's to end";
    EXPECT_EQ(SetSessionLevel(found == 0.25f ? 0.5f : 0.25f), 1);
    ASSERT_EQ(ReadSessionLevel(&read), 1);
    EXPECT_EQ(read, found == 0.25f ? 0.5f : 0.25f);
    LauncherState.levelChanged = 1;
    LauncherState.levelFound = found;
    DWORD ending = GetTickCount();
    EndMusicLevel();
    std::printf("the end, the level put back and COM let go: %lu ms\n", GetTickCount() - ending);
    EXPECT_EQ(LauncherState.sessionVolume, nullptr);
    EXPECT_EQ(LauncherState.endCom, nullptr);
    ASSERT_EQ(ReadSessionLevel(&read), 1);
    EXPECT_EQ(read, found) << "the level found was not put back";
    LauncherState.levelChanged = 1;
    EndMusicLevel();
}
