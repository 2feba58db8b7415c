// Everything read from one site file, held apart from the running survey so that a file can be
// checked completely before it replaces anything: header, picture and the survey's points.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "files/SiteFileLayout.h"
#include "files/SiteIdentity.h"
#include "files/SitePicture.h"
#include "survey/SurveyRecord.h"

class CRecordList;

// One location block as the map paints it: its place and its strongest reading.
struct SitePoint {
    int32_t x = 0;
    int32_t y = 0;
    int16_t strength = site::kStrengthFloor;
    uint32_t firstRecord = 0;  // index into the records of this file
    uint32_t recordCount = 0;  // records of this point (1 for a point without readings)
    uint32_t readingCount = 0; // reading records the file holds for it
};

class CSiteFile {
public:
    // Appends a copy of every record to list, in file order. Stops with RL_NO_MEMORY when an
    // allocation fails (the records appended so far stay), otherwise RL_OK.
    int16_t AppendRecordsTo(CRecordList& list) const;

    size_t ReadingCount() const;

    uint32_t PictureOffset() const { return HeaderU32(site::kPictureOffsetAt); }
    uint32_t SignatureOffset() const { return HeaderU32(site::kSignatureOffsetAt); }
    uint32_t SurveyOffset() const { return HeaderU32(site::kSurveyOffsetAt); }
    uint32_t SaveTime() const { return HeaderU32(site::kSaveTimeAt); }
    int32_t HeaderLength() const { return static_cast<int32_t>(HeaderU32(site::kHeaderLengthAt)); }
    uint8_t SurveyState() const { return m_header[site::kSurveyStateAt]; }

    void Clear();

    uint8_t m_header[site::kHeaderSize] = {}; // verbatim, written back on save
    SitePicture m_picture;
    std::vector<SurveyRecord> m_records; // links unused; channel 0 marks a point without readings
    std::vector<SitePoint> m_points;
    // The file as read: its bytes before the survey data (header, picture, signature room and
    // whatever else lies there), from which a save can write the whole file when it has gone; its
    // survey data; its digests and its identity on disk (the status only when read from a file).
    SiteSnapshot m_snapshot;
    // The survey data stopped short: its size words are missing, or the file ends inside a
    // location block. Loading is quietly content with what was read; tools report it.
    bool m_surveyTruncated = false;

private:
    uint32_t HeaderU32(size_t at) const;
};
