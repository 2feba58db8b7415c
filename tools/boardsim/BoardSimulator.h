// A simulated receiver board on a pseudo-terminal: it speaks the board's frame format, answers
// every command with a reply of the same number, remembers the channel table it is given and
// scans it with plausible RSSI values, paced at the line rate. Faults can be switched on to
// reproduce a bad line.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "receiver/BandPlan.h"

struct BoardSimOptions {
    unsigned baud = 38400;          // output pacing: 10 bit times a byte
    bool instant = false;           // write whole frames at once instead
    bool silent = false;            // never answer
    int dropEvery = 0;              // leave out every Nth reply frame
    int corruptEvery = 0;           // spoil the end marker of every Nth reply frame
    bool noise = false;             // stray bytes before every reply frame
    uint32_t seed = 1;              // RSSI values are a function of seed, slot and scan
    std::string logPath;            // each received frame as hex, one line each
    std::string firmware = "2.02B"; // reply 1 text
    std::string serial = "SIM001";  // reply 2 text
    // PCS channel spacing in Hz for reporting the table back (reply 24); 0 infers it from the
    // codes it was sent.
    uint32_t pcsSpacingHz = 0;
};

class CBoardSimulator {
public:
    static constexpr int kSlots = 40;
    static constexpr int kListEntries = 30;
    static constexpr size_t kListReplySize = 97;

    CBoardSimulator();
    ~CBoardSimulator();
    CBoardSimulator(const CBoardSimulator&) = delete;
    CBoardSimulator& operator=(const CBoardSimulator&) = delete;

    // Opens the pseudo-terminal and starts answering; false if it is already running or the
    // terminal or log file cannot be opened.
    bool Start(const BoardSimOptions& options);
    // The device the program opens, e.g. /dev/pts/3.
    const std::string& SlavePath() const { return m_slavePath; }
    void Stop();

    // Every complete frame received so far: type byte, then the payload (escapes undone).
    std::vector<std::vector<uint8_t>> ReceivedFrames() const;
    // Waits until at least count frames have arrived; false after ms milliseconds.
    bool WaitForFrames(size_t count, unsigned ms) const;
    // Pairs of zero bytes received outside frames.
    uint64_t KeepAlives() const;
    // Reply frames written (dropped ones not counted) and measurements answered.
    uint64_t FramesSent() const;
    uint64_t Scans() const;

    // The RSSI (dBm x 16) the board reports for slot in its scan-th measurement (from 1).
    static int16_t RssiX16(uint32_t seed, int slot, uint64_t scan);

private:
    struct Slot {
        bool loaded = false;
        uint8_t plan = 0;
        uint16_t code = 0;
    };

    void Run();
    void Feed(uint8_t byte);
    void OnFrame(const std::vector<uint8_t>& raw, const std::vector<uint8_t>& decoded);
    void Reply(uint8_t type, const std::vector<uint8_t>& payload);
    void Emit(const std::vector<uint8_t>& bytes);
    bool WriteAll(const uint8_t* data, size_t length);
    std::vector<uint8_t> ListReply();
    uint16_t CodeToChannel(const Slot& slot, uint32_t pcsSpacing) const;
    uint32_t InferPcsSpacing() const;
    uint32_t NextRandom();
    int64_t ByteNs() const;

    BoardSimOptions m_options;
    int m_master = -1;
    int m_slave = -1;
    int m_stopFd = -1;
    std::string m_slavePath;
    std::FILE* m_log = nullptr;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};

    // Decoder state (board thread only).
    enum class Rx { kOutside, kStart, kFrame, kEscape };
    Rx m_rx = Rx::kOutside;
    std::vector<uint8_t> m_raw;
    std::vector<uint8_t> m_decoded;
    int m_zeroRun = 0;

    // The board's own state (board thread only).
    Slot m_table[kSlots];
    uint8_t m_channelCount = 0;
    uint8_t m_optionByte = 0;
    uint16_t m_optionWord = 0;
    uint64_t m_replyFrames = 0;
    uint64_t m_random = 0;
    int64_t m_nextByteNs = 0;
    int64_t m_lastByteInNs = 0; // when the last received byte would have ended on the line
    CBandPlan m_plans[2];

    mutable std::mutex m_lock;
    mutable std::condition_variable m_arrived;
    std::vector<std::vector<uint8_t>> m_frames;
    uint64_t m_keepAlives = 0;
    uint64_t m_sent = 0;
    uint64_t m_scans = 0;
};
