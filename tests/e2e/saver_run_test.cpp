// The saver run, end to end: the real .scr started with /s and /p under Wine, with the
// accessory fixture and playlists of generated tones (WAV, MP3 and MIDI; ANSI and UTF-8, as
// today's players write them), observed through its windows, screen pixels, the accessory's
// log, the captured sound, its MCI trace, the debugger output and exit codes.
#include "launcher/accessory.h"
#include "launcher/launcher_saver.h"
#include "saver_host/saver_host.h"
#include "tests/support/desktop.h"
#include "tests/support/files.h"
#include "tests/support/sound.h"
#include "tests/support/texts.h"
#include <gtest/gtest.h>
#include <mmsystem.h>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

const char ACCESSORY_CLASS[] = "VelorandixFixture";
const COLORREF SAVER_COLOR = RGB(30, 144, 255);

// ---- Helpers ---------------------------------------------------------------------------------

// Whether the captured bytes from `from` on hold a sound and not only silence.
static bool CaptureHoldsSoundFrom(long long from)
{
    int loud = 0;
    for (int16_t sample : CapturedSamples(from))
        loud += sample > 2000 || sample < -2000;
    return loud > 1000;
}

static std::vector<HWND> SaverWindowsTitled(const char* title)
{
    std::vector<HWND> found;
    for (HWND window : WindowsOf(0))
        if (ClassNameOf(window) == SAVER_CLASS_NAME) {
            char text[64] = "";
            GetWindowTextA(window, text, sizeof text);
            if (lstrcmpA(text, title) == 0)
                found.push_back(window);
        }
    return found;
}

static std::string LowerCase(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// ---- The fixture -----------------------------------------------------------------------------

class SaverRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(CopyInto(SaverBinary(), saver));
        accessoryDir = dir + "\\accessory folder";
        CreateDirectoryA(accessoryDir.c_str(), nullptr);
        accessory = accessoryDir + "\\velorandix.exe";
        ASSERT_TRUE(CopyInto(FixturePath("velorandix.exe"), accessory));
        log = dir + "\\accessory.log";
        std::string music = dir + "\\music";
        CreateDirectoryA(music.c_str(), nullptr);
        ASSERT_TRUE(WriteToneWave(music + "\\tone1.wav", {440, 1.5}));
        ASSERT_TRUE(WriteToneWave(music + "\\tone2.wav", {660, 1.5}));
        playlist = music + "\\list.m3u";
        ASSERT_TRUE(WriteTextFile(playlist, "#EXTM3U\r\ntone1.wav\r\ntone2.wav\r\n"));
        EndLeftoversWithWindowOf(SAVER_CLASS_NAME); // a second saver would only bring it forward
        MoveMouseTo(500, 400);
        PumpFor(100);
        children.reserve(8); // tests hold references to the children they start
    }

    void TearDown() override
    {
        for (Child& child : children)
            Kill(child);
        EndAccessories();
    }

    void WriteSettings(const std::string& accessoryPath, const std::string& playlistPath)
    {
        WriteSettingsFile(saver, SAVER_COLOR, accessoryPath, playlistPath);
    }

    Child& StartSaver(const std::string& tail, std::vector<std::string> environment = {},
                      const std::string& stderrPath = "", const std::string& workingDir = "")
    {
        environment.push_back("VELORANDIX_LOG=" + log);
        children.push_back(Start(saver, "velora_ss_launcher.scr " + tail, environment,
                                 stderrPath, workingDir));
        return children.back();
    }

    // The saver started on the system (tests/support/desktop.h), in a locale of its own.
    Child& StartSaverIn(const WineLocale& system, const std::string& tail)
    {
        children.push_back(StartInLocale(system, saver, tail, {"VELORANDIX_LOG=" + log}));
        return children.back();
    }

    // The saver started from a Linux shell, so that its MCI trace is kept in tracePath: Wine
    // writes its debug output to the process's Linux standard error, which no Windows handle
    // reaches. The shell gives no handle to the saver: it is found by its window.
    Child& StartTracedSaver(const std::string& tail, const std::string& tracePath)
    {
        std::string script = "WINEDEBUG=+mci exec $WINE '" + saver + "' " + tail + " 2>'" +
                             UnixPathOf(tracePath) + "'";
        Child shell = Start("Z:\\bin\\sh", "sh -c \"" + script + "\"");
        if (shell.process)
            CloseHandle(shell.process);
        Child traced;
        HWND window = WaitForWindow(0, SAVER_CLASS_NAME, FULL_SCREEN_TITLE, 15000);
        if (window) {
            GetWindowThreadProcessId(window, &traced.processId);
            traced.process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION |
                                             PROCESS_TERMINATE,
                                         FALSE, traced.processId);
        }
        children.push_back(traced);
        return children.back();
    }

    // The full-screen window of the child, with the accessory's window up when one is
    // expected, so that input from now on is taken by the saver.
    HWND WaitForFullScreen(const Child& child, bool withAccessory)
    {
        HWND window = WaitForWindow(child.processId, SAVER_CLASS_NAME, FULL_SCREEN_TITLE, 15000);
        EXPECT_NE(window, nullptr) << "no full-screen window; the saver is " << StateOf(child);
        // The window exists from its creation on and shows when the creation is over, which
        // under Wine takes a moment longer after a message box.
        for (int i = 0; window && i < 200 && !IsWindowVisible(window); ++i)
            PumpFor(50);
        if (window && withAccessory)
            EXPECT_NE(WaitForWindow(0, ACCESSORY_CLASS, nullptr, 15000), nullptr);
        PumpFor(700);
        return window;
    }

    std::string Log() { return ReadTextFile(log); }

    bool WaitForLog(const char* text, DWORD timeoutMs)
    {
        return WaitForFileText(log, text, timeoutMs);
    }

    // The value of the first log line starting with `label`.
    std::string LogLine(const char* label)
    {
        std::string content = Log();
        std::string prefix = std::string(label) + " ";
        size_t at = content.find(prefix);
        if (at == std::string::npos)
            return "";
        size_t end = content.find('\n', at);
        return content.substr(at + prefix.size(), end - at - prefix.size());
    }

    // A full-screen run over an accessory in the given VELORANDIX_MODE, ended by a key: tookMs
    // is how long the saver took from the key to its exit.
    void EndWithAccessoryIn(const char* mode, DWORD exitTimeoutMs, DWORD* tookMs)
    {
        WriteSettings(accessory, "");
        Child& saverRun = StartSaver("/s", {std::string("VELORANDIX_MODE=") + mode});
        ASSERT_NE(WaitForFullScreen(saverRun, true), nullptr);
        DWORD pressed = GetTickCount();
        PressKey(VK_SPACE);
        EXPECT_EQ(WaitForExit(saverRun, exitTimeoutMs), 0u);
        *tookMs = GetTickCount() - pressed;
    }

    // Accessories that hang or ignore IDM_EXIT are left running by design, and one a fault
    // started would outlive the test: each logs its process id, by which the test ends it.
    void EndAccessories() { EndLoggedProcesses(log, ACCESSORY_FILE_NAME); }

    ScratchFolder scratch{std::string("saver_run ") +
                          ::testing::UnitTest::GetInstance()->current_test_info()->name()};
    std::string dir = scratch.Path();
    std::string saver = dir + "\\velora_ss_launcher.scr";
    std::string accessoryDir, accessory, log, playlist;
    std::vector<Child> children; // at most 8
};

