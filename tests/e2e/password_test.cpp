// The password lock end to end: the real .scr as saver98.scr (Wine reports the Windows 95
// family to it) with the scripted PASSWORD.CPL and MPR.DLL stand-ins beside it, driven by key
// presses, the shell's autoplay query and the /a command line, watched through the stand-ins'
// logs, the accessory stand-in's log, the captured sound and the exit code.
#include "saver_host/saver_host.h"
#include "tests/support/desktop.h"
#include "tests/support/files.h"
#include "tests/support/sound.h"
#include <gtest/gtest.h>
#include <cstdlib>
#include <string>
#include <vector>

const DWORD UNUSABLE = static_cast<DWORD>(UNUSABLE_COMMAND_EXIT_CODE);
const char WIN9X_SAVER[] = "saver98.scr"; // named in the session's Wine AppDefaults
const char NT_SAVER[] = "velora nt.scr";
// A Wine child takes WINEDLLOVERRIDES from the parent's Unix environment, not from the block it
// is given; the per-program overrides in the registry reach these two copies alone.
const char APP_DEFAULTS_KEY[] = "Software\\Wine\\AppDefaults\\";

// The registry switch as a test stores it; REG_NONE deletes it.
struct Switch {
    DWORD type;
    std::vector<BYTE> data;
    const char* what;
};
const Switch SWITCH_ON = {REG_DWORD, {1, 0, 0, 0}, "REG_DWORD 1"};

static std::string HandleText(HWND window)
{
    return std::to_string(reinterpret_cast<UINT_PTR>(window));
}

static int CountLines(const std::string& text, const std::string& prefix)
{
    int count = 0;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos)
            end = text.size();
        count += text.compare(at, prefix.size(), prefix) == 0;
        at = end + 1;
    }
    return count;
}



class PasswordEndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(CopyInto(SaverBinary(), dir + "\\" + WIN9X_SAVER));
        ASSERT_TRUE(CopyInto(SaverBinary(), dir + "\\" + NT_SAVER));
        ASSERT_TRUE(CopyInto(FixturePath("PASSWORD.CPL"), dir + "\\PASSWORD.CPL"));
        ASSERT_TRUE(CopyInto(FixturePath("MPR.DLL"), dir + "\\MPR.DLL"));
        passwordLog = dir + "\\password.log";
        script = dir + "\\script.txt";
        mprLog = dir + "\\mpr.log";
        // An existing file that is not the accessory: no warning box, nothing launched.
        WriteSettings(dir + "\\" + WIN9X_SAVER, "");
        WriteSettings(dir + "\\" + NT_SAVER, "");

        for (const char* saver : {WIN9X_SAVER, NT_SAVER})
            SetNativeMprFor(saver, true);

        HKEY desktop;
        ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, DESKTOP_KEY, &desktop), ERROR_SUCCESS);
        originalSize = sizeof original;
        hadOriginal = RegQueryValueExA(desktop, USE_PASSWORD_VALUE, nullptr, &originalType,
                                       original, &originalSize) == ERROR_SUCCESS;
        RegCloseKey(desktop);
    }

    void TearDown() override
    {
        Kill(child);
        for (const char* saver : {WIN9X_SAVER, NT_SAVER})
            SetNativeMprFor(saver, false);
        if (hadOriginal)
            SetSwitch({originalType, std::vector<BYTE>(original, original + originalSize), ""});
        else
            SetSwitch({REG_NONE, {}, ""});
    }

    // MPR.DLL beside the saver instead of Wine's own, for that program only.
    static void SetNativeMprFor(const char* saver, bool native)
    {
        HKEY app;
        std::string key = std::string(APP_DEFAULTS_KEY) + saver;
        ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, key.c_str(), &app), ERROR_SUCCESS);
        if (native) {
            HKEY overrides;
            ASSERT_EQ(RegCreateKeyA(app, "DllOverrides", &overrides), ERROR_SUCCESS);
            RegSetValueExA(overrides, "mpr", 0, REG_SZ, reinterpret_cast<const BYTE*>("native"),
                           7);
            RegCloseKey(overrides);
        } else {
            RegDeleteKeyA(app, "DllOverrides");
        }
        RegCloseKey(app);
    }

    static void SetSwitch(const Switch& value)
    {
        HKEY desktop;
        ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, DESKTOP_KEY, &desktop), ERROR_SUCCESS);
        if (value.type == REG_NONE)
            RegDeleteValueA(desktop, USE_PASSWORD_VALUE);
        else
            EXPECT_EQ(RegSetValueExA(desktop, USE_PASSWORD_VALUE, 0, value.type,
                                     value.data.data(), static_cast<DWORD>(value.data.size())),
                      ERROR_SUCCESS);
        RegCloseKey(desktop);
    }

    // The settings file of the saver copy at saverPath.
    void WriteSettings(const std::string& saverPath, const std::string& playlist,
                       const std::string& accessory = "")
    {
        ASSERT_TRUE(WriteSettingsFile(saverPath, 0, accessory.empty() ? saverPath : accessory,
                                      playlist));
    }

    std::vector<std::string> Environment() const
    {
        return {"PASSWORD_FIXTURE_LOG=" + passwordLog, "PASSWORD_FIXTURE_SCRIPT=" + script,
                "MPR_FIXTURE_LOG=" + mprLog, "VELORANDIX_LOG=" + dir + "\\velorandix.log"};
    }

    Child StartSaver(const char* name, const std::string& tail)
    {
        return Start(dir + "\\" + name, "\"" + std::string(name) + "\" " + tail, Environment());
    }

    // Starts the full-screen run and waits until its window is up and in front.
    HWND StartFullScreen(const char* name = WIN9X_SAVER)
    {
        child = StartSaver(name, "/s");
        HWND window = WaitForWindow(child.processId, SAVER_CLASS_NAME, FULL_SCREEN_TITLE, 15000);
        EXPECT_NE(window, nullptr) << "no full-screen window";
        PumpFor(500);
        return window;
    }

    bool WaitForLogLines(const std::string& path, const std::string& prefix, int count,
                         DWORD timeoutMs)
    {
        DWORD start = GetTickCount();
        while (CountLines(ReadTextFile(path), prefix) < count) {
            if (GetTickCount() - start > timeoutMs)
                return false;
            PumpFor(50);
        }
        return true;
    }

    // A window of the driver's own, in front, so that "the foreground window" is known.
    static HWND MakeForegroundWindow(const char* title)
    {
        HWND window = CreateWindowExA(0, "STATIC", title, WS_POPUP | WS_VISIBLE, 10, 10, 60, 40,
                                      nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        SetForegroundWindow(window);
        PumpFor(200);
        return window;
    }

    ScratchFolder scratch{std::string("password ") +
                          ::testing::UnitTest::GetInstance()->current_test_info()->name()};
    std::string dir = scratch.Path();
    std::string passwordLog, script, mprLog;
    Child child;
    bool hadOriginal = false;
    DWORD originalType = 0;
    BYTE original[64];
    DWORD originalSize = 0;
};

