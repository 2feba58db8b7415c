// How the program brings up its link to the receiver board, in the order of the view's start-up:
//   TheReceiver().m_viewWnd = view;   // where "LKSS_DRAW" goes
//   OpenReceiverLink(port);           // "" searches the serial drivers, falling back to "COM1:"
//   ... wait 3000 ms ...
//   StartReceiverThread();
//   TheReceiver().RequestFirmwareVersion();
// and, before the view goes away, StopReceiverLink(). If the program never calls it, it runs
// by itself at exit, before the receiver and the sound player are destroyed.
#pragma once

#include <string>

#include "receiver/BoardLink.h"

// Opens portName ("" = search; a path or "COMn:" opens that device) at baud on the program's
// link. On failure the link's own message has been shown once through ThePrompts() and false
// is returned; the program carries on without a board (every command then costs its 1000 ms
// wait). Once the I/O thread runs the port is not changed and the call only reports whether it
// is open.
bool OpenReceiverLink(const std::string& portName = std::string(),
                      unsigned baud = CBoardLink::kDefaultBaud);
// Starts TheReceiver()'s I/O thread on the program's link; later calls do nothing.
void StartReceiverThread();
// Stops and joins the I/O thread and closes the port.
void StopReceiverLink();
// The program's one link.
CBoardLink& TheBoardLink();
