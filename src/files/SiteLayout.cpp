// Site file layout checks, in 64 bits so that offsets near 4 GiB cannot wrap.
#include "files/SiteLayout.h"

#include "files/ByteReader.h"

CSiteLayout::CSiteLayout(const uint8_t (&header)[site::kHeaderSize]) {
    const CByteReader in(header, site::kHeaderSize);
    in.I32(site::kHeaderLengthAt, m_headerLength);
    in.U32(site::kMagicAt, m_magic);
    in.U32(site::kSaveTimeAt, m_saveTime);
    in.U32(site::kPictureOffsetAt, m_pictureOffset);
    in.U32(site::kSignatureOffsetAt, m_signatureOffset);
    in.U32(site::kSurveyOffsetAt, m_surveyOffset);
}

bool CSiteLayout::IsSiteHeader() const {
    return m_headerLength >= static_cast<int32_t>(site::kHeaderSize) && m_magic == site::kMagic;
}

bool CSiteLayout::HasSignatureRoom() const {
    return m_signatureOffset >= site::kHeaderSize &&
           uint64_t{m_surveyOffset} >= uint64_t{m_signatureOffset} + site::kSignatureSize;
}

bool CSiteLayout::KeepsPictureApart(uint64_t pictureSize) const {
    const uint64_t start = m_pictureOffset;
    const uint64_t end = start + pictureSize;
    const uint64_t signatureStart = m_signatureOffset;
    const uint64_t signatureEnd = signatureStart + site::kSignatureSize;
    const bool clearOfSignature = end <= signatureStart || start >= signatureEnd;
    return start >= site::kHeaderSize && end <= m_surveyOffset && clearOfSignature;
}
