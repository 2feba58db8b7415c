// CBoardLink: opening the stream, the transmit slot, the link's state and closing.
#include "receiver/BoardLink.h"

#include <algorithm>
#include <cstring>

#include "platform/Prompts.h"
#include "receiver/SerialSource.h"

CBoardLink::CBoardLink() = default;

CBoardLink::~CBoardLink() {
    ClosePort();
}

bool CBoardLink::Setup(unsigned baud, const std::string& portName) {
    return Setup(std::make_unique<CSerialSource>(baud, portName));
}

bool CBoardLink::Setup(std::unique_ptr<IStreamSource> source) {
    m_source = std::move(source);
    const bool ok = OpenStream(false);
    std::lock_guard<std::mutex> hold(m_slotLock);
    m_state.store(ok ? LinkState::kConnected : LinkState::kNoBoard);
    return ok;
}

bool CBoardLink::Reopen() {
    return OpenStream(true);
}

void CBoardLink::NoteIdentified() {
    if (m_source) {
        m_source->Identified();
    }
}

bool CBoardLink::OpenStream(bool quiet) {
    if (!m_source) {
        return false;
    }
    if (m_stream) {
        m_stream->Close();
    }
    std::string why;
    m_stream = m_source->Open(quiet, why);
    if (!m_stream && !quiet) {
        ThePrompts().MessageBox(why, "", kMbOk);
    }
    return m_stream != nullptr;
}

void CBoardLink::FillSlotLocked(const uint8_t* data, size_t length) {
    m_slotLength = std::min(length, kSlotSize);
    std::memcpy(m_slot, data, m_slotLength);
    m_transmitEvent.Set();
    // Without the descriptor the I/O thread polls the event every few milliseconds instead.
    (void)m_transmitWake.Signal();
}

void CBoardLink::ClearSlotLocked() {
    m_slotLength = 0;
    m_transmitEvent.Reset();
    (void)m_transmitWake.Drain();
}

bool CBoardLink::QueueTransmit(const uint8_t* data, size_t length) {
    std::lock_guard<std::mutex> hold(m_slotLock);
    FillSlotLocked(data, length);
    return true;
}

bool CBoardLink::QueueTransmitIfIdle(const uint8_t* data, size_t length) {
    std::lock_guard<std::mutex> hold(m_slotLock);
    if (m_slotLength != 0) {
        return false;
    }
    FillSlotLocked(data, length);
    return true;
}

LinkState CBoardLink::QueueCommand(const uint8_t* data, size_t length, uint64_t& generation) {
    std::lock_guard<std::mutex> hold(m_slotLock);
    const LinkState state = m_state.load();
    generation = m_generation.load();
    // Without a port the slot is harmless (a reopened port starts with it empty); while a
    // board is being brought up, a command would land in the middle of that conversation.
    if (state != LinkState::kConnecting) {
        FillSlotLocked(data, length);
    }
    return state;
}

size_t CBoardLink::TakeTransmission(uint8_t* out) {
    std::lock_guard<std::mutex> hold(m_slotLock);
    const size_t n = m_slotLength;
    std::memcpy(out, m_slot, n);
    ClearSlotLocked();
    return n;
}

void CBoardLink::MarkLost() {
    if (m_stream) {
        m_stream->Close();
    }
    std::lock_guard<std::mutex> hold(m_slotLock);
    ClearSlotLocked();
    m_generation.fetch_add(1);
    m_state.store(LinkState::kNoBoard);
}

void CBoardLink::BeginConnecting() {
    std::lock_guard<std::mutex> hold(m_slotLock);
    ClearSlotLocked();
    m_state.store(LinkState::kConnecting);
}

void CBoardLink::MarkConnected() {
    std::lock_guard<std::mutex> hold(m_slotLock);
    m_state.store(LinkState::kConnected);
}

void CBoardLink::ClosePort(unsigned pauseMs) {
    if (m_stream) {
        m_stream->Close(pauseMs);
    }
    std::lock_guard<std::mutex> hold(m_slotLock);
    m_state.store(LinkState::kNoBoard);
}
