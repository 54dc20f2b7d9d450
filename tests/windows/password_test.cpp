// The password lock, in-process: close requests on a real saver window (its whole message
// chain) against a verifier of the test's own or the scripted PASSWORD.CPL stand-in, the
// recheck delay across the tick count's wrap, and the hook's loading from the registry switch.
#include "saver_chain_support.h"
#include "saver_host/portable/password_timing.h"
#include "tests/native/recheck_cases.h"
#include <gtest/gtest.h>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

const char TEST_SAVER_CLASS[] = "PasswordTestSaverClass";
const UINT SPI_GETSCREENSAVERRUNNING_ACTION = 114;

std::vector<UINT> gMessages; // every message the saver window received, in order

LRESULT CALLBACK RecordingSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    gMessages.push_back(message);
    return SaverWindowProc(window, message, wParam, lParam);
}

int CountMessages(UINT message)
{
    int count = 0;
    for (UINT m : gMessages)
        count += m == message;
    return count;
}

// A verifier of the test's own: counts its calls, sees the flags as they are during the
// verification, optionally dispatches queued messages as a modal dialog would.
struct FakeVerifier {
    int calls;
    HWND window;
    int checkingDuringCall;
    int pump;
    BOOL answer;
} gVerifier;

BOOL WINAPI FakeVerify(HWND window)
{
    ++gVerifier.calls;
    gVerifier.window = window;
    gVerifier.checkingDuringCall = SaverState.checkingPassword;
    MSG message;
    while (gVerifier.pump && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return gVerifier.answer;
}

// Tick values handed out in order; the last one repeats.
std::vector<DWORD> gTicks;
size_t gTickReads;

DWORD WINAPI ScriptedTickCount()
{
    DWORD tick = gTicks.empty() ? 0 : gTicks[gTickReads < gTicks.size() ? gTickReads
                                                                       : gTicks.size() - 1];
    ++gTickReads;
    return tick;
}

// The folder of the PASSWORD.CPL and MPR.DLL stand-ins.
std::string FixtureDir()
{
    return BuildDir() + "fixtures";
}

int SystemSaysSaverRuns()
{
    BOOL running = FALSE;
    SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING_ACTION, 0, &running, 0);
    return running ? 1 : 0;
}

class PasswordLock : public ::testing::Test {
protected:
    void SetUp() override
    {
        SaverState.saver = StubSaver();
        SaverState.isWin9x = 1;
        SaverState.isPreview = 0;
        SaverState.closeAllowed = 0;
        SaverState.checkingPassword = 0;
        SaverState.lastCheckTick = NO_CHECK_YET;
        SaverState.verifyPasswordEntry = nullptr;
        SaverState.passwordLibrary = nullptr;
        gVerifier = {};
        gTicks.clear();
        gTickReads = 0;

        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = RecordingSaverProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = TEST_SAVER_CLASS;
        RegisterClassA(&windowClass);
        window = CreateWindowExA(0, TEST_SAVER_CLASS, FULL_SCREEN_TITLE, WS_POPUP, 0, 0, 200, 150,
                                 nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(window, nullptr);
        SaverState.saverWindow = window;
        gMessages.clear();

        originalSwitchSize = sizeof originalSwitch;
        HKEY desktop;
        hadSwitch = false;
        if (RegOpenKeyA(HKEY_CURRENT_USER, DESKTOP_KEY, &desktop) == ERROR_SUCCESS) {
            hadSwitch = RegQueryValueExA(desktop, USE_PASSWORD_VALUE, nullptr, &originalType,
                                         originalSwitch, &originalSwitchSize) == ERROR_SUCCESS;
            RegCloseKey(desktop);
        }
    }

    void TearDown() override
    {
        UnloadPasswordHook();
        SaverState.verifyPasswordEntry = nullptr;
        PasswordTickCount = GetTickCount;
        SetDllDirectoryA(nullptr);
        if (IsWindow(window))
            DestroyWindow(window);
        // Destruction posts WM_QUIT; nothing may be left for the next test.
        MSG message;
        for (int i = 0; i < 1000 && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE); ++i) {
            if (message.message != WM_QUIT)
                DispatchMessageA(&message);
        }
        if (hadSwitch)
            SetSwitch(originalType, originalSwitch, originalSwitchSize);
        else
            SetSwitch(REG_NONE, nullptr, 0);
    }

