// The program's entry: binds this saver's parts to the saver host and starts it.
#include "config_dialog/config_dialog.h"
#include "launcher/launcher_saver.h"
#include "resources/resource_ids.h"
#include "saver_host/saver_host.h"

static const SaverDefinition VELORA_SAVER = {
    LauncherSaverProc,
    ConfigDialogProc,
    CONFIG_DIALOG_TEMPLATE,
};

// Everything it is given is worked out again by SaverStart, which never returns.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    SaverStart(&VELORA_SAVER);
}
