// A software-defined radio as the board model's signal source: each scan of the board's table
// is one scan of the radio, its levels in the board's sixteenths of a dBm, with the slots no
// calibration covered reported beside them. A radio that fails is closed and opened again at the
// next scan; until it answers, the board goes as if unplugged.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Calibration.h"
#include "SdrScanner.h"
#include "SignalSource.h"

class CSdrSignal : public ISignalSource {
public:
    // Opens the radio now, so that a missing one is reported at start-up.
    bool Open(const std::string& deviceArgs, const SdrOptions& options,
              const CCalibrationStore& calibration, std::string& error);
    const SdrIdentity& Identity() const { return m_identity; }
    // "larkspur-synth, Larkspur synthetic receiver": what the start screen shows of it.
    std::string Description() const;

    bool Measure(const std::vector<SourceChannel>& channels, uint64_t scan,
                 std::vector<int16_t>& readings) override;
    bool TunesAnyFrequency() const override { return true; }
    uint32_t UncalibratedSlots() const override { return m_uncalibrated; }

    // The last failure's reason (empty when the last scan went well).
    const std::string& LastError() const { return m_error; }
    const SdrScanStats& LastScan() const { return m_scanner.LastScan(); }

    // dBm as the board reports it: sixteenths, within 16 bits.
    static int16_t ToRssiX16(double dBm);

private:
    bool Reopen();

    std::string m_args;
    SdrOptions m_options;
    CCalibrationStore m_calibration;
    SdrIdentity m_identity;
    CSdrScanner m_scanner;
    bool m_open = false;
    uint32_t m_uncalibrated = 0;
    std::string m_error;
};