    // Writes the registry switch; REG_NONE deletes it.
    static void SetSwitch(DWORD type, const BYTE* data, DWORD size)
    {
        HKEY desktop;
        ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, DESKTOP_KEY, &desktop), ERROR_SUCCESS);
        if (type == REG_NONE)
            RegDeleteValueA(desktop, USE_PASSWORD_VALUE);
        else
            ASSERT_EQ(RegSetValueExA(desktop, USE_PASSWORD_VALUE, 0, type, data, size),
                      ERROR_SUCCESS);
        RegCloseKey(desktop);
    }

    void UseFakeVerifier(BOOL answer)
    {
        gVerifier.answer = answer;
        SaverState.verifyPasswordEntry = FakeVerify;
    }

    void UseTicks(std::vector<DWORD> ticks)
    {
        gTicks = ticks;
        gTickReads = 0;
        PasswordTickCount = ScriptedTickCount;
    }

    ScratchFolder scratch{"windows password"};
    HWND window = nullptr;
    bool hadSwitch = false;
    DWORD originalType = 0;
    BYTE originalSwitch[64];
    DWORD originalSwitchSize = 0;
};

TEST_F(PasswordLock, WithoutAnEntryTheCloseIsAllowedAtOnce)
{
    UseTicks({5000});
    EXPECT_EQ(CheckPasswordOnClose(window), 1);
    EXPECT_EQ(SaverState.closeAllowed, 1);
    EXPECT_EQ(CountMessages(VERIFY_PASSWORD_MESSAGE), 0);
    EXPECT_EQ(gTickReads, 0u);
    EXPECT_EQ(SaverState.lastCheckTick, NO_CHECK_YET);
    // Once allowed, nothing more is checked.
    EXPECT_EQ(CheckPasswordOnClose(window), 0);
}

// Each case as a close request after a refused verification (or before any), the verifier
// refusing again: verified when the delay allows it, the reference moved to its end.
TEST_F(PasswordLock, RecheckDelayDecidesWhetherARequestIsVerified)
{
    for (const RecheckCase& c : RECHECK_CASES) {
        SaverState.closeAllowed = 0;
        SaverState.lastCheckTick = c.lastCheckTick;
        gVerifier.calls = 0;
        gMessages.clear();
        UseFakeVerifier(0);
        UseTicks({c.now, c.now + 30});
        EXPECT_EQ(CheckPasswordOnClose(window), 0) << c.what;
        EXPECT_EQ(gVerifier.calls, c.allowed) << c.what;
        EXPECT_EQ(CountMessages(VERIFY_PASSWORD_MESSAGE), c.allowed) << c.what;
        EXPECT_EQ(SaverState.lastCheckTick, c.allowed ? c.now + 30 : c.lastCheckTick)
            << c.what;
        EXPECT_EQ(SaverState.checkingPassword, 0) << c.what;
    }
}

TEST_F(PasswordLock, RefusalDelaysRequestsFromTheEndOfTheVerification)
{
    UseFakeVerifier(0);
    SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
    UseTicks({1000, 1050});
    EXPECT_EQ(CheckPasswordOnClose(window), 0);
    EXPECT_EQ(gVerifier.calls, 1);
    EXPECT_EQ(gVerifier.window, window);
    EXPECT_EQ(gVerifier.checkingDuringCall, 1);
    EXPECT_EQ(SaverState.lastCheckTick, 1050u);
    EXPECT_EQ(GetCursor(), nullptr) << "a refusal hides the cursor";

    UseTicks({1249});
    EXPECT_EQ(CheckPasswordOnClose(window), 0);
    EXPECT_EQ(gVerifier.calls, 1) << "199 ms after the end: not verified";

    gVerifier.answer = 1;
    UseTicks({1250, 1400});
    EXPECT_EQ(CheckPasswordOnClose(window), 1);
    EXPECT_EQ(gVerifier.calls, 2);
    EXPECT_EQ(SaverState.closeAllowed, 1);
}

TEST_F(PasswordLock, AVerificationEndingAtTheAllOnesTickLeavesTheNextRequestUndelayed)
{
    UseFakeVerifier(0);
    UseTicks({0xFFFFFF00u, 0xFFFFFFFFu});
    EXPECT_EQ(CheckPasswordOnClose(window), 0);
    EXPECT_EQ(SaverState.lastCheckTick, 0xFFFFFFFFu);
    UseTicks({0, 10});
    EXPECT_EQ(CheckPasswordOnClose(window), 0);
    EXPECT_EQ(gVerifier.calls, 2);
}

TEST_F(PasswordLock, AnyNonzeroResultIsStoredAsReturned)
{
    UseFakeVerifier(2);
    EXPECT_EQ(CheckPasswordOnClose(window), 2);
    EXPECT_EQ(SaverState.closeAllowed, 2);
}

