// The program's model of the receiver board: identity texts, the channel table it scans, the two
// band plans, the measurement flags, the commands to the board and the handling of its replies.
// Replies are decoded and handled on the receiver I/O thread, which alone uses the port: it also
// notices when the board goes, and brings it back up to date when it returns.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/Event.h"
#include "platform/WakeFd.h"
#include "platform/WindowMessages.h"
#include "receiver/BandPlan.h"
#include "receiver/BoardLink.h"
#include "receiver/BoardSequence.h"
#include "receiver/ChannelEntry.h"
#include "receiver/FrameParser.h"

// Room in the receiver's channel table; the board scans at most 30 of these entries.
constexpr int kChannelTableCapacity = 40;

// A consistent copy of the receiver's channel table, taken under its lock: the I/O thread writes
// readings into the table while the scan screen, the survey store and the loader read it.
struct ReceiverTable {
    uint8_t count = 0;
    ChannelEntry entries[kChannelTableCapacity] = {};
};

// One channel of a scan as the survey stores it and the scan screen lists it.
struct ChannelReading {
    uint8_t plan = 0;
    int32_t channel = 0; // as the survey stores it (see EntryRecordChannel)
    double frequencyMHz = 0.0;
    int16_t rssiX16 = 0; // sixteenths of a dBm, as the board reports it
    // False when the board measured it without a calibration (a software-defined radio's).
    bool calibrated = true;
};

// The board's identity texts as its replies gave them ("0.00" and "XXXXXX" until it answers).
struct BoardIdentity {
    std::string firmware;
    std::string serial;
    // A software-defined radio's driver and label, shown instead of the firmware (set by the
    // program, which started the radio; the board's texts cannot hold it all).
    std::string radio;
};

// Where a scan stands for whoever began it.
enum class ScanState : uint8_t {
    kNone,     // not a scan of this receiver's, or taken already
    kRunning,  // begun, not complete
    kComplete, // the board reported the last reading: TakeScan hands them over once
    kEnded,    // cut off by a lost board, or ended by a newer scan or EndScan: never stored
};

// How programming the channel table onto the board went.
enum class TableLoad : uint8_t {
    kLoaded,     // the board has the whole table
    kNoBoard,    // no board, or it went before the end
    kUnanswered, // the board left a command unanswered: it counts as lost from now on
};

// How long the receiver waits for things. The program keeps the defaults; tests that are not
// about waiting shorten them, so time on a line that goes silent is the test's to choose.
struct ReceiverTimings {
    // For each command's reply.
    unsigned replyWaitMs = 1000;
    // How long a frame's bytes may pause before the frame is given up: a byte takes about
    // 260 us at 38400 baud, so only a line that has stopped takes this long.
    int interByteMs = 100;
    // Once the board has gone, the I/O thread tries its port again this often.
    int reconnectMs = 1000;
    // The keep-alive clock counts whole ticks of this length.
    std::chrono::milliseconds clockTick{1000};
};

// The commands that program the channel table onto the board, and the version of the table they
// were made from.
struct TableProgram {
    std::vector<BoardCommand> commands;
    uint64_t generation = 0;
};

class CReceiver {
public:
    static constexpr int kTableCapacity = kChannelTableCapacity;
    static constexpr int kMaxChannels = 30;
    static constexpr int kFirmwareSize = 35;
    static constexpr int kSerialSize = 32;
    static constexpr int kReplyEventCount = 50;
    static constexpr int kBoardDataSize = 24;
    // The 800 MHz cellular plan's channel spacing, which is also the bandwidth of its channels.
    static constexpr uint32_t kCellularSpacingHz = 30000;
    // How long a frame may take to go out before the line counts as stuck.
    static constexpr int kWriteTimeoutMs = 500;
    // A keep-alive goes out when more than this many whole seconds passed since the last one
    // or the last transmission.
    static constexpr int64_t kKeepAliveSeconds = 10;
    // Bytes taken from the port in one read; the parser still sees them one at a time.
    static constexpr size_t kReadAhead = 256;

