// A simulated receiver board on a pseudo-terminal: it speaks the board's frame format, answers
// every command with a reply of the same number, remembers the channel table it is given and
// scans it with plausible RSSI values, paced at the line rate. Faults can be switched on to
// reproduce a bad line, and the board can be unplugged and plugged in again: it vanishes with
// its pseudo-terminal and comes back on a new one, behind the same symbolic link.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/WakeFd.h"
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
    // A symbolic link kept pointing at the board's current pseudo-terminal; removed while it is
    // away and when it stops. Only an earlier link is ever replaced, never another file.
    std::string linkPath;
    // Unplugged once, this long after the start (0: never).
    int vanishAfterMs = 0;
    // Unplugged on receiving this many commands (0: never); the last one is cut off: a
    // measurement stops after its reply 35 and half its readings, anything else is not
    // answered.
    int vanishAfterCommands = 0;
    // Plugged in again this long after vanishing; -1 stays away until Reappear.
    int reappearAfterMs = -1;
    // Comes back having lost its channel table and options, as after a loss of power.
    bool forgetTable = false;
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
    // The device the program opens, e.g. /dev/pts/3 (the one it had last while it is away).
    std::string SlavePath() const;
    void Stop();

    // Unplugs the board now: its pseudo-terminal closes (the program's end hangs up) and the
    // link goes. False when it is not running or already away.
    bool Vanish();
    // Plugs it in again on a new pseudo-terminal and points the link there. False when it is not
    // running, not away, or no terminal could be opened.
    bool Reappear();
    // Whether the board is plugged in; times it has come back.
    bool Present() const;
    uint64_t Reappearances() const;
    // Waits until the board is plugged in (or away); false after ms milliseconds.
    bool WaitPresent(bool present, unsigned ms) const;

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

    enum class Request { kNone, kVanish, kReappear };

    void Run();
    // Board thread: what a request or a timer asks for.
    void ServeRequest();
    void DoVanish();
    bool DoReappear();
    bool OpenTerminal();
    // The board is plugged in (back is set when it returns after vanishing).
    void Announce(bool back);
    void CloseTerminal();
    bool PointLink() const;
    // The channel table and options as a board has them when it powers up.
    void ForgetTable();
    // Waits until the program has read the board's last bytes (within limits).
    void AwaitDelivery();
    // How long the board thread may sleep before a timer of its own is due; -1 for ever.
    int MsUntilTimer() const;
    // Asks the board thread for a change and waits until it is made.
    bool Ask(Request request);
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
    CWakeFd m_wake; // Stop and the requests
    std::FILE* m_log = nullptr;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};

    // Plugging (board thread, except the request under m_lock).
    int64_t m_vanishAtNs = 0;   // 0: no timed vanish pending
    int64_t m_reappearAtNs = 0; // 0: no timed return pending
    int m_commands = 0;
    bool m_cutOff = false; // the command just received was the last before vanishing

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
    std::string m_slavePath;
    bool m_present = false;
    uint64_t m_reappearances = 0;
    Request m_request = Request::kNone;
    bool m_requestDone = false;
    std::vector<std::vector<uint8_t>> m_frames;
    uint64_t m_keepAlives = 0;
    uint64_t m_sent = 0;
    uint64_t m_scans = 0;
};
