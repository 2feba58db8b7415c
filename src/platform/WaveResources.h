// The program's WAVE sounds, synthesised once into complete RIFF WAVE file images, and the
// reading of such an image back into its format and samples.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

constexpr uint32_t kWaveSampleRate = 11025;
constexpr uint16_t kWaveChannels = 1;
constexpr uint16_t kWaveBitsPerSample = 8;
constexpr size_t kClickDataBytes = 8329;
constexpr size_t kPingDataBytes = 18679;

// The image of the named sound ("CLICK" or "PING", any case), or null for any other name.
const std::vector<uint8_t>* FindWaveResource(const char* name);

struct WaveView {
    uint16_t format = 0; // 1 = PCM
    uint16_t channels = 0;
    uint32_t sampleRate = 0;
    uint16_t bitsPerSample = 0;
    const uint8_t* data = nullptr;
    size_t dataBytes = 0;
};

// Finds the "fmt " and "data" chunks of a RIFF WAVE image; false if either is missing or any
// chunk runs past the image.
bool ReadWave(const std::vector<uint8_t>& image, WaveView& out);