TEST_F(PasswordEndToEnd, ARefusalKeepsTheSaverUpAfterTheCloseSequenceAndAcceptanceEndsTheRun)
{
    ASSERT_NE(std::getenv("WINE_SESSION_DIR"), nullptr);
    ASSERT_TRUE(CopyInto(FixturePath("velorandix.exe"), dir + "\\velorandix.exe"));
    ASSERT_TRUE(WriteToneWave(dir + "\\tone.wav", {660.0, 20.0}));
    ASSERT_TRUE(WriteTextFile(dir + "\\list.m3u", "tone.wav\r\n"));
    WriteSettings(dir + "\\" + WIN9X_SAVER, dir + "\\list.m3u", dir + "\\velorandix.exe");
    SetSwitch(SWITCH_ON);
    ASSERT_TRUE(WriteTextFile(script, "0\n1\n"));

    long long soundStart = CaptureSize();
    HWND window = StartFullScreen();
    ASSERT_NE(window, nullptr);
    std::string accessoryLog = dir + "\\velorandix.log";
    ASSERT_TRUE(WaitForLogLines(accessoryLog, "window", 1, 10000)) << "accessory not started";
    // The music starts on the first timer tick; let half a second of it be captured.
    DWORD start = GetTickCount();
    while (CaptureSize() - soundStart < TONE_SAMPLE_RATE && GetTickCount() - start < 10000)
        PumpFor(50);
    ASSERT_GE(CaptureSize() - soundStart, TONE_SAMPLE_RATE) << "no music before the key";

    PressKey(VK_SPACE);
    ASSERT_TRUE(WaitForLogLines(passwordLog, "verify", 1, 10000)) << "no verification";
    PumpFor(300);
    EXPECT_TRUE(IsWindow(window)) << "a refused close ended the run";
    EXPECT_EQ(WaitForSingleObject(child.process, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    std::string accessory = ReadTextFile(accessoryLog);
    EXPECT_EQ(CountLines(accessory, "IDM_EXIT"), 1) << accessory;
    long long settled = CaptureSize();
    PumpFor(1200);
    EXPECT_EQ(CaptureSize(), settled) << "the music went on after the refused close";

    PressKey(VK_SPACE);
    EXPECT_EQ(WaitForExit(child, 15000), 0u) << "acceptance did not end the run";
    std::string log = ReadTextFile(passwordLog);
    EXPECT_EQ(CountLines(log, "verify " + HandleText(window) + " "), 2) << log;
    EXPECT_EQ(CountLines(log, "load"), 1) << log;
}

TEST_F(PasswordEndToEnd, CloseRequestsDuringTheModulesDialogAreRefusedWithoutAnotherCheck)
{
    SetSwitch(SWITCH_ON);
    ASSERT_TRUE(WriteTextFile(script, "modal 0 0\n1\n"));
    HWND window = StartFullScreen();
    ASSERT_NE(window, nullptr);

    PressKey(VK_SPACE);
    HWND dialog = WaitForWindow(child.processId, "#32770", "Password fixture", 10000);
    ASSERT_NE(dialog, nullptr) << "the module's dialog did not appear";
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), window);
    // Close requests while the dialog runs: its loop dispatches them into the saver.
    PostMessageA(window, WM_CLOSE, 0, 0);
    PostMessageA(window, WM_CLOSE, 0, 0);
    PumpFor(500);
    EXPECT_TRUE(IsWindow(dialog));
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    // Hiding a window waits for the X server's answer first: the verification ends late.
    for (int i = 0; i < 100 && IsWindow(dialog); ++i)
        PumpFor(50);
    ASSERT_FALSE(IsWindow(dialog));
    PumpFor(400);
    EXPECT_TRUE(IsWindow(window)) << "the refused verification ended the run";
    EXPECT_EQ(CountLines(ReadTextFile(passwordLog), "verify"), 1);

    PressKey(VK_SPACE);
    EXPECT_EQ(WaitForExit(child, 15000), 0u);
    std::string log = ReadTextFile(passwordLog);
    EXPECT_EQ(CountLines(log, "verify"), 2) << log;
    EXPECT_EQ(CountLines(log, "dialog " + HandleText(window)), 1) << log;
}

