// Receiver construction: the two band plans the board's channel codes are counted in.
#include "receiver/Receiver.h"

namespace {
constexpr uint32_t kCellularLowStart = 869010000u;
constexpr uint32_t kCellularLowEnd = 870000000u;
constexpr uint32_t kCellularHighStart = 870030000u;
constexpr uint32_t kCellularHighEnd = 893970000u;
constexpr uint32_t kCellularStep = 30000u;
constexpr uint32_t kPcsStart = 1930000000u;
constexpr uint32_t kPcsEnd = 1990000000u;
constexpr uint32_t kPcsStep = 10000u;
constexpr double kCellularCentreMHz = 881.52;
constexpr double kPcsCentreMHz = 1962.5;
} // namespace

CReceiver::CReceiver() {
    m_plans[0].AddSegment(0, kCellularLowStart, kCellularLowEnd, kCellularStep, 990);
    m_plans[0].AddSegment(1, kCellularHighStart, kCellularHighEnd, kCellularStep, 1);
    m_plans[1].AddSegment(0, kPcsStart, kPcsEnd, kPcsStep, 0);
    m_plans[0].SetCenterFrequency(kCellularCentreMHz);
    m_plans[1].SetCenterFrequency(kPcsCentreMHz);
}

CReceiver& TheReceiver() {
    static CReceiver receiver;
    return receiver;
}
