// A simulated board on a line of its own: a thread that feeds the program's bytes to the board
// model and writes its answers back at the line's pace, and that unplugs the board and plugs it
// in again on request or on its timers. What the line is (a pseudo-terminal, a socket to a
// receiver in the same process) is the front-end's: see CBoardSimulator and CInProcessBoard.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <thread>
#include <vector>

#include "BoardModel.h"
#include "BoardOptions.h"
#include "LinePacer.h"
#include "SignalSource.h"
#include "platform/WakeFd.h"

class CBoardHost : private IBoardOutput {
public:
    CBoardHost() = default;
    // A front-end stops the board in its own destructor, while its line still exists.
    ~CBoardHost() override = default;
    CBoardHost(const CBoardHost&) = delete;
    CBoardHost& operator=(const CBoardHost&) = delete;

    // Plugs the board in and starts answering; false if it is already running or the line or log
    // cannot be opened. source (null: the simulated signal) must outlive the board.
    bool Start(const BoardSimOptions& options, ISignalSource* source = nullptr);
    void Stop();

    // Unplugs the board now: its line closes (the program's end hangs up). False when it is not
    // running or already away.
    bool Vanish();
    // Plugs it in again on a new line. False when it is not running, not away, or no line could
    // be made.
    bool Reappear();
    // Whether the board is plugged in; times it has come back.
    bool Present() const;
    uint64_t Reappearances() const;
    // Waits until the board is plugged in (or away); false after ms milliseconds.
    bool WaitPresent(bool present, unsigned ms) const;

    // Whether the board's signal source tunes any frequency (set at Start).
    bool TakesFrequencies() const { return m_source != nullptr && m_source->TunesAnyFrequency(); }

    // Every complete frame received so far: type byte, then the payload (escapes undone).
    std::vector<std::vector<uint8_t>> ReceivedFrames() const { return m_model.ReceivedFrames(); }
    // Waits until at least count frames have arrived; false after ms milliseconds.
    bool WaitForFrames(size_t count, unsigned ms) const { return m_model.WaitForFrames(count, ms); }
    // Pairs of zero bytes received outside frames.
    uint64_t KeepAlives() const { return m_model.KeepAlives(); }
    // Reply frames written (dropped ones not counted) and measurements answered.
    uint64_t FramesSent() const { return m_model.FramesSent(); }
    uint64_t Scans() const { return m_model.Scans(); }

protected:
    // What the board thread is asked to do.
    enum class Request { kNone, kVanish, kReappear, kReconnect };

    // The front-end's line. PlugIn makes a new one and gives the board's end to SetLine; Unplug
    // closes it. Both run on the board thread, or before it starts and after it ends.
    virtual bool PlugIn() = 0;
    virtual void Unplug() = 0;
    // Bytes the program has not yet read; 0 when it cannot be told.
    virtual int Undelivered() const = 0;
    // A request of the front-end's own (kReconnect), on the board thread.
    virtual void Serve(Request) {}

    void SetLine(int fd) { m_line = fd; }
    // A new connection to the same board (the program opened the line again).
    void Reconnected() { m_model.LineOpened(); }
    int Line() const { return m_line; }
    const BoardSimOptions& Options() const { return m_options; }
    // Asks the board thread for a change and waits until it is made; false when the board is
    // not running or the change could not be made.
    bool Ask(Request request);
    bool Running() const { return m_thread.joinable(); }
    // The front-end's requests report their outcome through this.
    void SetRequestFailed() { m_requestFailed = true; }

private:
    void Run();
    void ServeRequest();
    void DoVanish();
    bool DoReappear();
    void Announce(bool present, bool back);
    // Waits until the program has read the board's last bytes (within limits).
    void AwaitDelivery();
    // How long the board thread may sleep before a timer of its own is due; -1 for ever.
    int MsUntilTimer() const;
    void Send(const std::vector<uint8_t>& bytes) override;
    bool Stopping() const override { return m_stop.load(); }
    bool WriteAll(const uint8_t* data, size_t length);

    BoardSimOptions m_options;
    ISignalSource* m_source = nullptr;
    CBoardModel m_model;
    CLinePacer m_pacer;
    std::FILE* m_log = nullptr;
    int m_line = -1;
    CWakeFd m_wake; // Stop and the requests
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    // Plugging (board thread, except the request under m_lock).
    int64_t m_vanishAtNs = 0;   // 0: no timed vanish pending
    int64_t m_reappearAtNs = 0; // 0: no timed return pending

    mutable std::mutex m_lock;
    mutable std::condition_variable m_changed;
    bool m_present = false;
    uint64_t m_reappearances = 0;
    Request m_request = Request::kNone;
    bool m_requestDone = false;
    bool m_requestFailed = false;
};