TEST_F(PasswordEndToEnd, TheRegistrySwitchDecidesWhetherTheFirstKeyEndsTheRun)
{
    struct Case {
        Switch value;
        bool locked;
    };
    const Case cases[] = {
        {{REG_DWORD, {0, 0, 0, 0}, "REG_DWORD 0"}, false},
        {{REG_NONE, {}, "missing"}, false},
        {{REG_BINARY, {0, 0, 0, 0}, "00 00 00 00"}, false},
        {{REG_BINARY, {0}, "one byte 00"}, false},
        {{REG_BINARY, {1, 0, 0, 0, 0}, "five bytes"}, false},
        {{REG_BINARY, {1, 0, 0, 0}, "01 00 00 00"}, true},
        {{REG_BINARY, {1}, "one byte 01"}, true},
    };
    for (const Case& c : cases) {
        SetSwitch(c.value);
        DeleteFileA(passwordLog.c_str());
        ASSERT_TRUE(WriteTextFile(script, "1\n"));
        HWND window = StartFullScreen();
        ASSERT_NE(window, nullptr) << c.value.what;
        PressKey(VK_SPACE);
        EXPECT_EQ(WaitForExit(child, 15000), 0u) << c.value.what;
        std::string log = ReadTextFile(passwordLog);
        if (c.locked)
            EXPECT_EQ(log, "load\nverify " + HandleText(window) + " 1\nunload\n")
                << c.value.what;
        else
            EXPECT_EQ(log, "") << c.value.what << ": the module was loaded";
    }
}

TEST_F(PasswordEndToEnd, AFaultInTheModuleEndsTheRunWithMinusOne)
{
    SetSwitch(SWITCH_ON);
    ASSERT_TRUE(WriteTextFile(script, "fault\n"));
    ASSERT_NE(StartFullScreen(), nullptr);
    PressKey(VK_SPACE);
    EXPECT_EQ(WaitForExit(child, 20000), static_cast<DWORD>(FAULT_EXIT_CODE));
    EXPECT_EQ(CountLines(ReadTextFile(passwordLog), "verify"), 1);
}