// ---- Full screen -----------------------------------------------------------------------------

TEST_F(SaverRun, FullScreenCoversTheScreenLaunchesTheAccessoryPlaysAndAKeyEndsIt)
{
    WriteSettings(accessory, playlist);
    long long captureAtStart = CaptureSize();
    Child& saverRun = StartSaver("/s");
    HWND window = WaitForFullScreen(saverRun, true);
    ASSERT_NE(window, nullptr);

    // One topmost popup over the whole screen, in the colour.
    EXPECT_EQ(SaverWindowsTitled(FULL_SCREEN_TITLE).size(), 1u);
    RECT rect;
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.top, 0);
    EXPECT_EQ(rect.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(rect.bottom, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)) & 0xFFFF0000u, 0x96000000u);
    EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(ScreenPixel(600, 500), SAVER_COLOR);
    EXPECT_EQ(ScreenPixel(1000, 750), SAVER_COLOR);

    // The accessory, started by its quoted path in its own folder.
    EXPECT_EQ(LogLine("cmdline"), "\"" + accessory + "\"");
    EXPECT_EQ(LowerCase(LogLine("cwd")), LowerCase(accessoryDir));

    // The music: the tones reach the sound device within a few ticks.
    DWORD start = GetTickCount();
    while (!CaptureHoldsSoundFrom(captureAtStart) && GetTickCount() - start < 8000)
        PumpFor(250);
    EXPECT_TRUE(CaptureHoldsSoundFrom(captureAtStart)) << "no music captured";

    PressKey(VK_SPACE);
    EXPECT_EQ(WaitForExit(saverRun, 10000), 0u);
    EXPECT_TRUE(WaitForLog("IDM_EXIT", 2000));
    EXPECT_TRUE(WaitForLog("exit", 5000));

    // The sound has stopped: nothing more reaches the device.
    PumpFor(1000);
    long long afterEnd = CaptureSize();
    PumpFor(2000);
    EXPECT_EQ(CaptureSize(), afterEnd);
}

TEST_F(SaverRun, AClickEndsTheRun)
{
    WriteSettings(accessory, "");
    Child& saverRun = StartSaver("/s");
    ASSERT_NE(WaitForFullScreen(saverRun, true), nullptr);
    ClickMouse();
    EXPECT_EQ(WaitForExit(saverRun, 10000), 0u);
    EXPECT_TRUE(WaitForLog("IDM_EXIT", 2000));
}

TEST_F(SaverRun, AMouseMoveOfFivePixelsEndsTheRunAndFourDoNot)
{
    WriteSettings(accessory, "");
    Child& saverRun = StartSaver("/s"); // the cursor stands at (500, 400)
    ASSERT_NE(WaitForFullScreen(saverRun, true), nullptr);
    MoveMouseTo(504, 400);
    EXPECT_TRUE(StaysRunningFor(saverRun, 2000));
    EXPECT_EQ(Log().find("IDM_EXIT"), std::string::npos);
    MoveMouseTo(505, 400);
    EXPECT_EQ(WaitForExit(saverRun, 10000), 0u);
    EXPECT_TRUE(WaitForLog("IDM_EXIT", 2000));
}

