// The surveyor's handwritten signature as a site file keeps it: 200 x 100 pixels of ink or
// paper, written at save time and never read back by the handheld; the desktop tools show it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "files/SiteFileLayout.h"

class CSiteSignature {
public:
    CSiteSignature();

    // From the bytes of the signature area, rows stored bottom first. Pixels beyond size, where a
    // file ends early, count as paper; so does every value other than the ink value.
    void Parse(const uint8_t* area, size_t size);
    // Reads the area at offset of the file at path. False with the errno value when the file
    // cannot be read; a file that ends inside the area gives paper for the rest.
    bool Read(const std::string& path, uint32_t offset, int& error);

    // (0, 0) is the top left pixel, as on the pad.
    bool Ink(int x, int y) const;
    size_t InkCount() const { return m_inkCount; }
    bool HasInk() const { return m_inkCount > 0; }

    static constexpr int kWidth = site::kSignatureWidth;
    static constexpr int kHeight = site::kSignatureHeight;

private:
    std::vector<uint8_t> m_ink; // 1 for ink, top row first
    size_t m_inkCount = 0;
};
