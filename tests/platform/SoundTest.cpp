// The built-in sounds: their WAVE images, name lookup and asynchronous playback.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>

#include "platform/PlayWaveResource.h"
#include "platform/SoundPlayer.h"
#include "platform/WaveResources.h"

namespace {

uint32_t Le32(const uint8_t* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

void ExpectImage(const char* name, size_t dataBytes) {
    const std::vector<uint8_t>* image = FindWaveResource(name);
    ASSERT_NE(image, nullptr) << name;
    const size_t padded = dataBytes + (dataBytes & 1);
    ASSERT_EQ(image->size(), 44 + padded) << "RIFF header, 16-byte fmt chunk, data chunk";
    const uint8_t* p = image->data();
    EXPECT_EQ(std::memcmp(p, "RIFF", 4), 0);
    EXPECT_EQ(Le32(p + 4), image->size() - 8);
    EXPECT_EQ(std::memcmp(p + 8, "WAVEfmt ", 8), 0);
    EXPECT_EQ(std::memcmp(p + 36, "data", 4), 0);
    EXPECT_EQ(Le32(p + 40), dataBytes);

    WaveView wave;
    ASSERT_TRUE(ReadWave(*image, wave));
    EXPECT_EQ(wave.format, 1);
    EXPECT_EQ(wave.channels, 1);
    EXPECT_EQ(wave.sampleRate, 11025u);
    EXPECT_EQ(wave.bitsPerSample, 8);
    EXPECT_EQ(wave.dataBytes, dataBytes);
    // Audible: the samples move away from the 8-bit silence level, and stay within range.
    int loudest = 0;
    for (size_t i = 0; i < wave.dataBytes; ++i) {
        loudest = std::max(loudest, std::abs(static_cast<int>(wave.data[i]) - 128));
    }
    EXPECT_GT(loudest, 40) << name;
}

TEST(Sounds, ClickAndPingAreCompleteWaveImagesOfTheirSizes) {
    ExpectImage("CLICK", 8329);
    ExpectImage("PING", 18679);
}

TEST(Sounds, NamesMatchWithoutRegardToCase) {
    EXPECT_EQ(FindWaveResource("ping"), FindWaveResource("PING"));
    EXPECT_EQ(FindWaveResource("Click"), FindWaveResource("CLICK"));
    EXPECT_NE(FindWaveResource("ping"), FindWaveResource("click"));
    EXPECT_EQ(FindWaveResource("PINGS"), nullptr);
    EXPECT_EQ(FindWaveResource("PIN"), nullptr);
    EXPECT_EQ(FindWaveResource(""), nullptr);
    EXPECT_EQ(FindWaveResource(nullptr), nullptr);
}

TEST(Sounds, TruncatedOrForeignImagesAreRefused) {
    std::vector<uint8_t> image = *FindWaveResource("CLICK");
    WaveView wave;
    image.resize(image.size() - 100);
    EXPECT_FALSE(ReadWave(image, wave)) << "the data chunk runs past the end";
    image.resize(20);
    EXPECT_FALSE(ReadWave(image, wave));
    std::vector<uint8_t> other = *FindWaveResource("PING");
    std::memcpy(other.data(), "RIFX", 4);
    EXPECT_FALSE(ReadWave(other, wave));
}

TEST(Sounds, PlaybackReturnsAtOnceAndUnknownNamesPlayNothing) {
    CSoundPlayer& player = CSoundPlayer::Instance();
    const uint64_t before = player.Requested();
    PlayWaveResource("no-such-sound");
    PlayWaveResource(nullptr);
    EXPECT_EQ(player.Requested(), before);

    const auto start = std::chrono::steady_clock::now();
    PlayWaveResource("ping"); // 1.69 s of sound
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(player.Requested(), before + 1);
    EXPECT_LT(took, std::chrono::milliseconds(1000)) << "the call must not wait for the sound";
}

} // namespace
