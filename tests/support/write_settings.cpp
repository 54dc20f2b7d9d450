// Writes the settings file beside a saver, for the scripts that run the saver (the demo, the
// benchmark, the dialog's picture), with keys by name. Only the product's keys are taken, so
// that a script cannot write one the saver never reads; a key not named is left out, and the
// saver reads its default. A user's own file of that saver, which the saver would read in its
// stead, is removed.
//
//   write_settings <saver path> [<key>=<value>]...
//   e.g. write_settings 'Z:\run\velora_ss_launcher.scr' bgcolor=5263440 playorder=1
#include "tests/support/files.h"
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

static bool IsSettingsKey(const std::string& name)
{
    for (const SettingsKey& key : SETTINGS_KEYS)
        if (name == key.name)
            return true;
    return false;
}

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: write_settings <saver path> [<key>=<value>]...\n");
        return 2;
    }
    std::string text = SettingsText({});
    for (int i = 2; i < argc; ++i) {
        const char* equals = std::strchr(argv[i], '=');
        std::string name = equals ? std::string(argv[i], equals - argv[i]) : argv[i];
        if (!equals || !IsSettingsKey(name)) {
            std::fprintf(stderr, "write_settings: '%s' is no <key>=<value> of a setting\n",
                         argv[i]);
            return 2;
        }
        text += std::string(argv[i]) + "\r\n";
    }
    std::string userFile = UserSettingsFileOf(argv[1]);
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, userFile.c_str());
    DeleteFileA(userFile.c_str());
    if (!WriteSettingsText(SettingsFileOf(argv[1]), text)) {
        std::fprintf(stderr, "write_settings: cannot write the settings of %s\n", argv[1]);
        return 1;
    }
    return 0;
}