    enum Command : uint8_t {
        kCmdFirmware = 1,
        kCmdSerial = 2,
        kReplyBoardData = 3,
        kCmdOptionWord = 5,
        kCmdOptionByte = 8,
        kReplyStatus = 11,
        kCmdLoadSlot = 23,
        kCmdReadList = 24,
        // A slot by frequency: slot, Hz (64 bits), bandwidth in Hz (32 bits), little-endian.
        // Only a board measuring with a software-defined radio takes it.
        kCmdLoadFrequencySlot = 25,
        kReplyRssi = 34,
        kCmdMeasure = 35,
        kReplyComplete = 36,
        kCmdChannelCount = 39,
    };

    CReceiver();
    virtual ~CReceiver();

    // The two band plans every receiver starts with: 800 MHz cellular and 1900 MHz PCS (no
    // spacing chosen yet). The simulated board counts its channel codes in the same plans.
    static void InitBandPlans(CBandPlan (&plans)[2]);

    CReceiver(const CReceiver&) = delete;
    CReceiver& operator=(const CReceiver&) = delete;

    // Set before the I/O thread starts.
    void SetTimings(const ReceiverTimings& timings) { m_timings = timings; }
    const ReceiverTimings& Timings() const { return m_timings; }
    // The window that receives "LKSS_DRAW"; set it before the I/O thread starts, and stop the
    // thread before the window goes away.
    void SetViewWindow(IMessageTarget* window) { m_viewWnd.store(window); }

    // --- The channel table ---
    uint32_t FrequencyHz(int index) const;
    double FrequencyMHz(int index) const;
    uint16_t BoardCode(int index) const;
    int16_t RssiDbm(int index) const { return RssiX16ToDbm(Channel(index).rssiX16); }
    // The PCS plan's channel spacing as the last table set it (0 when none has).
    uint32_t PcsSpacing() const;
    // Loading replaces plan and channel of the first count entries and the count in one step;
    // the readings stay the board's until it reports new ones.
    ReceiverTable GetChannelTable() const;
    ChannelEntry Channel(int index) const;
    uint8_t ChannelCount() const;
    void SetChannelTable(const ChannelEntry* entries, int count);
    // The PCS plan's channel spacing, set with the table it belongs to.
    void SetPcsSpacing(uint32_t hz);
    // The programming of the table as it stands, built in one step under the table's lock.
    TableProgram GetTableProgram() const;
    // Goes up with every change of the table or its spacing.
    uint64_t TableGeneration() const;
    void SetChannelRssi(int index, int16_t rssiX16);
    // One entry whole, reading included: a table as a scan left it (simulations, tests).
    void SetChannel(int index, const ChannelEntry& entry);
    // The table's entries with their frequencies and latest readings, as the scan screen lists
    // them.
    std::vector<ChannelReading> CurrentReadings() const;
    // Set once the table has been programmed onto the board; taps measure only then.
    bool TableLoaded() const { return m_tableLoaded.load(); }
    void SetTableLoaded(bool loaded) { m_tableLoaded.store(loaded); }
    // Set once the surveyor has chosen a table: every board that comes back gets it programmed
    // again (it forgot it when it lost power).
    bool TableWanted() const { return m_tableWanted.load(); }
    void SetTableWanted(bool wanted) { m_tableWanted.store(wanted); }

    // --- Commands ---
    // Frames the command, queues it on the link and waits for the reply of the same number (up
    // to the reply wait). Always true: whether a reply came is not reported. It returns at once
    // when nothing could answer: no board, a board being brought up, no I/O thread, or the
    // board going meanwhile. On the I/O thread (a reply's follow-up) the frame goes straight
    // out.
    virtual bool SendCommand(uint8_t type, const uint8_t* data, size_t length);