// At 300% the user's 4 pixels are 12 of the screen's. The saver sees physical pixels, and so
// does this driver, which started at 96 DPI.
TEST_F(SaverRun, AtThreeHundredPercentTwelvePixelsKeepTheSaverAndThirteenEndIt)
{
    SessionDpi dpi(288);
    ASSERT_TRUE(dpi.IsSet());
    WriteSettings(accessory, "");
    Child& saverRun = StartSaver("/s"); // the cursor stands at (500, 400)
    ASSERT_NE(WaitForFullScreen(saverRun, true), nullptr);
    MoveMouseTo(505, 400);
    EXPECT_TRUE(StaysRunningFor(saverRun, 1500));
    MoveMouseTo(508, 396); // 12 from where the saver started
    EXPECT_TRUE(StaysRunningFor(saverRun, 1500));
    EXPECT_EQ(Log().find("IDM_EXIT"), std::string::npos);
    MoveMouseTo(509, 396);
    EXPECT_EQ(WaitForExit(saverRun, 10000), 0u);
    EXPECT_TRUE(WaitForLog("IDM_EXIT", 2000));
}

TEST_F(SaverRun, ASecondFullScreenStartBringsTheFirstForwardAndEnds)
{
    WriteSettings(accessory, "");
    Child& first = StartSaver("/s");
    HWND window = WaitForFullScreen(first, true);
    ASSERT_NE(window, nullptr);

    Child& second = StartSaver("/s");
    EXPECT_EQ(WaitForExit(second, 5000), 0u);
    EXPECT_TRUE(IsRunning(children[0]));
    EXPECT_EQ(SaverWindowsTitled(FULL_SCREEN_TITLE).size(), 1u);
    EXPECT_EQ(GetForegroundWindow(), window);
    // Only the first launched an accessory.
    EXPECT_EQ(LogLine("pid").empty(), false);
    EXPECT_EQ(Log().find("pid "), Log().rfind("pid "));

    PressKey(VK_SPACE);
    EXPECT_EQ(WaitForExit(children[0], 10000), 0u);
}

// ---- Preview ---------------------------------------------------------------------------------

static HWND WaitForPreview(HWND host)
{
    return WaitForChildWindow(host, SAVER_CLASS_NAME, PREVIEW_TITLE, 15000);
}

TEST_F(SaverRun, PreviewPaintsItsAreaAndDoesNothingElse)
{
    WriteSettings(accessory, playlist);
    HWND host = MakePreviewHost(300, 300);
    Child& preview = StartSaver("/p " + std::to_string(reinterpret_cast<UINT_PTR>(host)));
    HWND child = WaitForPreview(host);
    ASSERT_NE(child, nullptr);
    long long captureAtStart = CaptureSize();

    RECT client;
    GetClientRect(child, &client);
    EXPECT_EQ(client.right, PREVIEW_HOST_WIDTH);
    EXPECT_EQ(client.bottom, PREVIEW_HOST_HEIGHT);
    // Wine shows no child window of another process on the screen (the host's own face
    // stays), so the preview's colour is read in-process, by the windows tier's preview run.

    // Input over the preview dismisses nothing.
    MoveMouseTo(320, 320);
    PumpFor(200);
    MoveMouseTo(400, 380);
    ClickMouse();
    PressKey(VK_SPACE);
    EXPECT_TRUE(StaysRunningFor(preview, 2500));
    EXPECT_TRUE(IsWindow(child));

    // No accessory, no music.
    EXPECT_EQ(Log(), "");
    EXPECT_FALSE(CaptureHoldsSoundFrom(captureAtStart));

    DestroyWindow(host);
    EXPECT_EQ(WaitForExit(preview, 10000), 0u);
}

TEST_F(SaverRun, ARunningPreviewDoesNotBlockAFullScreenStart)
{
    WriteSettings(accessory, "");
    HWND host = MakePreviewHost(300, 300);
    Child& preview = StartSaver("/p " + std::to_string(reinterpret_cast<UINT_PTR>(host)));
    ASSERT_NE(WaitForPreview(host), nullptr);

    Child& fullScreen = StartSaver("/s");
    ASSERT_NE(WaitForFullScreen(fullScreen, true), nullptr);
    PressKey(VK_SPACE);
    EXPECT_EQ(WaitForExit(fullScreen, 10000), 0u);

    DestroyWindow(host);
    EXPECT_EQ(WaitForExit(preview, 10000), 0u);
}

// ---- The warning -----------------------------------------------------------------------------

// The box of the given process, checked in the system's language and answered with OK.
static HWND AnswerWarning(const Child& saver, const WineLocale& system)
{
    HWND box = WaitForWindow(saver.processId, "#32770", nullptr, 15000);
    EXPECT_NE(box, nullptr) << "no warning box; the saver is " << StateOf(saver);
    if (!box)
        return nullptr;
    // Read and answered once it is up, as a user would.
    for (int i = 0; i < 100 && !IsWindowVisible(box); ++i)
        PumpFor(50);
    PumpFor(500);
    EXPECT_EQ(TextOf(box), In(system, TEXT_MISSING_ACCESSORY_CAPTION));
    EXPECT_EQ(TextOf(GetDlgItem(box, 0xFFFF)), In(system, TEXT_MISSING_ACCESSORY));
    HWND owner = GetWindow(box, GW_OWNER);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    return owner;
}

