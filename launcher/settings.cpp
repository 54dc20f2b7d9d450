// Placeholder until the settings store arrives.
#include "launcher/settings.h"
LauncherSettingsRecord LauncherSettings;
void LoadSettings() { LauncherSettings.backgroundColor = DEFAULT_BACKGROUND_COLOR; }
void SaveSettings() {}
