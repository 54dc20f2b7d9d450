// The settings dialog's process-wide record.
#include "config_dialog/config_dialog.h"

ConfigDialogStateRecord ConfigDialogState;

void ResetConfigDialogState()
{
    ConfigDialogState = ConfigDialogStateRecord();
}
