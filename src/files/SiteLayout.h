// Where the parts of a site file lie, and whether saving into it can write the signature and the
// survey data without touching the header or the picture.
#pragma once

#include <cstdint>

#include "files/SiteFileLayout.h"

class CSiteLayout {
public:
    explicit CSiteLayout(const uint8_t (&header)[site::kHeaderSize]);

    // Header length of at least 150 and the magic.
    bool IsSiteHeader() const;
    // The signature lies after the header, and at least 80,000 bytes lie between its start and
    // the survey data, which is cut off and rewritten on every save.
    bool HasSignatureRoom() const;
    // A picture of pictureSize bytes at the picture offset lies after the header, clear of the
    // signature, and ends before the survey data.
    bool KeepsPictureApart(uint64_t pictureSize) const;

    int32_t m_headerLength = 0;
    uint32_t m_magic = 0;
    uint32_t m_saveTime = 0;
    uint32_t m_pictureOffset = 0;
    uint32_t m_signatureOffset = 0;
    uint32_t m_surveyOffset = 0;
};