TEST_F(PasswordLock, AtMostTwoPendingTimerTicksOfTheSaverWindowAreDropped)
{
    HWND other = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    for (int i = 0; i < 3; ++i)
        PostMessageA(window, WM_TIMER, 77, 0);
    PostMessageA(other, WM_TIMER, 78, 0);
    UseFakeVerifier(0);
    CheckPasswordOnClose(window);
    EXPECT_EQ(gVerifier.calls, 1);
    EXPECT_EQ(CountMessages(WM_TIMER), 0) << "dropped, not dispatched";

    int saverTicks = 0, otherTicks = 0;
    MSG message;
    while (PeekMessageA(&message, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE)) {
        saverTicks += message.hwnd == window;
        otherTicks += message.hwnd == other;
    }
    EXPECT_EQ(saverTicks, 1);
    EXPECT_EQ(otherTicks, 1);
    DestroyWindow(other);
}

TEST_F(PasswordLock, ACloseDispatchedDuringTheVerificationIsRefusedAndMovesTheReference)
{
    SetCursorPos(321, 123);
    POINT cursor;
    GetCursorPos(&cursor);
    SaverState.lastCursor = {-7777, -7777};
    PostMessageA(window, WM_CLOSE, 0, 0);
    UseFakeVerifier(0);
    gVerifier.pump = 1;
    EXPECT_EQ(CheckPasswordOnClose(window), 0);
    EXPECT_EQ(gVerifier.calls, 1) << "no second verification inside the first";
    EXPECT_EQ(CountMessages(WM_CLOSE), 1) << "the queued close was dispatched inside";
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(SaverState.lastCursor.x, cursor.x);
    EXPECT_EQ(SaverState.lastCursor.y, cursor.y);
}

TEST_F(PasswordLock, VerifyMessageAnswersByFamily)
{
    struct Case {
        int isWin9x;
        int entry;
        LRESULT result;
        int calls;
        const char* what;
    };
    const Case cases[] = {
        {1, 0, 1, 0, "95 family without an entry"},
        {1, 1, 2, 1, "95 family: the entry's result unchanged"},
        {0, 1, 0, 0, "NT family: the default window procedure"},
    };
    for (const Case& c : cases) {
        SaverState.isWin9x = c.isWin9x;
        gVerifier.calls = 0;
        gVerifier.answer = 2;
        SaverState.verifyPasswordEntry = c.entry ? FakeVerify : nullptr;
        EXPECT_EQ(SendMessageA(window, VERIFY_PASSWORD_MESSAGE, 0, 0), c.result) << c.what;
        EXPECT_EQ(gVerifier.calls, c.calls) << c.what;
        EXPECT_TRUE(IsWindow(window)) << c.what;
    }
}

TEST_F(PasswordLock, TheRegistrySwitchDecidesWhetherTheModuleIsLoaded)
{
    const BYTE one[] = {1, 0, 0, 0, 0};
    const BYTE zero[] = {0, 0, 0, 0};
    struct Case {
        DWORD type;
        const BYTE* data;
        DWORD size;
        int isWin9x;
        int loaded;
        const char* what;
    };
    const Case cases[] = {
        {REG_DWORD, one, 4, 1, 1, "REG_DWORD 1"},
        {REG_DWORD, zero, 4, 1, 0, "REG_DWORD 0"},
        {REG_NONE, nullptr, 0, 1, 0, "missing"},
        {REG_BINARY, one, 4, 1, 1, "01 00 00 00"},
        {REG_BINARY, zero, 4, 1, 0, "00 00 00 00"},
        {REG_BINARY, one, 1, 1, 1, "one byte 01"},
        {REG_BINARY, zero, 1, 1, 0, "one byte 00"},
        {REG_BINARY, one, 5, 1, 0, "five bytes: longer than the buffer"},
        {REG_DWORD, one, 4, 0, 0, "NT family"},
    };
    ASSERT_TRUE(SetDllDirectoryA(FixtureDir().c_str()));
    for (const Case& c : cases) {
        SaverState.isWin9x = c.isWin9x;
        SetSwitch(c.type, c.data, c.size);
        LoadPasswordHook();
        EXPECT_EQ(SaverState.passwordLibrary != nullptr, c.loaded == 1) << c.what;
        EXPECT_EQ(SaverState.verifyPasswordEntry != nullptr, c.loaded == 1) << c.what;
        if (c.isWin9x) {
            EXPECT_EQ(SystemSaysSaverRuns(), c.loaded) << c.what;
        }
        SaverState.isWin9x = 1;
        UnloadPasswordHook();
        EXPECT_EQ(SaverState.passwordLibrary, nullptr) << c.what;
        EXPECT_EQ(SaverState.verifyPasswordEntry, nullptr) << c.what;
        EXPECT_EQ(SystemSaysSaverRuns(), 0) << c.what;
    }
}