TEST_F(PasswordEndToEnd, TheAutoPlayQueryIsAnsweredOnTheWin9xFamilyOnly)
{
    const UINT autoPlay = RegisterWindowMessageA("QueryCancelAutoPlay");
    DWORD_PTR answer = 99;

    // 95 family with a password: AutoPlay is cancelled and the close waits for the password.
    SetSwitch(SWITCH_ON);
    ASSERT_TRUE(WriteTextFile(script, "0\n1\n"));
    HWND window = StartFullScreen();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(SendMessageTimeoutA(window, autoPlay, 0, 0, SMTO_NORMAL, 5000, &answer));
    EXPECT_EQ(answer, 1u);
    EXPECT_TRUE(WaitForLogLines(passwordLog, "verify", 1, 10000));
    PumpFor(300);
    EXPECT_TRUE(IsWindow(window));
    ASSERT_TRUE(SendMessageTimeoutA(window, autoPlay, 0, 0, SMTO_NORMAL, 5000, &answer));
    EXPECT_EQ(answer, 1u);
    EXPECT_EQ(WaitForExit(child, 10000), 0u) << "accepted at the second query";

    // Without one: AutoPlay goes on and the saver closes.
    SetSwitch({REG_NONE, {}, ""});
    window = StartFullScreen();
    ASSERT_NE(window, nullptr);
    answer = 99;
    ASSERT_TRUE(SendMessageTimeoutA(window, autoPlay, 0, 0, SMTO_NORMAL, 5000, &answer));
    EXPECT_EQ(answer, 0u);
    EXPECT_EQ(WaitForExit(child, 10000), 0u);

    // The NT family does not know the message: the default answer, and the saver stays.
    SetSwitch(SWITCH_ON);
    window = StartFullScreen(NT_SAVER);
    ASSERT_NE(window, nullptr);
    answer = 99;
    ASSERT_TRUE(SendMessageTimeoutA(window, autoPlay, 0, 0, SMTO_NORMAL, 5000, &answer));
    EXPECT_EQ(answer, 0u);
    PumpFor(500);
    EXPECT_TRUE(IsWindow(window));
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForExit(child, 10000), 0u);

    // The preview registers it on the 95 family too; it has no password, so it closes.
    struct PreviewCase {
        const char* saver;
        bool closes;
    };
    const PreviewCase previews[] = {{WIN9X_SAVER, true}, {NT_SAVER, false}};
    for (const PreviewCase& p : previews) {
        HWND host = MakePreviewHost(10, 10);
        child = StartSaver(p.saver, "/p " + HandleText(host));
        HWND preview = WaitForChildWindow(host, SAVER_CLASS_NAME, PREVIEW_TITLE, 15000);
        ASSERT_NE(preview, nullptr) << p.saver;
        answer = 99;
        ASSERT_TRUE(SendMessageTimeoutA(preview, autoPlay, 0, 0, SMTO_NORMAL, 5000, &answer));
        EXPECT_EQ(answer, 0u) << p.saver;
        if (!p.closes) {
            PumpFor(500);
            EXPECT_TRUE(IsWindow(preview)) << p.saver;
            DestroyWindow(host);
        }
        EXPECT_EQ(WaitForExit(child, 10000), 0u) << p.saver;
        if (IsWindow(host))
            DestroyWindow(host);
    }
    EXPECT_EQ(CountLines(ReadTextFile(passwordLog), "load"), 1) << "loaded in a preview";
}

TEST_F(PasswordEndToEnd, ChangePasswordCallsTheProviderWithTheOwnerWindow)
{
    HWND named = CreateWindowExA(0, "STATIC", "named owner", WS_POPUP | WS_VISIBLE, 80, 10, 60,
                                 40, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    HWND gone = CreateWindowExA(0, "STATIC", "gone", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    DestroyWindow(gone);
    HWND front = MakeForegroundWindow("foreground");

    struct Case {
        std::string tail;
        HWND expected;
    };
    const Case cases[] = {
        {"/a " + HandleText(named), named}, {"/A   " + HandleText(named), named},
        {"/a", front},                      {"/a 0", front},
        {"/a " + HandleText(gone), front},  {"/a abc", front},
    };
    for (const Case& c : cases) {
        DeleteFileA(mprLog.c_str());
        SetForegroundWindow(front);
        PumpFor(200);
        child = StartSaver(WIN9X_SAVER, c.tail);
        EXPECT_EQ(WaitForExit(child, 15000), 0u) << c.tail;
        EXPECT_EQ(ReadTextFile(mprLog),
                  "load\nPwdChangePasswordA SCRSAVE " + HandleText(c.expected) + " 0 0\nunload\n")
            << c.tail;
    }

    // The NT family refuses the switch before anything is loaded.
    DeleteFileA(mprLog.c_str());
    child = StartSaver(NT_SAVER, "/a " + HandleText(named));
    EXPECT_EQ(WaitForExit(child, 15000), UNUSABLE);
    EXPECT_EQ(ReadTextFile(mprLog), "");
    DestroyWindow(named);
    DestroyWindow(front);
}