    void RequestFirmwareVersion();
    void RequestSerialNumber();
    void SendOptionWord(uint16_t value);
    void SendOptionByte(uint8_t value);
    void LoadChannelSlot(uint8_t slot, uint8_t plan, uint16_t code);
    void ReadChannelList();
    void StartMeasurement();
    // Sets the table's count to n, then tells the board.
    void SetChannelCount(uint8_t n);
    // Programs the channel table onto the board: option byte 0, option byte 4, option word 40,
    // the channel count, one slot per entry with its board code, then reads the list back.
    // A board that stops answering counts as lost from then on, so the window never waits more
    // than one reply's wait for it.
    TableLoad ProgramChannelTable();

    // --- Measurements ---
    // Starts a scan of the table (command 35) and returns its identity. A scan still running is
    // ended by the new one, as the board itself starts over.
    uint64_t BeginScan();
    ScanState GetScanState(uint64_t scan) const;
    // A complete scan's readings, handed over once to whoever began it; false otherwise.
    bool TakeScan(uint64_t scan, std::vector<ChannelReading>& readings);
    // Ends the running scan, if any: whatever the board still reports of it is never taken.
    void EndScan();
    // Whether a scan is running, and whether the board reported the last reading of the latest
    // scan (the handheld's two measurement flags).
    bool MeasurementPending() const;
    bool MeasurementComplete() const;

    // --- The board's identity and status ---
    // Copy the identity text with its terminator (kFirmwareSize / kSerialSize bytes at most).
    void GetFirmwareVersion(char* out) const;
    void GetSerialNumber(char* out) const;
    BoardIdentity GetIdentity() const;
    uint8_t BoardStatus() const { return m_boardStatus.load(); }
    void GetBoardData(uint8_t* out) const;

    // --- The I/O thread ---
    // Acts on one complete reply (on the I/O thread); bytes past count read as 0.
    void HandleReply(uint8_t type, const uint8_t* payload, size_t count);
    // Queues the two zero bytes that keep the board's line alive, unless a transmission is
    // already waiting.
    void SendKeepAlive();

    // The receive state machine (see CFrameParser); complete frames go to HandleReply.
    unsigned ParseByte(const uint8_t* buffer, unsigned got) {
        return m_parser.ParseByte(buffer, got);
    }
    uint16_t GetParserState() const { return m_parser.State(); }
    void SetParserState(uint16_t state) { m_parser.SetState(state); }

    // Runs the I/O loop on the calling thread until StopIoThread is called; returns 0. Besides
    // reading and writing, it marks the link lost as soon as the stream hangs up, fails or its
    // device goes, then tries the link again every reconnection interval and brings a returning
    // board up to date (see CBoardSequence).
    int ReceiverThreadProc();
    // Attaches link (it must outlive the thread) and starts the I/O thread; false if one runs.
    bool StartIoThread(CBoardLink& link);
    // Asks the I/O thread to stop and joins it; the link stays attached for queueing.
    void StopIoThread();
    bool IoThreadRunning() const { return m_ioRunning.load(); }
    // Attaches a link without starting the thread: commands are queued on it, and return at
    // once since nothing could answer them.
    void AttachLink(CBoardLink* link) { m_link.store(link); }

    // Transmissions the I/O thread has written, keep-alives included (for tests and figures).
    uint64_t TransmissionsWritten() const { return m_transmissions.load(); }

private:
    class Sink : public IFrameSink {
    public:
        explicit Sink(CReceiver& owner) : m_owner(owner) {}
        void OnFrame(uint8_t type, const uint8_t* payload, uint16_t count) override {
            m_owner.HandleReply(type, payload, count);
        }

    private:
        CReceiver& m_owner;
    };

    // How a command fared.
    enum class Sent { kAnswered, kUnanswered, kNoBoard };
    Sent Send(uint8_t type, const uint8_t* data, size_t length);
    std::vector<ChannelReading> ReadingsLocked() const;
    // The measurement replies (on the I/O thread).
    void OnScanStarted();
    void OnScanReading(uint8_t index, int16_t rssiX16);
    // uncalibrated: bit k set when slot k was measured without a calibration.
    void OnScanComplete(uint32_t uncalibrated);
    // For the I/O thread: the board is gone, so a scan it had not finished never will.
    void EndInterruptedScan();

