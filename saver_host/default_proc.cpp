// Placeholder until default handling arrives.
#include "saver_host/saver_host.h"
LRESULT DefaultSaverProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProcA(w, m, wp, lp); }
