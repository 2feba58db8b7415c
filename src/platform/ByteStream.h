// The one seam between the receiver and whatever carries the board's bytes: a serial port, or a
// board model in the same process. The receiver's I/O thread sees nothing else of the device, so
// loss, reconnection and timing behave the same on every kind of line.
#pragma once

#include <cstddef>
#include <cstdint>

class IByteStream {
public:
    // What Wait can report.
    static constexpr unsigned kReadable = 1;
    static constexpr unsigned kWritable = 2;

    virtual ~IByteStream();

    virtual bool IsOpen() const = 0;
    // Bytes waiting, at most size: 0 when none are (it never blocks), on error, or once the
    // device has gone.
    virtual size_t Read(uint8_t* buffer, size_t size) = 0;
    // Writes all bytes, waiting for room up to timeoutMs; returns the number written.
    virtual size_t Write(const uint8_t* data, size_t length, int timeoutMs) = 0;
    // Sleeps until one of events is possible, the device goes, one of the wakeCount descriptors
    // in wakeFds becomes readable, or ms pass (-1: no limit). Returns the events that became
    // possible (0 for any other reason).
    virtual unsigned Wait(unsigned events, int ms, const int* wakeFds = nullptr,
                          size_t wakeCount = 0) = 0;
    // Whether the device has gone (hung up, failed, its node removed); once gone it stays gone
    // until Close.
    virtual bool Gone() = 0;
    // Ends the stream. lingerMs lets a device that watches the line's control signals see the
    // end before the descriptor goes; streams without such signals ignore it.
    virtual void Close(unsigned lingerMs = 0) = 0;
};
