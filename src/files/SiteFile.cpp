// Site file contents: handing the points to the record list.
#include "files/SiteFile.h"

#include <cstring>

#include "files/ByteReader.h"
#include "survey/RecordList.h"

int16_t CSiteFile::AppendRecordsTo(CRecordList& list) const {
    for (const SurveyRecord& source : m_records) {
        if (list.AppendCopy(source) != RL_OK) {
            return RL_NO_MEMORY;
        }
    }
    return RL_OK;
}

size_t CSiteFile::ReadingCount() const {
    size_t n = 0;
    for (const SitePoint& p : m_points) {
        n += p.readingCount;
    }
    return n;
}

void CSiteFile::Clear() {
    std::memset(m_header, 0, sizeof m_header);
    m_picture = SitePicture{};
    m_records.clear();
    m_points.clear();
    m_snapshot = SiteSnapshot{};
    m_surveyTruncated = false;
}

uint32_t CSiteFile::HeaderU32(size_t at) const {
    uint32_t v = 0;
    CByteReader(m_header, sizeof m_header).U32(at, v);
    return v;
}
