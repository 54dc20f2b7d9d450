// The configure mode: the saver's settings dialog, modal over the window the command line
// names (or none).
#include "saver_host/saver_host.h"
#include <commctrl.h>

const char COMMON_CONTROLS_LIBRARY[] = "COMCTL32.DLL";
const char INIT_CONTROLS_EX_ENTRY[] = "InitCommonControlsEx";
const char INIT_CONTROLS_ENTRY[] = "InitCommonControls";
// Version 6's button, edit and static, which the manifest's dependency puts in place of
// USER32's own, and the trackbar with the other bars: from version 4.70 on the library
// registers only the classes asked for, and a dialog whose template names a class that is not
// registered is not made at all. Older versions may refuse the first bit; InitCommonControls
// serves them, with every class of its time.
const DWORD DIALOG_CONTROL_CLASSES = 0x00004000 | ICC_BAR_CLASSES; // ICC_STANDARD_CLASSES too

typedef BOOL(WINAPI* InitControlsExFunction)(const INITCOMMONCONTROLSEX* classes);
typedef void(WINAPI* InitControlsFunction)();

int ShowConfigDialog(HWND owner)
{
    if (!PrepareConfigDialog(SaverState.instance))
        return NORMAL_EXIT_CODE;
    const SaverDefinition* saver = SaverState.saver;
    if (saver == nullptr || saver->configDialogProc == nullptr)
        return NORMAL_EXIT_CODE; // a saver without settings has nothing to configure
    if (SaverState.isWin9x)
        return static_cast<int>(DialogBoxParamA(SaverState.instance,
                                                MAKEINTRESOURCEA(saver->configDialogTemplate),
                                                owner,
                                                saver->configDialogProc,
                                                0));
    return static_cast<int>(DialogBoxParamW(SaverState.instance,
                                            MAKEINTRESOURCEW(saver->configDialogTemplate),
                                            owner,
                                            saver->configDialogProc,
                                            0));
}

// The manifest asks for Common Controls 6, whose classes exist only in a process that has
// loaded COMCTL32 and initialised it: without that, Windows XP makes no dialog at all. It is
// loaded here, not imported, so that a full-screen run never loads it. InitCommonControlsEx
// came with version 4.70; the first Windows 95 has only InitCommonControls, and there, as
// wherever the library or version 6 is missing, the dialog opens with USER32's controls. The
// library stays loaded until the process ends: the dialog's controls are its windows.
int PrepareConfigDialog(HINSTANCE)
{
    HMODULE library = LoadLibraryA(COMMON_CONTROLS_LIBRARY);
    if (!library)
        return 1;
    auto initEx =
        reinterpret_cast<InitControlsExFunction>(GetProcAddress(library, INIT_CONTROLS_EX_ENTRY));
    INITCOMMONCONTROLSEX classes = {sizeof classes, DIALOG_CONTROL_CLASSES};
    if (initEx && initEx(&classes))
        return 1;
    auto init =
        reinterpret_cast<InitControlsFunction>(GetProcAddress(library, INIT_CONTROLS_ENTRY));
    if (init)
        init();
    return 1;
}
