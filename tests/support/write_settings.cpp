// Writes the settings file beside a saver with the tests' settings writer, for the scripts that
// run the saver (the demo, the benchmark, the dialog's picture), so that their settings take
// the product's keys as the tests' do.
//
//   write_settings <saver path> <colour> <accessory path> <playlist path>
#include "tests/support/files.h"
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc != 5) {
        std::fprintf(stderr,
                     "usage: write_settings <saver path> <colour> <accessory path> "
                     "<playlist path>\n");
        return 2;
    }
    COLORREF color = static_cast<COLORREF>(std::strtol(argv[2], nullptr, 10));
    if (!WriteSettingsFile(argv[1], color, argv[3], argv[4])) {
        std::fprintf(stderr, "write_settings: cannot write the settings of %s\n", argv[1]);
        return 1;
    }
    return 0;
}
