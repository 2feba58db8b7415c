// Helpers that point SoapySDR at the synthetic module of this build.
#include "SynthDevice.h"

#include <cstdio>
#include <cstdlib>

void UseSynthModule() {
    ::setenv("SOAPY_SDR_PLUGIN_PATH", SOAPY_MODULE_DIR, 1);
}

std::string SynthArgs(const std::vector<std::pair<double, double>>& tonesMHzDbm,
                      const std::string& extra) {
    std::string tones;
    for (const auto& t : tonesMHzDbm) {
        char item[64];
        std::snprintf(item, sizeof item, "%s%.6f:%.2f", tones.empty() ? "" : ";", t.first,
                      t.second);
        tones += item;
    }
    std::string args = "driver=larkspur-synth,tones=" + tones;
    return extra.empty() ? args : args + "," + extra;
}

SdrChannel Channel(double mhz, double bandwidthKHz) {
    return {mhz * 1e6, bandwidthKHz * 1e3};
}