TEST_F(SaverRun, AMissingOrEmptyAccessoryPathWarnsAndTheRunGoesOn)
{
    struct Case {
        const WineLocale& system;
        std::string path;
    };
    const Case cases[] = {
        {JAPANESE_SYSTEM, ""},
        {JAPANESE_SYSTEM, dir + "\\nowhere\\velorandix.exe"},
        {ENGLISH_SYSTEM, ""},
        {WESTERN_SYSTEM_JAPANESE_UI, dir + "\\nowhere\\velorandix.exe"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.system.name) + ", path " + c.path);
        WriteSettings(c.path, "");
        Child& saverRun = StartSaverIn(c.system, "/s");
        HWND owner = AnswerWarning(saverRun, c.system);
        EXPECT_EQ(ClassNameOf(owner), SAVER_CLASS_NAME);
        HWND window = WaitForFullScreen(saverRun, false);
        ASSERT_NE(window, nullptr);
        EXPECT_TRUE(StaysRunningFor(saverRun, 1000));
        EXPECT_EQ(ScreenPixel(600, 500), SAVER_COLOR);
        ClickMouse();
        EXPECT_EQ(WaitForExit(saverRun, 10000), 0u);
    }
    EXPECT_EQ(Log(), "");
}

TEST_F(SaverRun, ThePreviewWarnsToo)
{
    WriteSettings("", "");
    for (const WineLocale* system : {&JAPANESE_SYSTEM, &ENGLISH_SYSTEM}) {
        SCOPED_TRACE(system->name);
        HWND host = MakePreviewHost(300, 300);
        Child& preview =
            StartSaverIn(*system, "/p " + std::to_string(reinterpret_cast<UINT_PTR>(host)));
        // A child owns nothing: the box belongs to the preview area's top-level window.
        EXPECT_EQ(AnswerWarning(preview, *system), host);
        ASSERT_NE(WaitForPreview(host), nullptr);
        EXPECT_TRUE(StaysRunningFor(preview, 1000));
        DestroyWindow(host);
        EXPECT_EQ(WaitForExit(preview, 10000), 0u);
    }
}

// ---- Which paths launch ----------------------------------------------------------------------

TEST_F(SaverRun, OnlyAPathEndingExactlyInTheAccessoryNameLaunches)
{
    // On the session's own C: drive, so that a drive root is one the test may write. The saver
    // starts in C:\, the current folder of drive C: and its own.
    ASSERT_TRUE(CopyInto(accessory, "C:\\velorandix.exe"));
    ASSERT_TRUE(CopyInto(accessory, "C:\\myvelorandix.exe"));
    ASSERT_TRUE(CopyInto(accessory, "C:\\xvelorandix.exe"));
    struct Case {
        const char* path;
        bool launches;
    };
    const Case cases[] = {
        {"C:\\velorandix.exe", true},   // 17 characters: a drive root and the name
        {"C:\\VELORANDIX.EXE", false},  // the same file, but the name is compared exactly
        {"C:\\myvelorandix.exe", true}, // only the last 14 characters count
        {"C:velorandix.exe", true},     // 16: a drive and the name, its current folder
        {"xvelorandix.exe", false},     // 15: no drive, though the file is there
    };
    for (const Case& c : cases) {
        DeleteFileA(log.c_str());
        WriteSettings(c.path, "");
        Child& saverRun = StartSaver("/s", {}, "", "C:\\");
        ASSERT_NE(WaitForWindow(saverRun.processId, SAVER_CLASS_NAME, FULL_SCREEN_TITLE, 15000),
                  nullptr);
        EXPECT_EQ(WaitForLog("window", c.launches ? 10000 : 3000), c.launches) << c.path;
        if (c.launches)
            EXPECT_EQ(LowerCase(LogLine("cwd")), "c:\\") << c.path;
        PumpFor(500);
        ClickMouse();
        EXPECT_EQ(WaitForExit(saverRun, 10000), 0u) << c.path;
        EXPECT_EQ(Log().find("IDM_EXIT") != std::string::npos, c.launches) << c.path;
    }
    for (const char* copy : {"C:\\velorandix.exe", "C:\\myvelorandix.exe", "C:\\xvelorandix.exe"})
        DeleteFileA(copy);
}

// ---- The sound behaviour -----------------------------------------------------------------------

// ---- Playlists as today's players write them -------------------------------------------------

// What a playlist's run is checked for: the tones heard, in order (none: any sound at all), and
// texts that must be or must not be in the run's MCI trace.
struct PlaylistCase {
    const char* what;
    const char* name; // of the playlist, beside the folder 音楽 of tones
    std::string bytes;
    std::vector<double> heard;
    std::vector<std::string> traced, neverTraced;
    bool utf8CodePage = false; // played by the saver's test copy whose ANSI code page is UTF-8
};

