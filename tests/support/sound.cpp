// Generated tones and the Wine session's capture of everything played.
#include "tests/support/sound.h"
#include "tests/support/files.h"
#include <windows.h>
#include <algorithm>
#include <cmath>
#include <cstdlib>

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
    return WriteTextFile(path, ToneWave(tone));
}

std::string CapturePath()
{
    const char* session = std::getenv("WINE_SESSION_DIR");
    return session ? WindowsPathOf(std::string(session) + "/capture.raw") : "";
}

long long CaptureSize()
{
    long long size = FileSizeOf(CapturePath());
    return size < 0 ? 0 : size;
}

std::vector<int16_t> CapturedSamples(long long from, long long to)
{
    std::vector<int16_t> samples;
    HANDLE file = CreateFileA(CapturePath().c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return samples;
    LARGE_INTEGER start;
    start.QuadPart = from;
    // The session's sink appends while this reads: only what lies before `to` counts.
    long long left = to < 0 ? -1 : to - from;
    unsigned char buffer[4096];
    DWORD got = 0;
    int pending = -1; // the first byte of a sample split between two reads
    if (SetFilePointerEx(file, start, nullptr, FILE_BEGIN)) {
        while (left != 0 && ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) {
            DWORD usable = left < 0 || left >= got ? got : static_cast<DWORD>(left);
            for (DWORD i = 0; i < usable; ++i) {
                if (pending < 0) {
                    pending = buffer[i];
                    continue;
                }
                samples.push_back(static_cast<int16_t>(pending | (buffer[i] << 8)));
                pending = -1;
            }
            if (left > 0)
                left -= usable;
        }
    }
    CloseHandle(file);
    return samples;
}
