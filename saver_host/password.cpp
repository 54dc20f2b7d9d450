// Placeholder until the password lock arrives: what it does on the NT family.
#include "saver_host/saver_host.h"
void LoadPasswordHook() {}
void UnloadPasswordHook() {}
void SetScreenSaverRunning(int) {}
int CheckPasswordOnClose(HWND) { SaverState.closeAllowed = 1; return 1; }
int ChangePassword(const char*) { return 0; }
