// The program's model of the receiver board: the channel table it scans and the two band plans.
// The serial link, commands and replies build on this class.
#pragma once

#include <cstdint>

#include "receiver/BandPlan.h"
#include "receiver/ChannelEntry.h"

class CReceiver {
public:
    static constexpr int kTableCapacity = 40;
    static constexpr int kMaxChannels = 30;

    CReceiver();
    virtual ~CReceiver() = default;

    CReceiver(const CReceiver&) = delete;
    CReceiver& operator=(const CReceiver&) = delete;

    uint32_t FrequencyHz(int index) const { return EntryFrequencyHz(m_plans, m_channels[index]); }
    double FrequencyMHz(int index) const { return EntryFrequencyMHz(m_plans, m_channels[index]); }
    uint16_t BoardCode(int index) const { return EntryBoardCode(m_plans, m_channels[index]); }
    int16_t RssiDbm(int index) const { return RssiX16ToDbm(m_channels[index].rssiX16); }

    static constexpr int kFirmwareSize = 35;
    static constexpr int kSerialSize = 32;

    uint8_t m_channelCount = 0;
    ChannelEntry m_channels[kTableCapacity] = {};
    bool m_tableLoaded = false;

    // Identity texts from the board's replies; defaults until a board answers.
    char m_serialNumber[kSerialSize] = "XXXXXX";
    char m_firmwareVersion[kFirmwareSize] = "0.00";

    CBandPlan m_plans[2];
};

// The one receiver of the running program.
CReceiver& TheReceiver();
