// The program's link to the board and the order in which it is torn down at exit.
#include "receiver/ReceiverLink.h"

#include "receiver/Receiver.h"
#include "shell/PlayWaveResource.h"

namespace {
// Built after the receiver and the sound player, so it is destroyed before them: the I/O thread
// that uses both is stopped while they still exist.
class CLinkHolder {
public:
    CLinkHolder() : m_receiver(TheReceiver()) { PrepareSoundPlayback(); }
    ~CLinkHolder() { Stop(); }
    CLinkHolder(const CLinkHolder&) = delete;
    CLinkHolder& operator=(const CLinkHolder&) = delete;

    void Stop() {
        m_receiver.StopIoThread();
        // The program is leaving: no pause for the board to notice RTS.
        m_link.ClosePort(0);
    }

    CReceiver& m_receiver;
    CBoardLink m_link;
};

CLinkHolder& Holder() {
    static CLinkHolder holder;
    return holder;
}
} // namespace

CBoardLink& TheBoardLink() {
    return Holder().m_link;
}

bool OpenReceiverLink(const std::string& portName, unsigned baud) {
    CLinkHolder& h = Holder();
    if (h.m_receiver.IoThreadRunning()) {
        return h.m_link.IsOpen();
    }
    h.m_link.ClosePort(0);
    h.m_receiver.AttachLink(&h.m_link);
    return h.m_link.Setup(baud, portName);
}

void StartReceiverThread() {
    CLinkHolder& h = Holder();
    h.m_receiver.StartIoThread(h.m_link);
}

void StopReceiverLink() {
    Holder().Stop();
}
