// Channel power measured through the real SoapySDR path against the synthetic device: accuracy
// over the level range, a weak channel beside a strong one, empty channels at the noise floor,
// and what each of the measurement's precautions (settling, band edges, DC) protects against.
#include <gtest/gtest.h>

#include <cmath>

#include "SdrScanner.h"
#include "SynthDevice.h"

namespace {

constexpr double kNoiseFloorDbm = -120.0; // per 12.5 kHz

struct Scan {
    bool ok = false;
    std::string error;
    std::vector<SdrReading> readings;
    SdrScanStats stats;
};

Scan scanOnce(const std::string& args, const std::vector<SdrChannel>& channels,
              const SdrOptions& options = SdrOptions()) {
    UseSynthModule();
    CSdrScanner scanner;
    Scan scan;
    scan.ok = scanner.Open(args, options, scan.error) &&
              scanner.Scan(channels, scan.readings, scan.error);
    scan.stats = scanner.LastScan();
    return scan;
}

TEST(SdrScanner, TonesFromMinus30ToMinus110WithinOneDb) {
    // Nine levels on nine channels spread over two captures, each channel 100 kHz from the next.
    std::vector<std::pair<double, double>> tones;
    std::vector<SdrChannel> channels;
    for (int k = 0; k < 9; ++k) {
        const double mhz = 851.0125 + 0.2 * k;
        tones.push_back({mhz, -30.0 - 10.0 * k});
        channels.push_back(Channel(mhz));
    }
    for (const char* seed : {"noise_seed=1", "noise_seed=7"}) {
        SCOPED_TRACE(seed);
        const Scan scan = scanOnce(SynthArgs(tones, seed), channels);
        ASSERT_TRUE(scan.ok) << scan.error;
        for (size_t k = 0; k < tones.size(); ++k) {
            // A tone at -110 dBm sits 10 dB above the noise in its channel: expect the sum.
            const double expected = 10 * std::log10(std::pow(10, tones[k].second / 10) +
                                                    std::pow(10, kNoiseFloorDbm / 10));
            EXPECT_NEAR(scan.readings[k].dBm, expected, 1.0) << tones[k].second;
            EXPECT_NEAR(scan.readings[k].dBm, tones[k].second, 1.0) << tones[k].second;
            EXPECT_TRUE(scan.readings[k].calibrated);
        }
    }
}

TEST(SdrScanner, AWeakChannelBesideAStrongOneAndEmptyChannelsAtTheNoiseFloor) {
    // 12.5 kHz channels: empty, strong (-60), weak (-100, 40 dB down), empty, and a distant empty.
    const std::vector<SdrChannel> channels = {Channel(851.000), Channel(851.0125), Channel(851.025),
                                              Channel(851.0375), Channel(851.500)};
    const Scan scan = scanOnce(SynthArgs({{851.0125, -60}, {851.025, -100}}), channels);
    ASSERT_TRUE(scan.ok) << scan.error;
    EXPECT_NEAR(scan.readings[1].dBm, -60, 1.0);
    EXPECT_NEAR(scan.readings[2].dBm, -100, 2.0);
    for (const size_t empty : {0u, 3u, 4u}) {
        EXPECT_NEAR(scan.readings[empty].dBm, kNoiseFloorDbm, 1.5) << empty;
    }
    // A 25 kHz channel holds twice the noise.
    const Scan wide = scanOnce(SynthArgs({}), {Channel(851.5, 25)});
    ASSERT_TRUE(wide.ok) << wide.error;
    EXPECT_NEAR(wide.readings[0].dBm, kNoiseFloorDbm + 3.01, 1.0);
}

TEST(SdrScanner, EachPrecautionIsWhatKeepsAReadingRight) {
    // The channel under test is the last of each list; the tone or spike would spoil it if the
    // precaution were off.
    struct Case {
        const char* name;
        std::string args;
        std::vector<SdrChannel> channels;
        double expectedDbm;
        SdrOptions without;
    };
    SdrOptions noSettling;
    noSettling.settleSeconds = 0;
    // With the whole band usable, a lone channel is put at the very bottom edge of its capture.
    SdrOptions wholeBand;
    wholeBand.usableFraction = 0.999;
    // Two channels 1.8 MHz apart force the capture's centre to 851.9 MHz, where the third channel
    // starts: without a guard it takes the capture beside the DC spike.
    SdrOptions noDcGuard;
    noDcGuard.dcGuardHz = 0;
    const Case cases[] = {
        {"settling", SynthArgs({}), {Channel(851.0125)}, kNoiseFloorDbm, noSettling},
        {"band edge", SynthArgs({{851.0125, -50}}), {Channel(851.0125)}, -50, wholeBand},
        {"DC spike",
         SynthArgs({}, "dc=-50"),
         {Channel(851.00625), Channel(852.79375), Channel(851.90625)},
         kNoiseFloorDbm,
         noDcGuard},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Scan with = scanOnce(c.args, c.channels);
        ASSERT_TRUE(with.ok) << with.error;
        EXPECT_NEAR(with.readings.back().dBm, c.expectedDbm, 1.5);
        const Scan without = scanOnce(c.args, c.channels, c.without);
        ASSERT_TRUE(without.ok) << without.error;
        EXPECT_GT(std::fabs(without.readings.back().dBm - c.expectedDbm), 3.0)
            << without.readings.back().dBm;
    }
}

TEST(SdrScanner, DeviceTimeIsSettlingAndDwellForEachTune) {
    std::vector<SdrChannel> channels;
    for (int k = 0; k < 30; ++k) {
        channels.push_back(Channel(851.0125 + 0.6125 * k));
    }
    UseSynthModule();
    CSdrScanner scanner;
    std::string error;
    ASSERT_TRUE(scanner.Open(SynthArgs({}), SdrOptions(), error)) << error;
    std::vector<SdrReading> first;
    std::vector<SdrReading> second;
    ASSERT_TRUE(scanner.Scan(channels, first, error)) << error;
    EXPECT_EQ(scanner.LastScan().tunes, 10);
    EXPECT_EQ(scanner.LastScan().deviceTimeNs, 10 * 20000000LL);
    ASSERT_TRUE(scanner.Scan(channels, second, error)) << error;
    EXPECT_EQ(scanner.LastScan().tunes, 10);
    EXPECT_NE(first[0].dBm, second[0].dBm) << "a new scan measures new samples";

    // The same device string gives the same samples, reading for reading, even while another
    // configuration of the device is open.
    const std::vector<SdrChannel> two = {Channel(851.0125), Channel(851.025)};
    const Scan a = scanOnce(SynthArgs({{851.0125, -70}}, "noise_seed=3"), two);
    const Scan b = scanOnce(SynthArgs({{851.0125, -70}}, "noise_seed=3"), two);
    const Scan c = scanOnce(SynthArgs({{851.0125, -70}}, "noise_seed=4"), two);
    ASSERT_TRUE(a.ok && b.ok && c.ok);
    EXPECT_NEAR(a.readings[0].dBm, -70, 1.0);
    EXPECT_EQ(a.readings[1].dBm, b.readings[1].dBm);
    EXPECT_NE(a.readings[1].dBm, c.readings[1].dBm);
}

TEST(SdrScanner, CalibrationFromTheStoreTheDeviceOrNone) {
    const std::string serial = "serial=CAL-1";
    CCalibrationStore store;
    store.Add({"CAL-1", "larkspur-synth", 850e6, 852e6, 0.0, 2.5, "2024-05-01"});
    store.Add({"CAL-1", "larkspur-synth", 850e6, 852e6, 20.0, 9.0, "2024-05-01"}); // other gain
    store.Add({"OTHER", "larkspur-synth", 850e6, 870e6, 0.0, 5.0, "2024-05-01"});
    const struct {
        const char* name;
        std::string extra;
        double mhz;
        double expectedDbm;
        bool calibrated;
    } cases[] = {
        {"the store's offset", serial, 851.0, -60 + 2.5, true},
        {"the store's offset over a device's own", serial + ",calibration=-4", 851.0, -57.5, true},
        {"outside the stored range: the device's own", serial + ",calibration=-4", 860.0, -64,
         true},
        {"no calibration anywhere", serial + ",calibration=none", 860.0, -60, false},
    };
    UseSynthModule();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CSdrScanner scanner;
        std::string error;
        ASSERT_TRUE(scanner.Open(SynthArgs({{c.mhz, -60}}, c.extra), SdrOptions(), error)) << error;
        scanner.UseCalibration(store);
        std::vector<SdrReading> readings;
        ASSERT_TRUE(scanner.Scan({Channel(c.mhz)}, readings, error)) << error;
        EXPECT_NEAR(readings[0].dBm, c.expectedDbm, 1.0);
        EXPECT_EQ(readings[0].calibrated, c.calibrated);
    }
}

TEST(SdrScanner, WhatCannotBeMeasuredIsRefusedWithTheReason) {
    const struct {
        const char* name;
        std::string args;
        std::vector<SdrChannel> channels;
        const char* mentions;
    } cases[] = {
        {"no such device", "driver=no-such-radio", {Channel(851)}, "no software-defined radio"},
        {"malformed tones",
         "driver=larkspur-synth,tones=851:loud",
         {Channel(851)},
         "'851:loud' is not MHZ:DBM"},
        {"beyond the tuner",
         SynthArgs({}),
         {Channel(851), Channel(7000)},
         "7000.000000 MHz is outside what larkspur-synth tunes (1.000-6000.000 MHz)"},
        {"too wide", SynthArgs({}), {Channel(851, 5000)}, "does not fit"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Scan scan = scanOnce(c.args, c.channels);
        EXPECT_FALSE(scan.ok);
        EXPECT_NE(scan.error.find(c.mentions), std::string::npos) << scan.error;
    }
}

} // namespace
