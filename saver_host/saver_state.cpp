// The saver host's process-wide record.
#include "saver_host/saver_host.h"

SaverStateRecord SaverState;

void ResetSaverState()
{
    SaverState = SaverStateRecord();
}
