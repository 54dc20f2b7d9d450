// Sound for the tests, the demo and the benchmark: tones generated as 16-bit PCM WAV files, so
// that no audio file is kept in the repository, and the Wine session's capture of everything
// played (capture.raw in the session folder, raw samples in each track's own format).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

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

// capture.raw seen from Windows through drive Z:; empty without a session.
std::string CapturePath();
// Its size in bytes; 0 without one.
long long CaptureSize();
// The 16-bit samples captured between byte offsets from and to (to the end when to is -1),
// counted from from: earlier tests of the session may have left an odd number of bytes.
std::vector<int16_t> CapturedSamples(long long from, long long to = -1);
