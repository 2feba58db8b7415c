// Little-endian writes into a growing byte buffer: appends at the end, or patches bytes already
// written at a named offset (the caller checks the offset lies inside the buffer).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

class CByteWriter {
public:
    explicit CByteWriter(std::vector<uint8_t>& out) : m_out(out) {}

    size_t Size() const { return m_out.size(); }

    void U8(uint8_t v) { m_out.push_back(v); }
    void U16(uint16_t v) {
        m_out.push_back(static_cast<uint8_t>(v));
        m_out.push_back(static_cast<uint8_t>(v >> 8));
    }
    void I16(int16_t v) { U16(static_cast<uint16_t>(v)); }
    void U32(uint32_t v) {
        for (int shift = 0; shift < 32; shift += 8) {
            m_out.push_back(static_cast<uint8_t>(v >> shift));
        }
    }
    void I32(int32_t v) { U32(static_cast<uint32_t>(v)); }
    void F64(double v) {
        uint64_t bits = 0;
        std::memcpy(&bits, &v, sizeof bits);
        U32(static_cast<uint32_t>(bits));
        U32(static_cast<uint32_t>(bits >> 32));
    }
    void Bytes(const void* data, size_t count) {
        const auto* p = static_cast<const uint8_t*>(data);
        m_out.insert(m_out.end(), p, p + count);
    }
    void Fill(uint8_t value, size_t count) { m_out.insert(m_out.end(), count, value); }

    void PatchU16(size_t offset, uint16_t v) {
        m_out[offset] = static_cast<uint8_t>(v);
        m_out[offset + 1] = static_cast<uint8_t>(v >> 8);
    }
    void PatchU32(size_t offset, uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            m_out[offset + i] = static_cast<uint8_t>(v >> (8 * i));
        }
    }
    void PatchBytes(size_t offset, const void* data, size_t count) {
        std::memcpy(m_out.data() + offset, data, count);
    }

private:
    std::vector<uint8_t>& m_out;
};
