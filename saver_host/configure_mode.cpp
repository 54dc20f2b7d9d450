// The configure mode: the saver's settings dialog, modal over the window the command line
// names (or none).
#include "saver_host/saver_host.h"

int ShowConfigDialog(HWND owner)
{
    if (!PrepareConfigDialog(SaverState.instance))
        return 0;
    const SaverDefinition* saver = SaverState.saver;
    if (saver == nullptr || saver->configDialogProc == nullptr)
        return 0; // a saver without settings has nothing to configure
    return static_cast<int>(DialogBoxParamA(SaverState.instance,
                                            MAKEINTRESOURCEA(saver->configDialogTemplate),
                                            owner,
                                            saver->configDialogProc,
                                            0));
}

// The place for a saver host to register dialog classes before the dialog is made; this one
// needs none.
int PrepareConfigDialog(HINSTANCE)
{
    return 1;
}
