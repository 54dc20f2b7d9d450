// MP3 and MIDI files made for the tests, and the Wine session's capture of everything played.
#include "tests/support/sound.h"
#include "tests/support/desktop.h"
#include "tests/support/files.h"
#include <windows.h>
#include <algorithm>
#include <cmath>
#include <cstdlib>

bool WriteToneMp3(const std::string& path, const Tone& tone)
{
    std::string wave = path + ".wav";
    std::string part = path + ".part";
    DeleteFileA(path.c_str());
    if (!WriteToneWave(wave, tone))
        return false;
    // Wine starts a Linux program but gives no handle to wait for it by: the encoder writes
    // beside the file, which is renamed into place once whole.
    std::string script = "/usr/bin/lame --quiet '" + UnixPathOf(wave) + "' '" + UnixPathOf(part) +
                         "' && /bin/mv '" + UnixPathOf(part) + "' '" + UnixPathOf(path) + "'";
    Child encoder = Start("Z:\\bin\\sh", "sh -c \"" + script + "\"");
    if (encoder.process)
        CloseHandle(encoder.process);
    DWORD start = GetTickCount();
    while (!FileExistsAt(path) && GetTickCount() - start < 20000)
        Sleep(50);
    DeleteFileA(wave.c_str());
    return FileExistsAt(path);
}

// Format 0, one track: a piano, the note on, the note off after its length, the end.
bool WriteMidiNote(const std::string& path, int note, double seconds)
{
    const int ticksPerBeat = 480; // at the default 120 beats a minute, 960 ticks a second
    uint32_t length = static_cast<uint32_t>(std::lround(seconds * 2 * ticksPerBeat));
    std::string delta; // the length as a variable-length quantity, most significant first
    delta += static_cast<char>(length & 0x7F);
    for (length >>= 7; length > 0; length >>= 7)
        delta.insert(delta.begin(), static_cast<char>(0x80 | (length & 0x7F)));
    std::string track = std::string("\x00\xC0\x00\x00\x90", 5) + static_cast<char>(note) +
                        "\x64" + delta + "\x80" + static_cast<char>(note) +
                        std::string("\x40\x00\xFF\x2F\x00", 5);
    auto bigEndian = [](uint32_t value, int size) {
        std::string bytes;
        for (int i = size - 1; i >= 0; --i)
            bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
        return bytes;
    };
    std::string file = "MThd" + bigEndian(6, 4) + bigEndian(0, 2) + bigEndian(1, 2) +
                       bigEndian(ticksPerBeat, 2) + "MTrk" + bigEndian(track.size(), 4) + track;
    return WriteTextFile(path, file);
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

int PeakOf(const std::vector<int16_t>& samples)
{
    int peak = 0;
    for (int16_t sample : samples)
        peak = std::max(peak, std::abs(static_cast<int>(sample)));
    return peak;
}

double ToneFrequency(const int16_t* samples, int count, int sampleRate)
{
    double energy = 0;
    int crossings = 0;
    for (int i = 0; i < count; ++i) {
        energy += static_cast<double>(samples[i]) * samples[i];
        if (i > 0 && (samples[i - 1] < 0) != (samples[i] < 0))
            ++crossings;
    }
    if (count == 0 || std::sqrt(energy / count) < 1000.0)
        return 0;
    return crossings * static_cast<double>(sampleRate) / (2.0 * count);
}

std::vector<double> TonesHeard(const std::vector<int16_t>& samples,
                               const std::vector<double>& frequencies, int sampleRate)
{
    const int window = sampleRate / 50;
    std::vector<double> heard;
    double current = 0; // the tone of the windows in a row, 0 for none
    int run = 0;
    for (size_t start = 0; start + window <= samples.size(); start += window) {
        double measured = ToneFrequency(samples.data() + start, window, sampleRate);
        double tone = 0;
        for (double frequency : frequencies)
            if (measured > frequency * 0.85 && measured < frequency * 1.15)
                tone = frequency;
        run = tone == current ? run + 1 : 1;
        current = tone;
        if (tone != 0 && run == 3 && (heard.empty() || heard.back() != tone))
            heard.push_back(tone);
    }
    return heard;
}