// Narrow literals are code page 932, the session's ANSI code page; u8 ones are UTF-8. Each
// tone lasts 0.4 s, each change of track comes at the device's notice.
TEST_F(SaverRun, PlaylistsAsTodaysPlayersWriteThemPlayEveryTrackInOrder)
{
    const double first = 440, second = 660;
    std::string music = dir + "\\music\\音楽";
    CreateDirectoryA(music.c_str(), nullptr);
    ASSERT_TRUE(WriteToneWave(music + "\\曲一.wav", {first, 0.4}));
    ASSERT_TRUE(WriteToneWave(music + "\\曲二.wav", {second, 0.4}));
    ASSERT_TRUE(WriteToneWave(dir + "\\music\\a.wav", {first, 0.4}));
    ASSERT_TRUE(WriteToneWave(dir + "\\music\\b.wav", {second, 0.4}));
    ASSERT_TRUE(WriteToneMp3(dir + "\\music\\tone.mp3", {880, 0.4}));
    ASSERT_TRUE(WriteMidiNote(dir + "\\music\\song.mid", 69, 0.4));
    const std::string utf8Lines = u8"#EXTM3U\n#EXTINF:0,Mr. 音 - 一\n音楽\\曲一.wav\n"
                                  u8"#EXTINF:0,Vol. 2 - 二\n音楽\\曲二.wav\n";
    // Wine has no MIDI synthesizer unless one is set up: the player then passes MIDI over.
    const bool midiOutput = midiOutGetNumDevs() > 0;
    const PlaylistCase cases[] = {
        {"extended M3U, titles with dots, a quoted line", "extended.m3u",
         "#EXTM3U\r\n#EXTINF:0,Mr. Tone - First\r\na.wav\r\n#EXTINF:0,Vol. 2 - Second\r\n"
         "b.wav\" type \"cdaudio\r\nb.wav\r\n",
         {first, second},
         {"a.wav\\\" alias bgm", "b.wav\\\" alias bgm"},
         {"EXTINF", "cdaudio"}},
        {"UTF-8 with a mark", "mark.m3u", "\xEF\xBB\xBF" + utf8Lines, {first, second}, {}, {}},
        {"UTF-8 named .m3u8", "named.m3u8", utf8Lines, {first, second}, {}, {}},
        {"UTF-8 by its text", "text.m3u", utf8Lines, {first, second}, {}, {}},
        {"MP3", "mp3.m3u", "tone.mp3\r\n", {}, {"tone.mp3\\\" alias bgm", "notify"}, {}},
        {"MIDI, then a tone", "midi.m3u", "song.mid\r\nb.wav\r\n", {second},
         midiOutput ? std::vector<std::string>{"song.mid"} : std::vector<std::string>{},
         midiOutput ? std::vector<std::string>{} : std::vector<std::string>{"song.mid"}},
        {"Shift-JIS under the UTF-8 code page", "shift-jis.m3u",
         "#EXTM3U\r\n音楽\\曲一.wav\r\n音楽\\曲二.wav\r\n", {first, second}, {}, {}, true},
        {"UTF-8 named .m3u8 under the UTF-8 code page", "utf-8.m3u8", utf8Lines,
         {first, second}, {}, {}, true},
    };
    for (const PlaylistCase& c : cases) {
        std::string list = dir + "\\music\\" + c.name;
        ASSERT_TRUE(WriteTextFile(list, c.bytes)) << c.what;
        ASSERT_TRUE(CopyInto(c.utf8CodePage ? FixturePath("velora_ss_launcher_utf8.scr")
                                            : SaverBinary(),
                             saver));
        WriteSettings(saver, list); // a file, but no accessory: no warning, nothing launched
        std::string tracePath = dir + "\\mci-" + c.name + ".log";
        long long from = CaptureSize();
        Child& saverRun = StartTracedSaver("/s", tracePath);
        ASSERT_NE(WaitForFullScreen(saverRun, false), nullptr) << c.what;

        // The tones in the order heard; for a track whose capture is in a format of its own
        // (the MP3's), any sound at all.
        DWORD start = GetTickCount();
        auto heard = [&] {
            if (c.heard.empty())
                return CaptureHoldsSoundFrom(from);
            std::vector<double> tones = TonesHeard(CapturedSamples(from), c.heard);
            return tones.size() >= c.heard.size() &&
                   std::equal(c.heard.begin(), c.heard.end(), tones.begin());
        };
        while (!heard() && GetTickCount() - start < 20000)
            PumpFor(250);
        EXPECT_TRUE(heard()) << c.what;
        PressKey(VK_SPACE);
        EXPECT_EQ(WaitForExit(saverRun, 10000), 0u) << c.what;

        std::string trace = ReadTextFile(tracePath);
        for (const std::string& text : c.traced)
            EXPECT_NE(trace.find(text), std::string::npos) << c.what << ": " << text;
        for (const std::string& text : c.neverTraced)
            EXPECT_EQ(trace.find(text), std::string::npos) << c.what << ": " << text;
    }
}

// ---- Play orders ---------------------------------------------------------------------------

// The file names the saver opened, in order, from its MCI trace.
static std::vector<std::string> TracedOpens(const std::string& trace)
{
    std::vector<std::string> names;
    const std::string open = "(L\"open \\\"", tail = "\\\" alias bgm";
    for (size_t at = trace.find(open); at != std::string::npos; at = trace.find(open, at + 1)) {
        size_t end = trace.find(tail, at), name = trace.rfind('\\', end - 1);
        names.push_back(trace.substr(name + 1, end - name - 1));
    }
    return names;
}

