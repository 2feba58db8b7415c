// The synthetic SoapySDR device for the tests: its module folder on SOAPY_SDR_PLUGIN_PATH before
// SoapySDR first looks for modules, and device strings built from tones.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "SdrTypes.h"

// Call before the first SoapySDR call of the process (every test does, at its start).
void UseSynthModule();

// "driver=larkspur-synth,tones=MHZ:DBM;..." plus any extra "key=value" items.
std::string SynthArgs(const std::vector<std::pair<double, double>>& tonesMHzDbm,
                      const std::string& extra = "");

// A channel of bandwidth kHz at MHz.
SdrChannel Channel(double mhz, double bandwidthKHz = 12.5);
