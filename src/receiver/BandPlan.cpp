// Band plan conversions. All arithmetic is unsigned 32-bit on purpose: the board's codes rely on
// the same wrap-around, so no step here may be "fixed" into signed or wider maths.
#include "receiver/BandPlan.h"

int CBandPlan::AddSegment(uint8_t index, uint32_t start, uint32_t end, uint32_t step,
                          uint32_t firstChannel) {
    if (index >= kMaxSegments) {
        return kBadIndex;
    }
    if (end <= start) {
        return kEmptyRange;
    }
    BandSegment& s = m_segments[index];
    s.start = start;
    s.end = end;
    s.step = step;
    s.firstChannel = firstChannel;
    s.lastChannel = firstChannel + (step != 0 ? (end - start) / step : 0u);
    s.inUse = true;
    return 0;
}

uint32_t CBandPlan::ChannelToFrequency(uint32_t channel) const {
    for (const BandSegment& s : m_segments) {
        if (!s.inUse) {
            break;
        }
        if (s.firstChannel <= channel && channel <= s.lastChannel) {
            return (channel - s.firstChannel) * s.step + s.start;
        }
    }
    return 0;
}

uint32_t CBandPlan::FrequencyToChannel(uint32_t hz) const {
    for (const BandSegment& s : m_segments) {
        if (!s.inUse) {
            break;
        }
        if (s.start <= hz && hz <= s.end) {
            return s.step != 0 ? (hz - s.start) / s.step + s.firstChannel : s.firstChannel;
        }
    }
    return 0;
}

uint32_t CBandPlan::FrequencyToStepIndex(uint32_t hz) const {
    const BandSegment& s0 = m_segments[0];
    if (!s0.inUse || s0.step == 0) {
        return 0;
    }
    return (hz - s0.start) / s0.step;
}

uint32_t CBandPlan::StepIndexToFrequency(uint32_t index) const {
    const BandSegment& s0 = m_segments[0];
    if (!s0.inUse) {
        return 0;
    }
    return index * s0.step + s0.start;
}

uint32_t CBandPlan::AbsoluteStep(uint32_t hz) const {
    for (const BandSegment& s : m_segments) {
        if (!s.inUse) {
            break;
        }
        if (s.start <= hz && hz <= s.end) {
            return s.step != 0 ? hz / s.step : 0u;
        }
    }
    return 0;
}

uint32_t CBandPlan::SetCenterFrequency(double mhz) {
    const uint32_t hz = static_cast<uint32_t>(mhz * 1000000.0 + 0.5);
    uint32_t d = AbsoluteStep(hz) * m_segments[0].step;

    uint32_t lowest = 4000000000u;
    uint32_t highest = 0;
    for (const BandSegment& s : m_segments) {
        if (!s.inUse) {
            break;
        }
        if (s.start < lowest) {
            lowest = s.start;
        }
        if (s.end > highest) {
            highest = s.end;
        }
    }
    if (d > highest) {
        d = highest;
    }
    if (d < lowest) {
        d = lowest;
    }
    m_centerStep = AbsoluteStep(d);
    return m_centerStep;
}

uint32_t CBandPlan::PcsChannelToFrequency(uint32_t channel) const {
    switch (m_pcsSpacing) {
    case kPcsSpacing30k:
        if (channel < 1) {
            channel = 1;
        } else if (channel > 1999) {
            channel = 1999;
        }
        return (channel + 64334u) * 30000u;
    case kPcsSpacing50k:
        if (channel > 1200) {
            channel = 1200;
        }
        return (channel + 38600u) * 50000u;
    case kPcsSpacing200k:
        if (channel < 512) {
            channel = 512;
        } else if (channel > 810) {
            channel = 810;
        }
        return (channel + 9139u) * 200000u;
    default:
        return kPcsDefaultHz;
    }
}

uint32_t CBandPlan::PcsChannelToStepIndex(uint32_t channel) const {
    // With no spacing set this still converts the frequency PcsChannelToFrequency reports, so the
    // board is never sent an undefined code.
    return FrequencyToStepIndex(PcsChannelToFrequency(channel));
}

uint32_t CBandPlan::StepIndexToPcsChannel(uint32_t index) const {
    const uint32_t f = StepIndexToFrequency(index);
    switch (m_pcsSpacing) {
    case kPcsSpacing30k:
        return (f - 1930020000u) / 30000u;
    case kPcsSpacing50k:
        return (f - 1930000000u) / 50000u;
    case kPcsSpacing200k:
        return (f - 1930200000u) / 200000u + 512u;
    default:
        return 0;
    }
}
