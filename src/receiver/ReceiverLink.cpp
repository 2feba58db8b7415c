// The receiver's link: opening, the I/O thread and the order of tear-down.
#include "receiver/ReceiverLink.h"

#include "platform/PlayWaveResource.h"
#include "receiver/Receiver.h"
#include "receiver/SerialSource.h"

CReceiverLink::CReceiverLink(CReceiver& receiver) : m_receiver(receiver) {
    // The I/O thread plays the click: the player must exist before the thread and outlive it.
    PrepareSoundPlayback();
}

CReceiverLink::~CReceiverLink() {
    Stop();
}

bool CReceiverLink::Open(const std::string& portName, unsigned baud) {
    return Open(std::make_unique<CSerialSource>(baud, portName));
}

bool CReceiverLink::Open(std::unique_ptr<IStreamSource> source) {
    if (m_receiver.IoThreadRunning()) {
        // The port is the I/O thread's now; its state says whether a board is there.
        return m_link.State() != LinkState::kNoBoard;
    }
    m_link.ClosePort(0);
    m_receiver.AttachLink(&m_link);
    return m_link.Setup(std::move(source));
}

void CReceiverLink::StartThread() {
    m_receiver.StartIoThread(m_link);
}

void CReceiverLink::Stop() {
    m_receiver.StopIoThread();
    // Commands sent from now on must not reach a link that is about to go.
    m_receiver.AttachLink(nullptr);
    // The program is leaving: no pause for the board to notice RTS.
    m_link.ClosePort(0);
}