// A continuing run picks up the track the run before was playing, found by its path in a
// playlist edited since, from the millisecond where it stopped.
TEST_F(SaverRun, AContinuingRunResumesTheLastRunsTrackFromItsPlace)
{
    for (const char* name : {"long1.wav", "long2.wav", "new.wav"})
        ASSERT_TRUE(WriteToneWave(dir + "\\music\\" + name, {440, 30, 8000}));
    ASSERT_TRUE(WriteTextFile(playlist, "long1.wav\r\nlong2.wav\r\n"));
    LauncherSettingsRecord settings = SettingsRecord(SAVER_COLOR, saver, playlist);
    settings.playOrder = PLAY_ORDER_CONTINUE;
    ASSERT_TRUE(WriteSettingsFile(saver, settings));
    std::string traces[2] = {dir + "\\mci-first.log", dir + "\\mci-second.log"};
    std::string resume = "play bgm from 0 notify";
    for (const std::string& trace : traces) {
        Child& saverRun = StartTracedSaver("/s", trace);
        ASSERT_NE(WaitForFullScreen(saverRun, false), nullptr);
        EXPECT_TRUE(WaitForFileText(trace, resume.c_str(), 10000)) << resume;
        PumpFor(1500); // some seconds into the track
        PressKey(VK_SPACE);
        ASSERT_EQ(WaitForExit(saverRun, 10000), 0u);
        // The place kept at the close; a track added before it for the next run.
        char kept[1024], position[16];
        GetPrivateProfileStringA(LAST_PLACE_SECTION, LAST_TRACK_KEY, "", kept, sizeof kept,
                                 SettingsFileOf(saver).c_str());
        GetPrivateProfileStringA(LAST_PLACE_SECTION, LAST_POSITION_KEY, "", position,
                                 sizeof position, SettingsFileOf(saver).c_str());
        EXPECT_EQ(kept, dir + "\\music\\long1.wav");
        EXPECT_GT(std::atoi(position), 0) << position;
        ASSERT_TRUE(WriteTextFile(playlist, "new.wav\r\nlong1.wav\r\nlong2.wav\r\n"));
        std::string opened = ReadTextFile(trace);
        EXPECT_EQ(TracedOpens(opened.substr(0, opened.find(resume))),
                  std::vector<std::string>{"long1.wav"});
        resume = "play bgm from " + std::string(position) + " notify";
    }
}

// Shuffled runs: every track once in each round, no track twice across a round's edge, and a
// new order each run. A hundred changes of track at the device's notice, which every run lives
// through and ends with code 0: under Wine a close right after a notice used to unload the
// wave driver under its own play thread, and one run in two faulted.
TEST_F(SaverRun, ShuffledRunsPlayEveryTrackOncePerRoundInANewOrderEachRun)
{
    const size_t count = 10;
    std::string lines;
    for (size_t track = 0; track < count; ++track) {
        std::string name = "t" + std::to_string(track) + ".wav";
        ASSERT_TRUE(WriteToneWave(dir + "\\music\\" + name, {440.0 + 40 * track, 0.4}));
        lines += name + "\r\n";
    }
    ASSERT_TRUE(WriteTextFile(playlist, lines));
    LauncherSettingsRecord settings = SettingsRecord(SAVER_COLOR, saver, playlist);
    settings.playOrder = PLAY_ORDER_SHUFFLE;
    ASSERT_TRUE(WriteSettingsFile(saver, settings));
    std::vector<std::string> firstTracks;
    for (int run = 0; run < 5; ++run) {
        std::string trace = dir + "\\mci-shuffle" + std::to_string(run) + ".log";
        Child& saverRun = StartTracedSaver("/s", trace);
        ASSERT_NE(WaitForFullScreen(saverRun, false), nullptr) << run;
        DWORD start = GetTickCount(); // two rounds and the start of a third
        while (TracedOpens(ReadTextFile(trace)).size() <= 2 * count &&
               GetTickCount() - start < 30000)
            PumpFor(250);
        PressKey(VK_SPACE);
        EXPECT_EQ(WaitForExit(saverRun, 10000), 0u) << run;
        std::vector<std::string> opened = TracedOpens(ReadTextFile(trace));
        ASSERT_GT(opened.size(), 2 * count) << run;
        firstTracks.push_back(opened[0]);
        for (size_t edge : {count, 2 * count}) {
            std::vector<std::string> round(opened.begin() + edge - count, opened.begin() + edge);
            std::sort(round.begin(), round.end());
            EXPECT_EQ(std::unique(round.begin(), round.end()), round.end()) << run;
            EXPECT_NE(opened[edge - 1], opened[edge]) << run;
        }
    }
    EXPECT_LT(std::count(firstTracks.begin(), firstTracks.end(), firstTracks[0]), 5)
        << "every run began with " << firstTracks[0];
}

// Started unquoted, "...\Program Files\velorandix.exe" would run "...\Program.exe" first.
TEST_F(SaverRun, APlantedProgramBesideAFolderWithABlankNeverRuns)
{
    ScratchFolder plainFolder("saver_run_planted");
    std::string plain = plainFolder.Path();
    std::string folder = plain + "\\Program Files";
    CreateDirectoryA(folder.c_str(), nullptr);
    std::string target = folder + "\\velorandix.exe";
    ASSERT_TRUE(CopyInto(accessory, target));
    ASSERT_TRUE(CopyInto(accessory, plain + "\\Program.exe"));
    WriteSettings(target, "");

    Child& saverRun = StartSaver("/s");
    ASSERT_NE(WaitForFullScreen(saverRun, true), nullptr);
    EXPECT_EQ(LowerCase(LogLine("module")), LowerCase(target));
    EXPECT_EQ(LowerCase(Log()).find("program.exe"), std::string::npos);
    EXPECT_EQ(LowerCase(LogLine("cwd")), LowerCase(folder));
    PressKey(VK_SPACE);
    EXPECT_EQ(WaitForExit(saverRun, 10000), 0u);
}

