// Sound in the tests: generated tones (a sine wave as a 16-bit mono PCM WAV file, so that no
// audio file is kept in the repository) and the Wine session's capture of everything played.
// Shared by the Windows and end-to-end tiers.
#pragma once
#include <windows.h>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

const int TONE_SAMPLE_RATE = 22050;

inline void PutLittleEndian(std::string& bytes, uint32_t value, int size)
{
    for (int i = 0; i < size; ++i)
        bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
}

inline std::string ToneWave(double frequency, double seconds)
{
    const double pi = 3.14159265358979323846;
    int samples = static_cast<int>(TONE_SAMPLE_RATE * seconds);
    std::string bytes = "RIFF";
    PutLittleEndian(bytes, 36 + samples * 2, 4);
    bytes += "WAVEfmt ";
    PutLittleEndian(bytes, 16, 4);
    PutLittleEndian(bytes, 1, 2);                    // PCM
    PutLittleEndian(bytes, 1, 2);                    // mono
    PutLittleEndian(bytes, TONE_SAMPLE_RATE, 4);
    PutLittleEndian(bytes, TONE_SAMPLE_RATE * 2, 4); // bytes per second
    PutLittleEndian(bytes, 2, 2);                    // block alignment
    PutLittleEndian(bytes, 16, 2);                   // bits per sample
    bytes += "data";
    PutLittleEndian(bytes, samples * 2, 4);
    for (int i = 0; i < samples; ++i) {
        double value = 12000.0 * std::sin(2.0 * pi * frequency * i / TONE_SAMPLE_RATE);
        PutLittleEndian(bytes, static_cast<uint16_t>(static_cast<int16_t>(value)), 2);
    }
    return bytes;
}

inline bool WriteToneWave(const std::string& path, double frequency, double seconds)
{
    std::string bytes = ToneWave(frequency, seconds);
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    return CloseHandle(file) && ok && written == bytes.size();
}

// capture.raw in the session folder, seen from Windows through drive Z:; empty without a
// session.
inline std::string CapturePath()
{
    const char* session = std::getenv("WINE_SESSION_DIR");
    if (session == nullptr)
        return "";
    std::string path = std::string("Z:") + session + "/capture.raw";
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

// -1 when the file is missing.
inline long long FileSizeOf(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

inline long long CaptureSize()
{
    long long size = FileSizeOf(CapturePath());
    return size < 0 ? 0 : size;
}
