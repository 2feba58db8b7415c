// Channel and frequency plan of one radio band: converts channel numbers to carrier frequencies
// and frequencies to the step index the receiver board uses as its channel code.
#pragma once

#include <cstdint>

struct BandSegment {
    bool inUse = false;
    uint32_t start = 0;        // Hz, inclusive
    uint32_t end = 0;          // Hz, inclusive
    uint32_t step = 0;         // Hz between channels
    uint32_t firstChannel = 0; // channel number at start
    uint32_t lastChannel = 0;  // derived from the other fields
};

class CBandPlan {
public:
    static constexpr int kMaxSegments = 5;
    static constexpr int kBadIndex = -1;
    static constexpr int kEmptyRange = -2;

    // The only spacings a channel table can select for the PCS band.
    static constexpr uint32_t kPcsSpacing30k = 30000;
    static constexpr uint32_t kPcsSpacing50k = 50000;
    static constexpr uint32_t kPcsSpacing200k = 200000;
    // Used wherever no valid spacing is set: the lowest 200 kHz PCS channel.
    static constexpr uint32_t kPcsDefaultHz = 1930200000u;

    CBandPlan() = default;
    virtual ~CBandPlan() = default;

    int AddSegment(uint8_t index, uint32_t start, uint32_t end, uint32_t step,
                   uint32_t firstChannel);

    uint32_t ChannelToFrequency(uint32_t channel) const;
    uint32_t FrequencyToChannel(uint32_t hz) const;
    uint32_t FrequencyToStepIndex(uint32_t hz) const;
    uint32_t StepIndexToFrequency(uint32_t index) const;

    uint32_t SetCenterFrequency(double mhz);
    uint32_t GetCenterStep() const { return m_centerStep; }

    void SetPcsSpacing(uint32_t hz) { m_pcsSpacing = hz; }
    uint32_t GetPcsSpacing() const { return m_pcsSpacing; }
    uint32_t PcsChannelToFrequency(uint32_t channel) const;
    uint32_t PcsChannelToStepIndex(uint32_t channel) const;
    uint32_t StepIndexToPcsChannel(uint32_t index) const;

    const BandSegment& Segment(int index) const { return m_segments[index]; }

private:
    // Steps counted from 0 Hz in the first segment holding hz; 0 when none holds it.
    uint32_t AbsoluteStep(uint32_t hz) const;

    BandSegment m_segments[kMaxSegments];
    uint32_t m_centerStep = 1;
    uint32_t m_pcsSpacing = 0;
};
