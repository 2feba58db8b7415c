// Where the simulated board's readings come from: the board model asks its source for one
// reading per programmed channel each time it scans. The simulated signal serves the demo and the
// tests; a receiver that really measures (a software-defined radio) can feed the same protocol.
#pragma once

#include <cstdint>
#include <vector>

// One programmed slot of the board as the source sees it.
struct SourceChannel {
    uint8_t plan = 0;         // kFrequencyPlan for a slot loaded by its frequency
    uint16_t code = 0;        // the board's channel code (a step index in its plan)
    uint64_t frequencyHz = 0; // what the code stands for, or the slot's frequency
    uint32_t bandwidthHz = 0; // the plan's channel spacing, or the slot's bandwidth
};

class ISignalSource {
public:
    virtual ~ISignalSource();
    // One scan: readings gets an RSSI (dBm x 16) for each of channels, in order. scan counts the
    // board's scans from 1. False when the source could not measure (its receiver failed): the
    // board then goes as if unplugged mid-scan.
    virtual bool Measure(const std::vector<SourceChannel>& channels, uint64_t scan,
                         std::vector<int16_t>& readings) = 0;
    // Whether it measures any frequency, so the board takes slots by frequency.
    virtual bool TunesAnyFrequency() const { return false; }
    // After Measure: the slots it measured without a calibration (bit k for slot k).
    virtual uint32_t UncalibratedSlots() const { return 0; }
};

// Plausible readings that depend only on a number chosen at start-up, the slot and the scan, so
// every run of a test or the demo sees the same values.
class CSimulatedSignal : public ISignalSource {
public:
    explicit CSimulatedSignal(uint32_t variant = 1) : m_variant(variant) {}

    bool Measure(const std::vector<SourceChannel>& channels, uint64_t scan,
                 std::vector<int16_t>& readings) override;

    // The RSSI (dBm x 16) of slot in the scan-th scan (from 1): each slot has its own level
    // between -48 and -102 dBm, and each scan moves it by up to 6 dB either way.
    static int16_t RssiX16(uint32_t variant, int slot, uint64_t scan);

private:
    uint32_t m_variant;
};
