// Placeholder until the saver window arrives.
#include "saver_host/saver_host.h"
int RunSaver(HWND) { return 0; }
LRESULT CALLBACK SaverWindowProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProcA(w, m, wp, lp); }