    void PostDraw();
    void StoreText(char* dest, size_t size, const uint8_t* payload, size_t count);
    int64_t ClockTicks() const;
    // Milliseconds on the monotonic clock.
    static int64_t NowMs();
    bool OnIoThread() const;
    // For the I/O thread: a frame straight to the port; false when it did not all go out.
    bool WriteFrame(CBoardLink& link, const uint8_t* frame, size_t length);
    // The board has gone (or never answered): close, release every sender, try again later.
    void OnLinkLost(CBoardLink& link);
    // Between frames: the reconnection tries and the clock of the conversation with a board
    // that came back.
    void TendLink(CBoardLink& link);
    void BeginBringUp(CBoardLink& link, bool identify);
    // Writes what the conversation asks for and acts on its end.
    void PumpBringUp(CBoardLink& link);
    // The link's next deadline (reconnection try, reply wait), as a wait from now; -1 if none.
    int MsUntilLinkDeadline(const CBoardLink& link) const;
    // Hands the parser the next byte from the port, waiting up to the inter-byte timeout when
    // a frame is under way; got is 0 when none came.
    void ReadFromPort(CBoardLink& link, uint8_t* buffer, unsigned& got);
    unsigned NextByte(CBoardLink& link, uint8_t* buffer);
    // Sleeps until a transmission is queued, the port has bytes, Stop is called, or timeoutMs
    // pass. Never sleeps while bytes are already waiting.
    void WaitIdle(CBoardLink& link, int timeoutMs);
    // Milliseconds until the next keep-alive is due (0 when due now).
    int MsUntilKeepAlive(int64_t mark) const;
    void WriteTransmission(CBoardLink& link);

    ReceiverTimings m_timings;

    // The channel table and the band plans its entries are counted in (the PCS spacing comes
    // with the table).
    mutable std::mutex m_tableLock;
    uint8_t m_channelCount = 0;
    ChannelEntry m_channels[kTableCapacity] = {};
    CBandPlan m_plans[2];
    uint64_t m_tableGeneration = 0;
    std::atomic<bool> m_tableLoaded{false};
    std::atomic<bool> m_tableWanted{false};

    // The measurement, under m_tableLock: the running scan's identity (0: none; a scan is
    // pending while it has one), the board's completion flag, and the readings of the scan that
    // completed.
    uint64_t m_scanId = 0;
    bool m_measurementComplete = false;
    uint64_t m_lastScanId = 0;
    uint64_t m_completedScan = 0;
    std::vector<ChannelReading> m_completedReadings;
    // The slots the last complete scan measured without a calibration (bit k: slot k).
    uint32_t m_uncalibratedSlots = 0;

    // Identity texts from the board's replies, under m_textLock.
    mutable std::mutex m_textLock;
    char m_serialNumber[kSerialSize] = "XXXXXX";
    char m_firmwareVersion[kFirmwareSize] = "0.00";
    uint8_t m_boardData[kBoardDataSize] = {};
    std::atomic<uint8_t> m_boardStatus{0};

    std::atomic<IMessageTarget*> m_viewWnd{nullptr};
    CEvent m_replyEvents[kReplyEventCount];
    Sink m_sink{*this};
    CFrameParser m_parser{m_sink};

    std::atomic<CBoardLink*> m_link{nullptr};
    std::thread m_ioThread;
    std::atomic<bool> m_stopRequested{false};
    std::atomic<bool> m_ioRunning{false};
    // A sender found the board silent in generation n - 1: the I/O thread is to treat it as
    // lost (0: nothing to do).
    std::atomic<uint64_t> m_silentGeneration{0};
    std::atomic<uint64_t> m_transmissions{0};
    CWakeFd m_wake;
    // Read-ahead of the I/O thread: bytes taken from the port, not yet parsed.
    uint8_t m_readAhead[kReadAhead] = {};
    size_t m_readAheadLength = 0;
    size_t m_readAheadPos = 0;
    // The I/O thread's side of a board that comes back.
    CBoardSequence m_bringUp;
    uint64_t m_bringUpTable = 0; // the table generation being programmed
    int64_t m_nextReopenMs = 0;
};
