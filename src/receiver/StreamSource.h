// Where the board link gets its byte stream: a serial port found or named on the command line,
// or a board model in the same process. The link asks again each time the board has gone.
#pragma once

#include <memory>
#include <string>

#include "platform/ByteStream.h"

class IStreamSource {
public:
    // What the surveyor is told when there is no board to open, whatever carries its bytes.
    static constexpr const char* kOpenFailedText = "Cannot Open Connection To Board.";

    virtual ~IStreamSource();
    // A stream to the board, ready for its bytes; null when there is none, with why set to the
    // text that tells the surveyor (the link shows it only at start-up). retry is set for the
    // tries after the board has gone.
    virtual std::unique_ptr<IByteStream> Open(bool retry, std::string& why) = 0;
    // The board answered on the stream Open last gave: a later search may keep to that device.
    virtual void Identified() {}
    // Whether the board behind this source measures channels by frequency (a software-defined
    // radio does); the receiver board takes only its band plans' channels.
    virtual bool TakesFrequencies() const { return false; }
};
