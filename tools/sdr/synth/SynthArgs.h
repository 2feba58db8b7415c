// The arguments of the synthetic receiver, as SoapySDR hands them to its factory:
//   tones=MHZ:DBM;MHZ:DBM;...   carriers at these frequencies and levels (calibrated dBm)
//   noise_seed=N                 which noise sequence (a given N always gives the same samples)
//   serial=TEXT                  the serial number it reports (calibration is keyed by it)
//   dc=DBM                       a DC spike of this level, as zero-IF tuners show one
//   calibration=DB|none          the level offset it states for itself (0 unless given); "none"
//                                makes it a device nobody has calibrated
//   wander=DB:SECONDS            each tone sinks by up to DB below its level and rises again
//                                over SECONDS of wall-clock time, each out of step with the
//                                others: a demo surveyor walking away from the sites and back
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct SynthTone {
    double hz = 0;
    double dBm = 0;
};

struct SynthConfig {
    std::vector<SynthTone> tones;
    uint64_t noiseSeed = 1;
    std::string serial = "LKS-SYNTH-0001";
    bool dcSpike = false;
    double dcDbm = 0;
    std::string calibration = "0"; // empty: states none
    double wanderDb = 0;           // 0: the tones hold their levels
    double wanderSeconds = 0;
};

// False with the reason when an argument this device knows is malformed; others are ignored, as
// SoapySDR passes every key of the device string through.
bool ParseSynthArgs(const std::map<std::string, std::string>& args, SynthConfig& out,
                    std::string& error);
