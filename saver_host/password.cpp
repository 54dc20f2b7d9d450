// The password lock of the Windows 95 family: the control panel's password module guards
// every close of a full-screen run, and /a hands the password change to MPR.DLL.
#include "saver_host/saver_host.h"
#include "saver_host/portable/password_timing.h"

// The tick source of the recheck delay; tests set it to reach the tick count's wrap.
DWORD(WINAPI* PasswordTickCount)() = GetTickCount;

const char PASSWORD_LIBRARY[] = "PASSWORD.CPL";
const char VERIFY_PASSWORD_ENTRY[] = "VerifyScreenSavePwd";
const char CHANGE_PASSWORD_LIBRARY[] = "MPR.DLL";
const char CHANGE_PASSWORD_ENTRY[] = "PwdChangePasswordA";
const char PASSWORD_PROVIDER[] = "SCRSAVE";
const UINT SPI_SETSCREENSAVERRUNNING_ACTION = 97;

// PwdChangePasswordA of MPR.DLL: provider, parent window and two reserved zeros.
typedef DWORD(WINAPI* ChangePasswordFunction)(LPCSTR provider, HWND window, DWORD reserved,
                                              DWORD flags);

// The control panel's switch. The buffer is zeroed first: a value stored in fewer than four
// bytes fills only its own bytes, and the rest must read as zero, not as stack leftovers.
static int PasswordSwitchIsOn(HKEY desktop)
{
    DWORD value = 0;
    DWORD size = sizeof value;
    LONG result = RegQueryValueExA(desktop,
                                   USE_PASSWORD_VALUE,
                                   nullptr,
                                   nullptr,
                                   reinterpret_cast<BYTE*>(&value),
                                   &size);
    return result == ERROR_SUCCESS && value != 0;
}

void LoadPasswordHook()
{
    if (!SaverState.isWin9x)
        return;
    if (SaverState.passwordLibrary)
        UnloadPasswordHook();

    HKEY desktop;
    if (RegOpenKeyA(HKEY_CURRENT_USER, DESKTOP_KEY, &desktop) != ERROR_SUCCESS)
        return;
    if (PasswordSwitchIsOn(desktop)) {
        SaverState.passwordLibrary = LoadLibraryA(PASSWORD_LIBRARY);
        if (SaverState.passwordLibrary) {
            SaverState.verifyPasswordEntry = reinterpret_cast<VerifyPasswordFunction>(
                GetProcAddress(SaverState.passwordLibrary, VERIFY_PASSWORD_ENTRY));
            if (SaverState.verifyPasswordEntry)
                SetScreenSaverRunning(1);
            else
                UnloadPasswordHook();
        }
    }
    RegCloseKey(desktop);
}

void UnloadPasswordHook()
{
    if (!SaverState.isWin9x || !SaverState.passwordLibrary)
        return;
    FreeLibrary(SaverState.passwordLibrary);
    SaverState.passwordLibrary = nullptr;
    if (SaverState.verifyPasswordEntry) {
        SaverState.verifyPasswordEntry = nullptr;
        SetScreenSaverRunning(0);
    }
}

void SetScreenSaverRunning(int flag)
{
    if (!SaverState.isWin9x)
        return;
    UINT previous = 0;
    SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING_ACTION, flag, &previous, 0);
}

// Timer ticks waiting when the verification starts are dropped, not handled once it returns:
// two at most, one for each PeekMessageA, and a third would stay queued. The system keeps one
// tick waiting for each timer, so two cover a saver of up to two timers.
static void DropPendingTimerTicks(HWND window)
{
    MSG message;
    PeekMessageA(&message, window, WM_TIMER, WM_TIMER, PM_REMOVE | PM_NOYIELD);
    PeekMessageA(&message, window, WM_TIMER, WM_TIMER, PM_REMOVE | PM_NOYIELD);
}

int CheckPasswordOnClose(HWND window)
{
    // The verification's dialog dispatches queued close requests: they must not start a
    // second verification inside the first.
    if (SaverState.checkingPassword || SaverState.closeAllowed)
        return 0;
    if (!SaverState.verifyPasswordEntry) {
        SaverState.closeAllowed = 1;
        return 1;
    }
    // A burst of queued close requests (each key and mouse move posts one) must not open the
    // dialog again right after it was refused.
    if (!RecheckAllowed(SaverState.lastCheckTick, PasswordTickCount()))
        return 0;

    SaverState.checkingPassword = 1;
    DropPendingTimerTicks(window);
    LRESULT result = SendMessageA(window, VERIFY_PASSWORD_MESSAGE, 0, 0);
    SaverState.closeAllowed = static_cast<int>(result);
    SaverState.checkingPassword = 0;
    if (result == 0)
        SetCursor(nullptr);
    SaverState.lastCheckTick = PasswordTickCount();
    return SaverState.closeAllowed;
}

int ChangePassword(const char* text)
{
    HWND window = OwnerWindowFromText(text);
    HMODULE library = LoadLibraryA(CHANGE_PASSWORD_LIBRARY);
    if (!library)
        return NORMAL_EXIT_CODE;
    ChangePasswordFunction entry =
        reinterpret_cast<ChangePasswordFunction>(GetProcAddress(library, CHANGE_PASSWORD_ENTRY));
    if (entry)
        entry(PASSWORD_PROVIDER, window, 0, 0);
    FreeLibrary(library);
    return NORMAL_EXIT_CODE;
}