TEST_F(SaverRun, AHungAccessoryDelaysTheEndByAtMostTheBoundedWait)
{
    DWORD took = 0;
    ASSERT_NO_FATAL_FAILURE(EndWithAccessoryIn("hang", ACCESSORY_EXIT_TIMEOUT + 7000, &took));
    EXPECT_TRUE(WaitForLog("hang", 1000));
    EXPECT_LE(took, ACCESSORY_EXIT_TIMEOUT + 2500);
    EXPECT_GE(took, ACCESSORY_EXIT_TIMEOUT - 500); // it did wait for the accessory
}

TEST_F(SaverRun, AnAccessoryThatIgnoresTheCommandIsLeftRunning)
{
    DWORD took = 0;
    ASSERT_NO_FATAL_FAILURE(EndWithAccessoryIn("ignore", 10000, &took));
    EXPECT_LT(took, 2500u);
    EXPECT_TRUE(WaitForLog("ignore", 2000));
    EXPECT_NE(WaitForWindow(0, ACCESSORY_CLASS, nullptr, 1000), nullptr);
}

// The debugger output of every process, read as a debug monitor reads it: through the shared
// DBWIN buffer that OutputDebugStringA fills when a monitor has set up its events.
class DebugOutputMonitor {
public:
    DebugOutputMonitor()
    {
        InitializeCriticalSection(&lock);
        bufferReady = CreateEventA(nullptr, FALSE, FALSE, "DBWIN_BUFFER_READY");
        dataReady = CreateEventA(nullptr, FALSE, FALSE, "DBWIN_DATA_READY");
        mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096,
                                     "DBWIN_BUFFER");
        view = static_cast<const char*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 4096));
        thread = CreateThread(nullptr, 0, Run, this, 0, nullptr);
    }
    ~DebugOutputMonitor()
    {
        stopping = true;
        SetEvent(dataReady);
        WaitForSingleObject(thread, 5000);
        CloseHandle(thread);
        UnmapViewOfFile(view);
        CloseHandle(mapping);
        CloseHandle(dataReady);
        CloseHandle(bufferReady);
        DeleteCriticalSection(&lock);
    }

    std::vector<std::string> LinesOf(DWORD processId)
    {
        std::vector<std::string> result;
        EnterCriticalSection(&lock);
        for (const auto& line : lines)
            if (line.first == processId)
                result.push_back(line.second);
        LeaveCriticalSection(&lock);
        return result;
    }

private:
    static DWORD WINAPI Run(void* context)
    {
        DebugOutputMonitor* self = static_cast<DebugOutputMonitor*>(context);
        for (;;) {
            SetEvent(self->bufferReady);
            WaitForSingleObject(self->dataReady, INFINITE);
            if (self->stopping)
                return 0;
            DWORD processId = *reinterpret_cast<const DWORD*>(self->view);
            std::string text(self->view + sizeof(DWORD), strnlen(self->view + sizeof(DWORD),
                                                                 4096 - sizeof(DWORD)));
            EnterCriticalSection(&self->lock);
            self->lines.push_back({processId, text});
            LeaveCriticalSection(&self->lock);
        }
    }

    CRITICAL_SECTION lock;
    HANDLE bufferReady, dataReady, mapping, thread;
    const char* view;
    volatile bool stopping = false;
    std::vector<std::pair<DWORD, std::string>> lines;
};

TEST_F(SaverRun, TheDebuggerLinesComeInOrder)
{
    DebugOutputMonitor monitor;
    WriteSettings(accessory, "");
    Child& saverRun = StartSaver("/s");
    DWORD processId = saverRun.processId;
    ASSERT_NE(WaitForFullScreen(saverRun, true), nullptr);
    PressKey(VK_SPACE);
    EXPECT_EQ(WaitForExit(saverRun, 10000), 0u);
    PumpFor(500);

    // The Japanese line in code page 932 bytes: に を 送 信.
    std::vector<std::string> expected = {
        "WM_CREATE\n",
        "WM_CLOSE\n",
        "velorandix.exe\x82\xc9IDM_EXIT\x82\xf0\x91\x97\x90\x4d\n",
        "WM_DESTROY\n",
    };
    EXPECT_EQ(monitor.LinesOf(processId), expected);
}

