// Tones for the tests, the demo and the benchmark: sine tones generated as 16-bit PCM WAV
// files, so that no audio file is kept in the repository and every tone comes from one
// generator.
#pragma once
#include <string>

// The tests' tones: 22.05 kHz mono, whose capture is 44100 bytes a second.
const int TONE_SAMPLE_RATE = 22050;

// A sine tone; the same sample goes to every channel.
struct Tone {
    double frequency;
    double seconds;
    int sampleRate = TONE_SAMPLE_RATE;
    int channels = 1;
    double amplitude = 12000;
    // Samples over which the tone rises from silence at its start and falls to it at its end;
    // 0 for none.
    int fadeSamples = 0;
};

std::string ToneWave(const Tone& tone);
bool WriteToneWave(const std::string& path, const Tone& tone);
