// The program's link to the receiver board: one serial link bound to one receiver, brought up in
// the order of the program's start-up:
//   receiver.SetViewWindow(view); // where "LKSS_DRAW" goes
//   link.Open(port);             // "" searches the serial drivers, falling back to "COM1:"
//   ... wait 3000 ms ...
//   link.StartThread();
//   receiver.RequestFirmwareVersion();
// From then on the I/O thread watches the port: it marks the link lost the moment the device goes
// and brings a returning board back up to date on its own (see CReceiver). It is torn down
// (thread stopped, port closed) before the receiver and the window it posts to.
#pragma once

#include <memory>
#include <string>

#include "receiver/BoardLink.h"

class CReceiver;

class CReceiverLink {
public:
    explicit CReceiverLink(CReceiver& receiver);
    ~CReceiverLink();
    CReceiverLink(const CReceiverLink&) = delete;
    CReceiverLink& operator=(const CReceiverLink&) = delete;

    // Opens portName ("" = search; a path or "COMn:" opens that device) at baud. On failure the
    // link's own message has been shown once through ThePrompts() and false is returned; the
    // program carries on without a board, and the I/O thread keeps trying the port. Once the
    // I/O thread runs the port is its own and the call only reports whether a board is there.
    bool Open(const std::string& portName = std::string(),
              unsigned baud = CBoardLink::kDefaultBaud);
    // The same on any source of the board's stream (an in-process board).
    bool Open(std::unique_ptr<IStreamSource> source);
    // Starts the receiver's I/O thread on this link; later calls do nothing.
    void StartThread();
    // Stops and joins the I/O thread and closes the port.
    void Stop();

    CBoardLink& Link() { return m_link; }
    const CBoardLink& Link() const { return m_link; }
    CReceiver& Receiver() { return m_receiver; }

private:
    CReceiver& m_receiver;
    CBoardLink m_link;
};