// The volume and the gentle start, heard. With both keys absent the music reaches the device
// at its files' own level, as it always did; at volume 0 nothing plays. Volume 50 with a gentle
// start plays through the system's session volume, and a key in the rise ends the saver as
// fast as without the keys. Wine takes the session's level but does not apply it to what MCI
// plays, so the level of that run tells nothing and is not checked.
TEST_F(SaverRun, VolumeZeroPlaysNothingTheKeysAbsentKeepTheLevelAndAKeyEndsTheGentleStart)
{
    const std::string keys[] = {"", "volume=0\r\n", "volume=50\r\nfadein=1\r\n"};
    DWORD asBefore = 0; // from the key to the exit with the keys absent
    for (const std::string& lines : keys) {
        SCOPED_TRACE(lines);
        ASSERT_TRUE(WriteSettingsText(SettingsFileOf(saver),
                                      SettingsText({{BACKGROUND_COLOR_KEY, "0"},
                                                    {ACCESSORY_PATH_KEY, accessory},
                                                    {PLAYLIST_PATH_KEY, playlist}}) +
                                          lines));
        long long captureAtStart = CaptureSize();
        Child& saverRun = StartSaver("/s");
        ASSERT_NE(WaitForFullScreen(saverRun, true), nullptr);
        // Past the music's first tick, or until a second of sound has reached the device.
        for (DWORD start = GetTickCount(); CaptureSize() - captureAtStart < TONE_SAMPLE_RATE * 2 &&
                                           GetTickCount() - start < 4000;)
            PumpFor(50);
        std::vector<int16_t> heard = CapturedSamples(captureAtStart);
        if (lines == keys[1]) {
            EXPECT_TRUE(heard.empty()) << heard.size() << " samples at volume 0";
        } else {
            EXPECT_GE(heard.size(), static_cast<size_t>(TONE_SAMPLE_RATE)) << "no music";
        }
        if (lines.empty()) {
            EXPECT_NEAR(PeakOf(heard), Tone().amplitude, Tone().amplitude / 50) << "another level";
        }
        DWORD pressed = GetTickCount();
        PressKey(VK_SPACE);
        EXPECT_EQ(WaitForExit(saverRun, 10000), 0u);
        // Wine waits for a window manager at each window's end (2 s without one), in every run.
        asBefore = lines.empty() ? GetTickCount() - pressed : asBefore;
        EXPECT_LT(GetTickCount() - pressed, asBefore + 500) << "the key waited";
        EndAccessories();
    }
}

// ---- Tracks that cannot play, and old playlists under UTF-8 ---------------------------------

// The first two of 440 and 660 Hz heard in the capture from `from` on, within 15 s.
static std::vector<double> FirstTwoTonesHeard(long long from)
{
    std::vector<double> tones;
    for (DWORD start = GetTickCount(); tones.size() < 2 && GetTickCount() - start < 15000;) {
        PumpFor(250);
        tones = TonesHeard(CapturedSamples(from), {440, 660});
    }
    return tones.size() > 2 ? std::vector<double>(tones.begin(), tones.begin() + 2) : tones;
}

// Eight tracks whose files have gone, then two that play: the first one heard is the first
// good one, at the music's first tick a second after the window is made, where a track passed
// over a tick took eight seconds more. The first open loads the wave device's driver; the seven
// after it fail in a few milliseconds each under Wine (1.09 s to the first sound on a quiet
// machine, 1.24 s with three busy loops on two cores), well before the second tick.
TEST_F(SaverRun, AGoodTrackBehindEightMissingOnesIsTheFirstHeardAtTheMusicsFirstTick)
{
    std::string lines;
    for (int gone = 1; gone <= 8; ++gone)
        lines += "gone" + std::to_string(gone) + ".wav\r\n";
    ASSERT_TRUE(WriteTextFile(playlist, lines + "tone1.wav\r\ntone2.wav\r\n"));
    WriteSettings(saver, playlist);
    long long from = CaptureSize();
    Child& saverRun = StartSaver("/s");
    ASSERT_NE(WaitForWindow(saverRun.processId, SAVER_CLASS_NAME, FULL_SCREEN_TITLE, 15000),
              nullptr);
    DWORD made = GetTickCount(), heardAfter = 0;
    while (heardAfter == 0 && GetTickCount() - made < 15000) {
        PumpFor(50);
        heardAfter = CaptureSize() > from ? GetTickCount() - made : 0;
    }
    RecordProperty("firstSoundMs", static_cast<int>(heardAfter));
    EXPECT_GT(heardAfter, 0u);
    EXPECT_LT(heardAfter, 1900u) << "not at the first tick";
    EXPECT_EQ(FirstTwoTonesHeard(from), (std::vector<double>{440, 660}));
    PressKey(VK_SPACE);
    EXPECT_EQ(WaitForExit(saverRun, 10000), 0u);
}

// A Japanese system whose user's locale is English, under UTF-8: a playlist in Shift-JIS, as
// older programs there wrote it, plays. Read in the user locale's 1252 it would name no file.
TEST_F(SaverRun, AShiftJisPlaylistPlaysUnderUtf8OnAJapaneseSystemWithAnEnglishUser)
{
    std::string music = dir + "\\music\\音楽";
    CreateDirectoryA(music.c_str(), nullptr);
    ASSERT_TRUE(WriteToneWave(music + "\\曲一.wav", {440, 0.4}));
    ASSERT_TRUE(WriteToneWave(music + "\\曲二.wav", {660, 0.4}));
    ASSERT_TRUE(WriteTextFile(playlist, "#EXTM3U\r\n音楽\\曲一.wav\r\n音楽\\曲二.wav\r\n"));
    ASSERT_TRUE(CopyInto(FixturePath("velora_ss_launcher_utf8.scr"), saver));
    WriteSettings(saver, playlist);
    long long from = CaptureSize();
    Child& saverRun = StartSaverIn(JAPANESE_SYSTEM_ENGLISH_USER, "/s");
    ASSERT_NE(WaitForFullScreen(saverRun, false), nullptr);
    EXPECT_EQ(FirstTwoTonesHeard(from), (std::vector<double>{440, 660}));
    PressKey(VK_SPACE);
    EXPECT_EQ(WaitForExit(saverRun, 10000), 0u);
}
