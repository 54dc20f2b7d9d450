// Tones generated as 16-bit PCM WAV files, so that no audio file is kept in the repository.
#include "media/tone.h"
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>

static void PutLittleEndian(std::string& bytes, uint32_t value, int size)
{
    for (int i = 0; i < size; ++i)
        bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
}

std::string ToneWave(const Tone& tone)
{
    const double pi = 3.14159265358979323846;
    const int bytesPerFrame = 2 * tone.channels;
    // Rounded, not cut: 1.2 s at 22.05 kHz is 26460 frames, whose product an x87 unit carries
    // as a hair below.
    int frames = static_cast<int>(std::lround(tone.sampleRate * tone.seconds));
    uint32_t dataBytes = static_cast<uint32_t>(frames) * bytesPerFrame;
    std::string bytes = "RIFF";
    PutLittleEndian(bytes, 36 + dataBytes, 4);
    bytes += "WAVEfmt ";
    PutLittleEndian(bytes, 16, 4);
    PutLittleEndian(bytes, 1, 2); // PCM
    PutLittleEndian(bytes, tone.channels, 2);
    PutLittleEndian(bytes, tone.sampleRate, 4);
    PutLittleEndian(bytes, tone.sampleRate * bytesPerFrame, 4); // bytes per second
    PutLittleEndian(bytes, bytesPerFrame, 2);                   // block alignment
    PutLittleEndian(bytes, 16, 2);                              // bits per sample
    bytes += "data";
    PutLittleEndian(bytes, dataBytes, 4);
    for (int i = 0; i < frames; ++i) {
        double fade = 1.0;
        if (tone.fadeSamples > 0)
            fade = std::min({1.0, static_cast<double>(i) / tone.fadeSamples,
                             static_cast<double>(frames - i) / tone.fadeSamples});
        // Truncated towards zero, the same on every architecture.
        double value = tone.amplitude * fade *
                       std::sin(2.0 * pi * tone.frequency * i / tone.sampleRate);
        for (int channel = 0; channel < tone.channels; ++channel)
            PutLittleEndian(bytes, static_cast<uint16_t>(static_cast<int16_t>(value)), 2);
    }
    return bytes;
}

bool WriteToneWave(const std::string& path, const Tone& tone)
{
    std::string bytes = ToneWave(tone);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return false;
    bool whole = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && whole;
}
