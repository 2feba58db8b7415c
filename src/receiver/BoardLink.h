// The link to the receiver board: opens its byte stream (a serial port, or a board model in the
// same process), owns the one-slot transmit buffer through which the program's commands pass,
// and knows whether a board is there. Once the receiver I/O thread runs, only that thread touches
// the stream: it reads and writes it, closes it when the device goes, and opens it again when the
// device comes back.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "platform/ByteStream.h"
#include "platform/Event.h"
#include "platform/WakeFd.h"
#include "receiver/StreamSource.h"

// Where the link stands with the board.
enum class LinkState : uint8_t {
    kNoBoard,    // no port: never opened, or the device went away
    kConnecting, // the port is back; the I/O thread identifies the board and programs its table
    kConnected,  // the program's commands go to the board
};

class CBoardLink {
public:
    static constexpr unsigned kDefaultBaud = 38400;
    static constexpr size_t kSlotSize = 128;
    static constexpr unsigned kClosePauseMs = 1000;

    // A link with no port yet; its transmit slot works all the same.
    CBoardLink();
    virtual ~CBoardLink();
    CBoardLink(const CBoardLink&) = delete;
    CBoardLink& operator=(const CBoardLink&) = delete;

    // Opens portName on the serial line (empty: the board's port among the serial drivers, or
    // "COM1:"), configures the line and purges both directions. On failure the user has been
    // told once, the port stays closed and false is returned; the link is still usable, its
    // writes go nowhere. Either way the port and rate are remembered for Reopen.
    bool Setup(unsigned baud, const std::string& portName = std::string());
    // The same with any source of the board's stream (an in-process board).
    bool Setup(std::unique_ptr<IStreamSource> source);
    // Setup again without a word to the user (the I/O thread's tries once the device has gone).
    // False when Setup was never called or there is no stream to be had.
    bool Reopen();
    // The board answered on the stream the link has open now.
    void NoteIdentified();
    // Whether the board behind the link takes channels by frequency (see IStreamSource). The
    // source is set once, before the I/O thread starts.
    bool TakesFrequencies() const { return m_source && m_source->TakesFrequencies(); }

    // Replaces the slot's contents with up to 128 bytes and sets the transmit event. A second
    // call before the I/O thread has written the first replaces it. Always true.
    bool QueueTransmit(const uint8_t* data, size_t length);
    // Queues data only while the slot is empty; false when a transmission is already waiting
    // (which keeps the line busy by itself).
    bool QueueTransmitIfIdle(const uint8_t* data, size_t length);
    // A command from outside the I/O thread: queued unless the I/O thread is bringing a board up
    // (it alone talks to the board then). Returns the state the command met and, under the same
    // lock, the generation it belongs to.
    LinkState QueueCommand(const uint8_t* data, size_t length, uint64_t& generation);
    // For the I/O thread: moves the slot's bytes to out (kSlotSize bytes) and clears the
    // transmit event; returns the number of bytes.
    size_t TakeTransmission(uint8_t* out);

    LinkState State() const { return m_state.load(); }
    // Counts the times the board was lost: a command that began in one generation and finds
    // another has lost its board.
    uint64_t Generation() const { return m_generation.load(); }
    // For the I/O thread: the device has gone. Closes the port, drops what is queued (it was
    // meant for the board that went) and starts the next generation.
    void MarkLost();
    // For the I/O thread, after a Reopen: the board is to be brought up; anything queued
    // before is dropped.
    void BeginConnecting();
    // For the I/O thread: the board is up to date; the program's commands go to it again.
    void MarkConnected();

    // Closes the stream, letting a serial board see RTS drop for pauseMs first.
    void ClosePort(unsigned pauseMs = kClosePauseMs);

    // The open stream, for the I/O thread alone; only valid while IsOpen.
    IByteStream& Stream() { return *m_stream; }
    CEvent& TransmitEvent() { return m_transmitEvent; }
    // Readable while the transmit event is set, so the I/O thread can wait for a transmission
    // and for the board's bytes in one poll.
    const CWakeFd& TransmitWake() const { return m_transmitWake; }
    bool IsOpen() const { return m_stream != nullptr && m_stream->IsOpen(); }

private:
    // Puts a transmission in the slot and wakes the I/O thread; the caller holds m_slotLock.
    void FillSlotLocked(const uint8_t* data, size_t length);
    void ClearSlotLocked();
    // Opens the source's stream, telling the user why it failed when quiet is false.
    bool OpenStream(bool quiet);

    std::unique_ptr<IStreamSource> m_source;
    std::unique_ptr<IByteStream> m_stream;
    CEvent m_transmitEvent;
    CWakeFd m_transmitWake;
    std::mutex m_slotLock;
    uint8_t m_slot[kSlotSize] = {};
    size_t m_slotLength = 0;
    // Changed under m_slotLock, so a command is queued either before a change or after it.
    std::atomic<LinkState> m_state{LinkState::kNoBoard};
    std::atomic<uint64_t> m_generation{0};
};
