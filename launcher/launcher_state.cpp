// The launcher's record of one saver run.
#include "launcher/launcher_state.h"

LauncherStateRecord LauncherState;

void ResetLauncherState()
{
    LauncherState = LauncherStateRecord();
}
