// The simulated signal: a level per slot, wobbling from scan to scan.
#include "SignalSource.h"

#include <cstddef>

#include "BoardMix.h"

ISignalSource::~ISignalSource() = default;

namespace {
constexpr int kStrongestDbm = -40;
constexpr int kWeakestDbm = -110;
} // namespace

int16_t CSimulatedSignal::RssiX16(uint32_t variant, int slot, uint64_t scan) {
    const uint64_t base =
        boardMix(static_cast<uint64_t>(variant) << 8 | static_cast<uint64_t>(slot));
    const int level = -48 - static_cast<int>(base % 55);
    const uint64_t wobble = boardMix(base ^ (scan * 0x2545F4914F6CDD1Dull));
    int x16 = level * 16 + static_cast<int>(wobble % 193) - 96;
    if (x16 > kStrongestDbm * 16) {
        x16 = kStrongestDbm * 16;
    }
    if (x16 < kWeakestDbm * 16) {
        x16 = kWeakestDbm * 16;
    }
    return static_cast<int16_t>(x16);
}

bool CSimulatedSignal::Measure(const std::vector<SourceChannel>& channels, uint64_t scan,
                               std::vector<int16_t>& readings) {
    readings.resize(channels.size());
    for (std::size_t k = 0; k < channels.size(); ++k) {
        readings[k] = RssiX16(m_variant, static_cast<int>(k), scan);
    }
    return true;
}
