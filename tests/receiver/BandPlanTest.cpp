// Band plan conversions against the worked values of the cellular and PCS plans.
#include <gtest/gtest.h>

#include "receiver/BandPlan.h"
#include "receiver/Receiver.h"

namespace {

CBandPlan cellularPlan() {
    CBandPlan p;
    p.AddSegment(0, 869010000, 870000000, 30000, 990);
    p.AddSegment(1, 870030000, 893970000, 30000, 1);
    return p;
}

CBandPlan pcsPlan(uint32_t spacing) {
    CBandPlan p;
    p.AddSegment(0, 1930000000, 1990000000, 10000, 0);
    p.SetPcsSpacing(spacing);
    return p;
}

TEST(BandPlanAddSegment, RejectsBadIndexAndEmptyRangeWithoutChange) {
    CBandPlan p;
    EXPECT_EQ(p.AddSegment(5, 1, 2, 1, 0), CBandPlan::kBadIndex);
    EXPECT_EQ(p.AddSegment(0, 100, 100, 1, 0), CBandPlan::kEmptyRange);
    EXPECT_EQ(p.AddSegment(0, 100, 50, 1, 0), CBandPlan::kEmptyRange);
    EXPECT_FALSE(p.Segment(0).inUse);
    EXPECT_EQ(p.AddSegment(0, 869010000, 870000000, 30000, 990), 0);
    EXPECT_TRUE(p.Segment(0).inUse);
    EXPECT_EQ(p.Segment(0).lastChannel, 1023u);
    // A failed call leaves a filled segment as it was.
    EXPECT_EQ(p.AddSegment(0, 7, 7, 1, 0), CBandPlan::kEmptyRange);
    EXPECT_EQ(p.Segment(0).start, 869010000u);
}

TEST(BandPlanCellular, ChannelsAndFrequencies) {
    const CBandPlan p = cellularPlan();
    EXPECT_EQ(p.ChannelToFrequency(1000), 869310000u);
    EXPECT_EQ(p.ChannelToFrequency(990), 869010000u);
    EXPECT_EQ(p.ChannelToFrequency(1), 870030000u);
    EXPECT_EQ(p.ChannelToFrequency(799), 893970000u);
    EXPECT_EQ(p.ChannelToFrequency(800), 0u);
    EXPECT_EQ(p.ChannelToFrequency(1024), 0u);
    EXPECT_EQ(p.FrequencyToChannel(869025000), 990u);
    EXPECT_EQ(p.FrequencyToChannel(870015000), 0u);
    EXPECT_EQ(p.FrequencyToChannel(893970000), 799u);
}

TEST(BandPlanCellular, StepIndicesAreEvenAcrossBothSegments) {
    const CBandPlan p = cellularPlan();
    EXPECT_EQ(p.FrequencyToStepIndex(p.ChannelToFrequency(990)), 0u);
    EXPECT_EQ(p.FrequencyToStepIndex(p.ChannelToFrequency(1023)), 33u);
    EXPECT_EQ(p.FrequencyToStepIndex(p.ChannelToFrequency(1)), 34u);
    EXPECT_EQ(p.FrequencyToStepIndex(p.ChannelToFrequency(799)), 832u);
    EXPECT_EQ(p.StepIndexToFrequency(34), 870030000u);
    // Below the band the subtraction wraps, as the board's arithmetic does.
    EXPECT_EQ(p.FrequencyToStepIndex(0), (0u - 869010000u) / 30000u);
}

TEST(BandPlanLookups, SegmentWithoutSegmentZeroFindsNothing) {
    CBandPlan p;
    p.AddSegment(1, 870030000, 893970000, 30000, 1);
    EXPECT_EQ(p.ChannelToFrequency(1), 0u);
    EXPECT_EQ(p.FrequencyToChannel(870030000), 0u);
    EXPECT_EQ(p.FrequencyToStepIndex(870030000), 0u);
    EXPECT_EQ(p.StepIndexToFrequency(5), 0u);
}

TEST(BandPlanCentre, StoresTheClampedAbsoluteStep) {
    CBandPlan p = cellularPlan();
    EXPECT_EQ(p.SetCenterFrequency(881.52), 29384u);
    EXPECT_EQ(p.GetCenterStep(), 29384u);
    // Outside every segment the step counts as 0, which clamps up to the lowest start.
    EXPECT_EQ(p.SetCenterFrequency(2000.0), 869010000u / 30000u);
    CBandPlan empty;
    EXPECT_EQ(empty.GetCenterStep(), 1u);
    EXPECT_EQ(empty.SetCenterFrequency(881.52), 0u);
    EXPECT_EQ(empty.GetCenterStep(), 0u);
}

TEST(BandPlanPcs, ChannelToFrequencyPerSpacing) {
    const CBandPlan p30 = pcsPlan(30000);
    EXPECT_EQ(p30.PcsChannelToFrequency(0), 1930050000u);
    EXPECT_EQ(p30.PcsChannelToFrequency(1), 1930050000u);
    EXPECT_EQ(p30.PcsChannelToFrequency(1999), 1989990000u);
    EXPECT_EQ(p30.PcsChannelToFrequency(2500), 1989990000u);
    const CBandPlan p50 = pcsPlan(50000);
    EXPECT_EQ(p50.PcsChannelToFrequency(0), 1930000000u);
    EXPECT_EQ(p50.PcsChannelToFrequency(1200), 1990000000u);
    EXPECT_EQ(p50.PcsChannelToFrequency(5000), 1990000000u);
    const CBandPlan p200 = pcsPlan(200000);
    EXPECT_EQ(p200.PcsChannelToFrequency(100), 1930200000u);
    EXPECT_EQ(p200.PcsChannelToFrequency(512), 1930200000u);
    EXPECT_EQ(p200.PcsChannelToFrequency(810), 1989800000u);
    EXPECT_EQ(p200.PcsChannelToFrequency(900), 1989800000u);
    const CBandPlan unset = pcsPlan(25000);
    EXPECT_EQ(unset.PcsChannelToFrequency(7), 1930200000u);
}

TEST(BandPlanPcs, StepIndicesBothWays) {
    EXPECT_EQ(pcsPlan(30000).PcsChannelToStepIndex(1), 5u);
    EXPECT_EQ(pcsPlan(50000).PcsChannelToStepIndex(1200), 6000u);
    EXPECT_EQ(pcsPlan(200000).PcsChannelToStepIndex(512), 20u);
    EXPECT_EQ(pcsPlan(200000).PcsChannelToStepIndex(810), 5980u);
    // No spacing set: the same 1930.2 MHz the frequency function reports, never garbage.
    EXPECT_EQ(pcsPlan(0).PcsChannelToStepIndex(600), 20u);

    const CBandPlan p30 = pcsPlan(30000);
    EXPECT_EQ(p30.StepIndexToPcsChannel(5), 1u);
    EXPECT_EQ(p30.StepIndexToPcsChannel(2), 0u);
    EXPECT_EQ(p30.StepIndexToPcsChannel(0), 143164u);
    EXPECT_EQ(pcsPlan(50000).StepIndexToPcsChannel(6000), 1200u);
    EXPECT_EQ(pcsPlan(200000).StepIndexToPcsChannel(5980), 810u);
    EXPECT_EQ(pcsPlan(0).StepIndexToPcsChannel(5980), 0u);
}

TEST(ReceiverPlans, BuiltWithSegmentsAndCentres) {
    CBandPlan plans[2];
    CReceiver::InitBandPlans(plans);
    EXPECT_EQ(plans[0].GetCenterStep(), 29384u);
    EXPECT_EQ(plans[1].GetCenterStep(), 196250u);
    EXPECT_EQ(plans[1].Segment(0).lastChannel, 6000u);
    EXPECT_EQ(plans[0].Segment(1).lastChannel, 799u);
    EXPECT_EQ(plans[1].GetPcsSpacing(), 0u);
    EXPECT_EQ(plans[0].GetPcsSpacing(), 0u);
    EXPECT_EQ(CReceiver().PcsSpacing(), 0u) << "a receiver starts with no spacing chosen";
}

} // namespace
