// The gentle start's level at each moment of it.
#include "launcher/portable/fade_in.h"

float FadeLevel(uint32_t startTick, uint32_t nowTick, int volume)
{
    // Unsigned: a fade begun just before the tick count wraps to 0 goes on across it.
    uint32_t elapsed = nowTick - startTick;
    if (elapsed >= FADE_IN_MS)
        return VolumeLevel(volume);
    float part = static_cast<float>(elapsed) / FADE_IN_MS;
    return VolumeLevel(volume) * part * part;
}
