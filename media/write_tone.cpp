// Writes one tone as a WAV file with the one tone generator, for the scripts that play music
// under Wine (the demo and the benchmark), so that every tone comes from the same code.
//
//   write_tone <path> <frequency Hz> <seconds> <sample rate> <channels> <amplitude> <fade samples>
#include "media/tone.h"
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc != 8) {
        std::fprintf(stderr, "usage: write_tone <path> <frequency Hz> <seconds> <sample rate> "
                             "<channels> <amplitude> <fade samples>\n");
        return 2;
    }
    Tone tone = {std::strtod(argv[2], nullptr), std::strtod(argv[3], nullptr),
                 std::atoi(argv[4]), std::atoi(argv[5]), std::strtod(argv[6], nullptr),
                 std::atoi(argv[7])};
    if (!WriteToneWave(argv[1], tone)) {
        std::fprintf(stderr, "write_tone: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
