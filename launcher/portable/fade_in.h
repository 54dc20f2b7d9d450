// The music's level in its audio session: the level a volume setting stands for, and the
// gentle start's rise from silence to it over the music's first seconds. Platform-free.
#pragma once
#include <cstdint>

// The volume setting's full level: the session as loud as the system lets it be.
const int FULL_VOLUME = 100;
// How long the gentle start takes to reach the volume.
const uint32_t FADE_IN_MS = 3000;

// The session's level for a volume of 0 to FULL_VOLUME: 0 is silence, 1 the full level, as the
// Volume Mixer's slider for the program shows it (25 is that slider at 25). A volume outside
// the range counts as its nearer end.
inline float VolumeLevel(int volume)
{
    if (volume <= 0)
        return 0.0f;
    return volume >= FULL_VOLUME ? 1.0f : static_cast<float>(volume) / FULL_VOLUME;
}
// The level at nowTick of a fade that began at startTick, both in milliseconds as the system's
// tick count gives them, across its wrap at 2^32: silence at the start, the volume's level
// from FADE_IN_MS on. In between the level follows the square of the time gone by: the ear
// hears loudness roughly as the 0.6th power of the level, so a squared level rises about
// evenly to it (a straight line would jump at first and then seem to stall).
float FadeLevel(uint32_t startTick, uint32_t nowTick, int volume);
