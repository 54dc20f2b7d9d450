// Placeholder until the launcher behaviour arrives.
#include "launcher/launcher_saver.h"
#include "saver_host/saver_host.h"
LauncherStateRecord LauncherState;
LRESULT LauncherSaverProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefaultSaverProc(w, m, wp, lp); }
int FileExists(const char*) { return 0; }
BOOL CALLBACK FindAccessoryWindow(HWND, LPARAM) { return TRUE; }