TEST_F(PasswordLock, LoadingAgainUnloadsFirstAndAModuleWithoutTheEntryIsFreedAtOnce)
{
    std::string log = scratch.Path() + "\\password-fixture-reload.log";
    SetEnvironmentVariableA("PASSWORD_FIXTURE_LOG", log.c_str());
    const BYTE one[] = {1, 0, 0, 0};
    SetSwitch(REG_DWORD, one, 4);
    ASSERT_TRUE(SetDllDirectoryA(FixtureDir().c_str()));
    LoadPasswordHook();
    LoadPasswordHook();
    EXPECT_NE(SaverState.verifyPasswordEntry, nullptr);
    EXPECT_EQ(SystemSaysSaverRuns(), 1);
    UnloadPasswordHook();
    EXPECT_EQ(ReadTextFile(log), "load\nunload\nload\nunload\n");

    // A PASSWORD.CPL that lacks the entry: the MPR.DLL stand-in under that name.
    ScratchFolder withoutEntry("windows password without entry");
    std::string dir = withoutEntry.Path();
    ASSERT_TRUE(CopyInto(FixturePath("MPR.DLL"), dir + "\\PASSWORD.CPL"));
    std::string mprLog = scratch.Path() + "\\mpr-fixture-as-password.log";
    SetEnvironmentVariableA("MPR_FIXTURE_LOG", mprLog.c_str());
    ASSERT_TRUE(SetDllDirectoryA(dir.c_str()));
    LoadPasswordHook();
    EXPECT_EQ(SaverState.passwordLibrary, nullptr);
    EXPECT_EQ(SaverState.verifyPasswordEntry, nullptr);
    EXPECT_EQ(SystemSaysSaverRuns(), 0);
    EXPECT_EQ(ReadTextFile(mprLog), "load\nunload\n");
    SetEnvironmentVariableA("PASSWORD_FIXTURE_LOG", nullptr);
    SetEnvironmentVariableA("MPR_FIXTURE_LOG", nullptr);
}

TEST_F(PasswordLock, TheModulesModalDialogReentersTheChainWithoutASecondVerification)
{
    std::string log = scratch.Path() + "\\password-fixture-modal.log";
    std::string script = scratch.Path() + "\\password-fixture-modal.txt";
    ASSERT_TRUE(WriteTextFile(script, "modal 300 1\n"));
    SetEnvironmentVariableA("PASSWORD_FIXTURE_LOG", log.c_str());
    SetEnvironmentVariableA("PASSWORD_FIXTURE_SCRIPT", script.c_str());
    const BYTE one[] = {1, 0, 0, 0};
    SetSwitch(REG_DWORD, one, 4);
    ASSERT_TRUE(SetDllDirectoryA(FixtureDir().c_str()));
    LoadPasswordHook();
    ASSERT_NE(SaverState.verifyPasswordEntry, nullptr);

    SaverState.lastCursor = {-7777, -7777};
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(CheckPasswordOnClose(window), 1);
    EXPECT_EQ(SaverState.closeAllowed, 1);
    EXPECT_EQ(CountMessages(WM_CLOSE), 1) << "the dialog's loop dispatched the queued close";
    EXPECT_NE(SaverState.lastCursor.x, -7777) << "the refused close moved the reference";
    UnloadPasswordHook();

    std::string handle = std::to_string(reinterpret_cast<UINT_PTR>(window));
    EXPECT_EQ(ReadTextFile(log),
              "load\nverify " + handle + " modal 300 1\ndialog " + handle + "\nunload\n");
    SetEnvironmentVariableA("PASSWORD_FIXTURE_LOG", nullptr);
    SetEnvironmentVariableA("PASSWORD_FIXTURE_SCRIPT", nullptr);
}

int FaultingMode(void*)
{
    volatile int* nowhere = reinterpret_cast<int*>(std::getenv("NO_SUCH_VARIABLE_HERE"));
    *nowhere = 1;
    return 0;
}

TEST_F(PasswordLock, TheFaultGuardTellsTheSystemNoSaverRuns)
{
    const BYTE one[] = {1, 0, 0, 0};
    SetSwitch(REG_DWORD, one, 4);
    ASSERT_TRUE(SetDllDirectoryA(FixtureDir().c_str()));
    LoadPasswordHook();
    ASSERT_EQ(SystemSaysSaverRuns(), 1);
    EXPECT_EQ(RunUnderFaultGuard(FaultingMode, nullptr), FAULT_EXIT_CODE);
    EXPECT_EQ(SystemSaysSaverRuns(), 0);
}

} // namespace
