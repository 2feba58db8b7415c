// Test sites: the production maker for the header and picture, the files layer's signature
// layout, and survey data written by hand.
#include "SurveySite.h"

#include <gtest/gtest.h>

#include "files/SiteFileLayout.h"
#include "files/SiteFileMaker.h"
#include "files/SiteFileWriter.h"
#include "files/SitePicture.h"

TestPoint TwoChannelPoint(int32_t x, int32_t y, double dbm) {
    return {x, y, {{kCell1, X16(dbm)}, {kPcs25, X16(dbm - 5.0)}}};
}

bool TestInkAt(int x, int y) {
    return (x >= 20 && x < 60 && y >= 20 && y < 50) || (x >= 120 && x < 180 && y >= 60 && y < 90);
}

std::string MakeSurveySite(const CTempDir& dir, const std::string& name, int32_t width,
                           int32_t height, const std::vector<TestPoint>& points,
                           bool signedByHand) {
    SitePicture picture = SitePicture::Blank(width, height);
    picture.palette[0] = 0xFFFFFF;
    picture.palette[1] = 0x404040;
    for (int32_t x = 0; x < width; ++x) {
        picture.pixels[size_t{picture.stride} * static_cast<size_t>(height / 2) + x] = 1;
    }
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(CSiteFileMaker::Make(picture, bytes));
    const uint32_t signatureAt = GetU32(bytes, site::kSignatureOffsetAt);
    const uint32_t surveyAt = GetU32(bytes, site::kSurveyOffsetAt);
    std::vector<uint8_t> signature;
    CSiteFileWriter::AppendSignature(
        [signedByHand](int x, int y) { return signedByHand && TestInkAt(x, y) ? 0u : 1u; },
        signature);
    std::copy(signature.begin(), signature.end(), bytes.begin() + signatureAt);
    bytes[site::kSurveyStateAt] = site::kStateSaved;
    PutU32(bytes, site::kSaveTimeAt, kSaveTime);
    bytes.resize(surveyAt);
    CSurveyBytes survey;
    survey.Sizes();
    for (const TestPoint& p : points) {
        survey.Location(p.x, p.y, "TEST", static_cast<uint16_t>(p.readings.size()));
        for (const TestReading& r : p.readings) {
            survey.Reading(r.channel.channel, r.channel.mhz, r.x16);
        }
    }
    bytes.insert(bytes.end(), survey.Bytes().begin(), survey.Bytes().end());
    const std::string path = dir.File(name);
    WriteAll(path, bytes);
    return path;
}
