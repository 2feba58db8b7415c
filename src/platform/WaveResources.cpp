// Synthesis of the two built-in sounds and the RIFF WAVE layout around them.
#include "platform/WaveResources.h"

#include <cctype>
#include <cmath>
#include <cstring>
#include <string>

namespace {
constexpr uint8_t kSilence = 128; // unsigned 8-bit PCM
constexpr double kPi = 3.14159265358979323846;
constexpr size_t kFmtChunkSize = 16;
constexpr uint16_t kPcmFormat = 1;

void PutTag(std::vector<uint8_t>& out, const char* tag) {
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<uint8_t>(tag[i]));
    }
}

void PutLe16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(static_cast<uint8_t>(v & 0xFF));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void PutLe32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
}

uint16_t Le16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

uint32_t Le32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

uint8_t Sample(double v) {
    const double s = std::lround(kSilence + v);
    return static_cast<uint8_t>(s < 0 ? 0 : s > 255 ? 255 : s);
}

std::vector<uint8_t> WaveImage(const std::vector<uint8_t>& samples) {
    // RIFF chunks are padded to an even length; the pad byte is not part of the data size.
    const size_t pad = samples.size() & 1;
    std::vector<uint8_t> out;
    out.reserve(44 + samples.size() + pad);
    PutTag(out, "RIFF");
    PutLe32(out, static_cast<uint32_t>(4 + 8 + kFmtChunkSize + 8 + samples.size() + pad));
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    PutLe32(out, kFmtChunkSize);
    PutLe16(out, kPcmFormat);
    PutLe16(out, kWaveChannels);
    PutLe32(out, kWaveSampleRate);
    PutLe32(out, kWaveSampleRate * kWaveChannels * kWaveBitsPerSample / 8);
    PutLe16(out, kWaveChannels * kWaveBitsPerSample / 8);
    PutLe16(out, kWaveBitsPerSample);
    PutTag(out, "data");
    PutLe32(out, static_cast<uint32_t>(samples.size()));
    out.insert(out.end(), samples.begin(), samples.end());
    if (pad != 0) {
        out.push_back(0);
    }
    return out;
}

// A short, dry tick: a few milliseconds of a falling 2.4 kHz burst, then silence.
std::vector<uint8_t> ClickSamples() {
    std::vector<uint8_t> s(kClickDataBytes, kSilence);
    const size_t burst = kWaveSampleRate / 200; // 5 ms
    for (size_t i = 0; i < burst; ++i) {
        const double t = static_cast<double>(i) / kWaveSampleRate;
        const double envelope = std::exp(-t * 900.0);
        s[i] = Sample(110.0 * envelope * std::sin(2 * kPi * 2400.0 * t));
    }
    return s;
}

// A bell-like ping: 1.76 kHz with a soft octave, fading out over the whole sound.
std::vector<uint8_t> PingSamples() {
    std::vector<uint8_t> s(kPingDataBytes, kSilence);
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = static_cast<double>(i) / kWaveSampleRate;
        const double envelope = std::exp(-t * 3.0);
        const double tone =
            0.8 * std::sin(2 * kPi * 1760.0 * t) + 0.2 * std::sin(2 * kPi * 3520.0 * t);
        s[i] = Sample(100.0 * envelope * tone);
    }
    return s;
}

bool SameName(const char* a, const char* b) {
    for (; *a != '\0' && *b != '\0'; ++a, ++b) {
        if (std::toupper(static_cast<unsigned char>(*a)) !=
            std::toupper(static_cast<unsigned char>(*b))) {
            return false;
        }
    }
    return *a == *b;
}
} // namespace

const std::vector<uint8_t>* FindWaveResource(const char* name) {
    static const std::vector<uint8_t> click = WaveImage(ClickSamples());
    static const std::vector<uint8_t> ping = WaveImage(PingSamples());
    if (name == nullptr) {
        return nullptr;
    }
    if (SameName(name, "CLICK")) {
        return &click;
    }
    if (SameName(name, "PING")) {
        return &ping;
    }
    return nullptr;
}

bool ReadWave(const std::vector<uint8_t>& image, WaveView& out) {
    constexpr size_t kRiffHeader = 12;
    if (image.size() < kRiffHeader || std::memcmp(image.data(), "RIFF", 4) != 0 ||
        std::memcmp(image.data() + 8, "WAVE", 4) != 0) {
        return false;
    }
    bool haveFmt = false;
    bool haveData = false;
    size_t at = kRiffHeader;
    while (at + 8 <= image.size()) {
        const uint8_t* chunk = image.data() + at;
        const size_t size = Le32(chunk + 4);
        if (size > image.size() - at - 8) {
            return false;
        }
        const uint8_t* body = chunk + 8;
        if (std::memcmp(chunk, "fmt ", 4) == 0 && size >= kFmtChunkSize) {
            out.format = Le16(body);
            out.channels = Le16(body + 2);
            out.sampleRate = Le32(body + 4);
            out.bitsPerSample = Le16(body + 14);
            haveFmt = true;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            out.data = body;
            out.dataBytes = size;
            haveData = true;
        }
        at += 8 + size + (size & 1);
    }
    return haveFmt && haveData;
}
