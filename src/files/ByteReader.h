// Bounds-checked little-endian reads from a byte buffer. Every read names its offset and fails,
// rather than reading past the end, when the buffer is too short.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

class CByteReader {
public:
    CByteReader(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}

    size_t Size() const { return m_size; }
    const uint8_t* Data() const { return m_data; }

    // True when count bytes starting at offset lie inside the buffer (no overflow on the sum).
    bool Has(size_t offset, size_t count) const {
        return offset <= m_size && count <= m_size - offset;
    }

    bool U8(size_t offset, uint8_t& out) const {
        if (!Has(offset, 1)) {
            return false;
        }
        out = m_data[offset];
        return true;
    }

    bool U16(size_t offset, uint16_t& out) const {
        if (!Has(offset, 2)) {
            return false;
        }
        out = static_cast<uint16_t>(m_data[offset] | (m_data[offset + 1] << 8));
        return true;
    }

    bool I16(size_t offset, int16_t& out) const {
        uint16_t u = 0;
        if (!U16(offset, u)) {
            return false;
        }
        out = static_cast<int16_t>(u);
        return true;
    }

    bool U32(size_t offset, uint32_t& out) const {
        if (!Has(offset, 4)) {
            return false;
        }
        out = static_cast<uint32_t>(m_data[offset]) |
              static_cast<uint32_t>(m_data[offset + 1]) << 8 |
              static_cast<uint32_t>(m_data[offset + 2]) << 16 |
              static_cast<uint32_t>(m_data[offset + 3]) << 24;
        return true;
    }

    bool I32(size_t offset, int32_t& out) const {
        uint32_t u = 0;
        if (!U32(offset, u)) {
            return false;
        }
        out = static_cast<int32_t>(u);
        return true;
    }

    // IEEE 754 double stored as its 64-bit pattern, low byte first.
    bool F64(size_t offset, double& out) const {
        uint32_t lo = 0;
        uint32_t hi = 0;
        if (!U32(offset, lo) || !U32(offset + 4, hi)) {
            return false;
        }
        const uint64_t bits = static_cast<uint64_t>(hi) << 32 | lo;
        std::memcpy(&out, &bits, sizeof out);
        return true;
    }

    bool Bytes(size_t offset, void* out, size_t count) const {
        if (!Has(offset, count)) {
            return false;
        }
        if (count != 0) {
            std::memcpy(out, m_data + offset, count);
        }
        return true;
    }

private:
    const uint8_t* m_data;
    size_t m_size;
};
