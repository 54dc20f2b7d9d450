// The GUI entry point. Everything it is given is worked out again by SaverStart.
#include "saver_host/saver_host.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    SaverStart();
}
