// The receiver board's protocol as the simulated board speaks it, with no line of its own: it
// takes the program's bytes one at a time, remembers the channel table it is given, scans it with
// readings from its signal source, and answers every command with a reply of the same number
// through its output. Faults of a bad line (silence, dropped, corrupted or noisy frames, a board
// unplugged mid-command) are part of the model, so every front-end reproduces them alike.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "BoardOptions.h"
#include "SignalSource.h"
#include "receiver/BandPlan.h"

// Where the model's answers go: one call a frame, or a run of stray bytes.
class IBoardOutput {
public:
    virtual ~IBoardOutput();
    virtual void Send(const std::vector<uint8_t>& bytes) = 0;
    // True once the board is being stopped: a scan in progress stops sending.
    virtual bool Stopping() const = 0;
};

class CBoardModel {
public:
    static constexpr int kSlots = 40;
    static constexpr int kListEntries = 30;
    static constexpr size_t kListReplySize = 97;

    CBoardModel();
    CBoardModel(const CBoardModel&) = delete;
    CBoardModel& operator=(const CBoardModel&) = delete;

    // A new board: options, no table, nothing received. source (null: the simulated signal of
    // options.seed) must outlive the model's use; log (may be null) gets each received frame.
    void Reset(const BoardSimOptions& options, ISignalSource* source, std::FILE* log);
    // The board lost power: its table and options are gone unless keepTable.
    void PowerUp(bool keepTable);
    // The program opened the line anew: a board that fell silent answers again.
    void LineOpened() { m_quiet = false; }
    // Takes one byte from the line, answering through out when it completes a command.
    void Feed(uint8_t byte, IBoardOutput& out);
    // The command just taken was the last before the board is unplugged (see
    // BoardSimOptions::vanishAfterCommands); its answer was cut short.
    bool CutOff() const { return m_cutOff; }

    // Seen from any thread.
    std::vector<std::vector<uint8_t>> ReceivedFrames() const;
    // Waits until at least count frames have arrived; false after ms milliseconds.
    bool WaitForFrames(size_t count, unsigned ms) const;
    uint64_t KeepAlives() const;
    uint64_t FramesSent() const;
    uint64_t Scans() const;

private:
    struct Slot {
        bool loaded = false;
        uint8_t plan = 0;
        uint16_t code = 0;
        uint64_t frequencyHz = 0; // a slot by frequency
        uint32_t bandwidthHz = 0;
    };

    void OnFrame(const std::vector<uint8_t>& raw, const std::vector<uint8_t>& decoded,
                 IBoardOutput& out);
    void Measure(IBoardOutput& out);
    void Reply(uint8_t type, const std::vector<uint8_t>& payload, IBoardOutput& out);
    std::vector<uint8_t> ListReply() const;
    uint16_t CodeToChannel(const Slot& slot, uint32_t pcsSpacing) const;
    uint32_t CodeToFrequency(const Slot& slot) const;
    SourceChannel SlotChannel(const Slot& slot, uint32_t pcsSpacing) const;
    // Command 25: a slot by frequency, for a source that tunes any. False when it is not one.
    bool LoadFrequencySlot(const std::vector<uint8_t>& decoded);
    uint32_t InferPcsSpacing() const;
    uint32_t NextRandom();

    BoardSimOptions m_options;
    CSimulatedSignal m_simulated;
    ISignalSource* m_source = &m_simulated;
    std::FILE* m_log = nullptr;
    CBandPlan m_plans[2];

    // Decoder state.
    enum class Rx { kOutside, kStart, kFrame, kEscape };
    Rx m_rx = Rx::kOutside;
    std::vector<uint8_t> m_raw;
    std::vector<uint8_t> m_decoded;
    int m_zeroRun = 0;

    // The board's own state.
    Slot m_table[kSlots];
    uint8_t m_channelCount = 0;
    uint8_t m_optionByte = 0;
    uint16_t m_optionWord = 0;
    uint64_t m_replyFrames = 0;
    uint64_t m_random = 0;
    int m_commands = 0;
    bool m_cutOff = false;
    bool m_quiet = false;

    // What an observer may ask while the board runs.
    mutable std::mutex m_lock;
    mutable std::condition_variable m_arrived;
    std::vector<std::vector<uint8_t>> m_frames;
    uint64_t m_keepAlives = 0;
    uint64_t m_sent = 0;
    uint64_t m_scans = 0;
};
