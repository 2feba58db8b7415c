// Fuzzes the site file reader. Beyond memory safety it checks what the reader promises: points
// cover their records, the picture matches its size, and saving what was loaded and loading it
// again keeps every reading (place, channel, frequency, RSSI) in order, twice over. Points without
// readings and block boundaries may change on a save: adjacent blocks at one point merge.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "files/SiteFile.h"
#include "files/SiteFileReader.h"
#include "files/SiteFileWriter.h"
#include "survey/RecordList.h"

namespace {

constexpr size_t kMaxPad = 4096;

bool sameReading(const SurveyRecord& a, const SurveyRecord& b) {
    return a.x == b.x && a.y == b.y && a.channel == b.channel && a.rssi == b.rssi &&
           std::memcmp(&a.frequencyMHz, &b.frequencyMHz, sizeof a.frequencyMHz) == 0;
}

// Channel 0 means "no reading" in the format, so only the other records are readings.
std::vector<SurveyRecord> readingsOf(const CSiteFile& site) {
    std::vector<SurveyRecord> out;
    for (const SurveyRecord& r : site.m_records) {
        if (r.channel != 0) {
            out.push_back(r);
        }
    }
    return out;
}

void checkSameReadings(const CSiteFile& a, const CSiteFile& b) {
    const std::vector<SurveyRecord> ra = readingsOf(a);
    const std::vector<SurveyRecord> rb = readingsOf(b);
    check(ra.size() == rb.size());
    for (size_t i = 0; i < ra.size(); ++i) {
        check(sameReading(ra[i], rb[i]));
    }
}

// Saves the records behind the file's survey data offset and reads the result back.
std::vector<uint8_t> resave(const std::vector<uint8_t>& file, const CSiteFile& site,
                            std::vector<uint8_t>& survey) {
    CRecordList list;
    check(site.AppendRecordsTo(list) == RL_OK);
    survey.clear();
    CSiteFileWriter::AppendSurveyData(list, survey);
    std::vector<uint8_t> image(file.begin(), file.begin() + site.SurveyOffset());
    image.insert(image.end(), survey.begin(), survey.end());
    return image;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CSiteFile site;
    std::string detail;
    if (CSiteFileReader::Parse(data, size, site, detail) != SF_OK) {
        check(site.m_records.empty() && site.m_points.empty() && !detail.empty());
        return 0;
    }
    const SitePicture& picture = site.m_picture;
    check(picture.width > 0 && picture.height > 0);
    check(picture.pixels.size() == size_t{picture.stride} * static_cast<size_t>(picture.height));
    size_t covered = 0;
    for (const SitePoint& p : site.m_points) {
        check(p.firstRecord == covered && p.recordCount > 0);
        covered += p.recordCount;
        check(site.m_records[p.firstRecord].x == p.x && site.m_records[p.firstRecord].y == p.y);
    }
    check(covered == site.m_records.size());
    for (const SurveyRecord& r : site.m_records) {
        check(std::memchr(r.name, '\0', sizeof r.name) != nullptr);
    }

    // The survey data offset may lie past the end; pad as a save would, but only a little: large
    // pads cost time and hold no readings to check.
    std::vector<uint8_t> file(data, data + size);
    if (file.size() < site.SurveyOffset()) {
        if (site.SurveyOffset() > file.size() + kMaxPad) {
            return 0;
        }
        file.resize(site.SurveyOffset(), 0);
    }
    std::vector<uint8_t> survey;
    const std::vector<uint8_t> once = resave(file, site, survey);
    CSiteFile first;
    check(CSiteFileReader::Parse(once.data(), once.size(), first, detail) == SF_OK);
    checkSameReadings(site, first);
    const std::vector<uint8_t> twice = resave(once, first, survey);
    CSiteFile second;
    check(CSiteFileReader::Parse(twice.data(), twice.size(), second, detail) == SF_OK);
    checkSameReadings(first, second);
    return 0;
}
