// SHA-256 of byte ranges (nettle's), for telling one site file's bytes from another's.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

using Digest = std::array<uint8_t, 32>;

class CSha256 {
public:
    CSha256();
    ~CSha256();
    CSha256(const CSha256&) = delete;
    CSha256& operator=(const CSha256&) = delete;

    void Update(const uint8_t* data, size_t size);
    // The digest of everything given so far; the hash then starts again.
    Digest Finish();

    static Digest Of(const uint8_t* data, size_t size);

private:
    struct Context;
    std::unique_ptr<Context> m_context;
};
