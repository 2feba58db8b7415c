// Site file reading: header, picture and points as stored, quiet ends of survey data, and every
// refusal leaving nothing behind.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <sys/stat.h>

#include "TestFiles.h"
#include "files/SiteFile.h"
#include "files/SiteFileReader.h"
#include "survey/RecordList.h"

namespace {

int16_t parse(const std::vector<uint8_t>& bytes, CSiteFile& site) {
    std::string detail;
    return CSiteFileReader::Parse(bytes.data(), bytes.size(), site, detail);
}

std::vector<uint8_t> surveyOf(const CSurveyBytes& survey, SiteOffsets* offsets = nullptr) {
    SiteRecipe recipe;
    recipe.survey = survey.Bytes();
    return BuildSite(recipe, offsets);
}

TEST(SiteFileReader, KeepsTheHeaderVerbatim) {
    const std::vector<uint8_t> file = BuildSite(SiteRecipe{});
    CSiteFile site;
    ASSERT_EQ(parse(file, site), SF_OK);
    EXPECT_EQ(std::memcmp(site.m_header, file.data(), 150), 0);
    EXPECT_EQ(site.HeaderLength(), 150);
    EXPECT_EQ(site.SurveyState(), 0);
}

TEST(SiteFileReader, ReadsThePictureRowsAndColourTable) {
    SiteOffsets o;
    const std::vector<uint8_t> file = BuildSite(SiteRecipe{}, &o);
    CSiteFile site;
    ASSERT_EQ(parse(file, site), SF_OK);
    const SitePicture& p = site.m_picture;
    EXPECT_EQ(p.width, 7);
    EXPECT_EQ(p.height, 3);
    EXPECT_EQ(p.stride, 8u);
    ASSERT_EQ(p.pixels.size(), 24u);
    EXPECT_EQ(p.palette[0], 0x00FF00u); // blue 0, green 255, red 0
    EXPECT_EQ(p.palette[200], (100u << 16) | (55u << 8) | 200u);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 7; ++x) {
            EXPECT_EQ(p.RowFromTop(y)[x], x + 3 * y) << x << "," << y;
        }
    }
    // Stored bottom-up as in the file.
    EXPECT_EQ(std::memcmp(p.pixels.data(), file.data() + o.pixels, 24), 0);
}

TEST(SiteFileReader, TopDownPictureIsTurnedBottomUp) {
    SiteRecipe recipe;
    recipe.height = -3;
    CSiteFile site;
    ASSERT_EQ(parse(BuildSite(recipe), site), SF_OK);
    EXPECT_EQ(site.m_picture.height, 3);
    for (int y = 0; y < 3; ++y) {
        EXPECT_EQ(site.m_picture.RowFromTop(y)[1], 1 + 3 * y);
    }
}

TEST(SiteFileReader, ImageSizeLargerThanTheRowsIsAccepted) {
    SiteRecipe recipe;
    recipe.imageSize = 24 + 10;
    CSiteFile site;
    ASSERT_EQ(parse(BuildSite(recipe), site), SF_OK);
    EXPECT_EQ(site.m_picture.pixels.size(), 24u);
}

TEST(SiteFileReader, ReadingsBecomeRecordsOfTheirLocation) {
    CSurveyBytes s;
    s.Sizes()
        .Location(10, 20, "HALL", 2)
        .Reading(1, 870.03, -1216)
        .Reading(25, 1930.75, -1601)
        .Location(-5, 7, "STAIRS", 1)
        .Reading(990, 869.01, -15);
    CSiteFile site;
    ASSERT_EQ(parse(surveyOf(s), site), SF_OK);
    ASSERT_EQ(site.m_records.size(), 3u);
    const SurveyRecord& a = site.m_records[0];
    EXPECT_EQ(a.x, 10);
    EXPECT_EQ(a.y, 20);
    EXPECT_STREQ(a.name, "HALL");
    EXPECT_EQ(a.channel, 1);
    EXPECT_DOUBLE_EQ(a.frequencyMHz, 870.03);
    EXPECT_EQ(a.rssi, -76);
    EXPECT_EQ(site.m_records[1].rssi, -100); // -1601 / 16 toward zero
    EXPECT_EQ(site.m_records[1].channel, 25);
    EXPECT_STREQ(site.m_records[1].name, "HALL");
    EXPECT_EQ(site.m_records[2].x, -5);
    EXPECT_EQ(site.m_records[2].rssi, 0); // -15 / 16 toward zero
    EXPECT_STREQ(site.m_records[2].name, "STAIRS");

    ASSERT_EQ(site.m_points.size(), 2u);
    EXPECT_EQ(site.m_points[0].strength, -76);
    EXPECT_EQ(site.m_points[0].recordCount, 2u);
    EXPECT_EQ(site.m_points[1].strength, 0);
    EXPECT_EQ(site.m_points[1].firstRecord, 2u);
    EXPECT_EQ(site.ReadingCount(), 3u);
}

TEST(SiteFileReader, StrengthNeverDropsBelowTheFloor) {
    CSurveyBytes s;
    s.Sizes().Location(1, 1, "LOW", 2).Reading(1, 870.03, -125 * 16).Reading(2, 870.06, -121 * 16);
    CSiteFile site;
    ASSERT_EQ(parse(surveyOf(s), site), SF_OK);
    ASSERT_EQ(site.m_points.size(), 1u);
    EXPECT_EQ(site.m_points[0].strength, -120);
}

TEST(SiteFileReader, CountZeroBlockIsOnePointWithoutReadings) {
    CSurveyBytes s;
    s.Sizes().Location(3, 4, "EMPTY", 0).Location(3, 4, "NEXT", 1).Reading(7, 870.2, -800);
    CSiteFile site;
    ASSERT_EQ(parse(surveyOf(s), site), SF_OK);
    ASSERT_EQ(site.m_records.size(), 2u);
    EXPECT_EQ(site.m_records[0].channel, 0);
    EXPECT_EQ(site.m_records[0].rssi, -100);
    EXPECT_STREQ(site.m_records[0].name, "EMPTY");
    ASSERT_EQ(site.m_points.size(), 2u);
    EXPECT_EQ(site.m_points[0].strength, -120);
    EXPECT_EQ(site.m_points[0].readingCount, 0u);
    EXPECT_EQ(site.ReadingCount(), 1u);
}

TEST(SiteFileReader, NameWithoutNulIsCutToThirtyOneCharacters) {
    uint8_t full[32];
    std::memset(full, 'N', sizeof full);
    uint8_t junk[32] = {'A', 'B', 0, 'Z', 'Z'};
    CSurveyBytes s;
    s.Sizes().LocationRaw(0, 0, full, 0).LocationRaw(1, 0, junk, 0);
    CSiteFile site;
    ASSERT_EQ(parse(surveyOf(s), site), SF_OK);
    ASSERT_EQ(site.m_records.size(), 2u);
    EXPECT_EQ(std::string(site.m_records[0].name), std::string(31, 'N'));
    EXPECT_STREQ(site.m_records[1].name, "AB");
    EXPECT_EQ(site.m_records[1].name[3], 0); // bytes after the NUL are not carried along
}

TEST(SiteFileReader, SurveyDataOfOnlyTheSizesHasNoPoints) {
    CSiteFile site;
    ASSERT_EQ(parse(BuildSite(SiteRecipe{}), site), SF_OK);
    EXPECT_FALSE(site.m_surveyTruncated);
    EXPECT_TRUE(site.m_records.empty());
    EXPECT_TRUE(site.m_points.empty());
}

TEST(SiteFileReader, MissingSizeWordsMeanNoPoints) {
    SiteRecipe recipe;
    recipe.survey = {42, 0, 0, 0, 14}; // the second size word is cut short
    CSiteFile site;
    EXPECT_EQ(parse(BuildSite(recipe), site), SF_OK);
    EXPECT_TRUE(site.m_records.empty());
    EXPECT_TRUE(site.m_surveyTruncated);

    recipe.survey.clear(); // the file ends where the survey data would start
    std::vector<uint8_t> file = BuildSite(recipe);
    EXPECT_EQ(parse(file, site), SF_OK);
    file.resize(file.size() - 100); // it ends inside the signature area
    EXPECT_EQ(parse(file, site), SF_OK);
    EXPECT_TRUE(site.m_points.empty());
}

TEST(SiteFileReader, SurveyDataEndingEarlyKeepsWhatWasRead) {
    CSurveyBytes s;
    s.Sizes().Location(1, 1, "A", 1).Reading(1, 870.03, -800).Location(2, 2, "B", 3);
    s.Reading(2, 870.06, -900).Reading(3, 870.09, -700);
    const std::vector<uint8_t> whole = surveyOf(s);
    CSiteFile site;

    ASSERT_EQ(parse(surveyOf(CSurveyBytes(s).Reading(4, 870.12, -600)), site), SF_OK);
    EXPECT_FALSE(site.m_surveyTruncated); // complete: B's three readings are all there

    std::vector<uint8_t> cut(whole.begin(), whole.end() - 5); // inside B's second reading
    ASSERT_EQ(parse(cut, site), SF_OK);
    EXPECT_TRUE(site.m_surveyTruncated);
    ASSERT_EQ(site.m_records.size(), 2u);
    ASSERT_EQ(site.m_points.size(), 2u);
    EXPECT_EQ(site.m_points[1].strength, -56); // -900 / 16 toward zero

    ASSERT_EQ(parse(whole, site), SF_OK); // B promises 3 readings, the file holds 2
    EXPECT_EQ(site.m_records.size(), 3u);
    EXPECT_TRUE(site.m_surveyTruncated);
    EXPECT_EQ(site.m_points[1].strength, -43);

    cut.assign(whole.begin(), whole.end() - 28 - 10); // inside B's location record
    ASSERT_EQ(parse(cut, site), SF_OK);
    EXPECT_TRUE(site.m_surveyTruncated);
    EXPECT_EQ(site.m_records.size(), 1u);
    EXPECT_EQ(site.m_points.size(), 1u);

    cut.assign(whole.begin(), whole.end() - 28); // B ends before its first reading
    ASSERT_EQ(parse(cut, site), SF_OK);
    EXPECT_EQ(site.m_records.size(), 1u);
    EXPECT_EQ(site.m_points.size(), 1u); // a point with nothing to show is not painted
}

TEST(SiteFileReader, AppendsRecordsInFileOrder) {
    CSurveyBytes s;
    s.Sizes().Location(1, 1, "A", 2).Reading(5, 870.15, -800).Reading(6, 870.18, -816);
    s.Location(9, 9, "B", 0);
    CSiteFile site;
    ASSERT_EQ(parse(surveyOf(s), site), SF_OK);
    CRecordList list;
    ASSERT_EQ(site.AppendRecordsTo(list), RL_OK);
    SurveyRecord* r = nullptr;
    ASSERT_EQ(list.GetAt(r, 1), RL_OK);
    EXPECT_EQ(r->channel, 5);
    ASSERT_EQ(list.GetNext(r), RL_OK);
    EXPECT_EQ(r->channel, 6);
    EXPECT_EQ(r->rssi, -51);
    ASSERT_EQ(list.GetNext(r), RL_OK);
    EXPECT_EQ(r->channel, 0);
    EXPECT_STREQ(r->name, "B");
    EXPECT_EQ(list.GetNext(r), RL_END);
}

class CFailingList : public CRecordList {
public:
    int16_t NewRecord(SurveyRecord*& record) override {
        if (m_left-- <= 0) {
            record = nullptr;
            return RL_NO_MEMORY;
        }
        return CRecordList::NewRecord(record);
    }
    int m_left = 1;
};

TEST(SiteFileReader, AppendReportsAnAllocationFailure) {
    CSurveyBytes s;
    s.Sizes().Location(1, 1, "A", 2).Reading(5, 870.15, -800).Reading(6, 870.18, -816);
    CSiteFile site;
    ASSERT_EQ(parse(surveyOf(s), site), SF_OK);
    CFailingList list;
    EXPECT_EQ(site.AppendRecordsTo(list), RL_NO_MEMORY);
    SurveyRecord* r = nullptr;
    EXPECT_EQ(list.GetAt(r, 1), RL_OK);
    EXPECT_EQ(list.GetAt(r, 2), RL_END);
}

// Every refusal: "Not a Site File.", and the site holds nothing read from the file.
struct Spoiled {
    const char* what;
    std::vector<uint8_t> file;
};

std::vector<Spoiled> spoiledFiles() {
    std::vector<Spoiled> out;
    SiteOffsets o;
    const std::vector<uint8_t> good = BuildSite(SiteRecipe{}, &o);
    auto recipe = [](auto change) {
        SiteRecipe s;
        change(s);
        return BuildSite(s);
    };
    out.push_back({"ends inside the header", {good.begin(), good.begin() + 149}});
    out.push_back({"empty file", {}});
    out.push_back({"header length 149", recipe([](SiteRecipe& s) { s.headerLength = 149; })});
    out.push_back({"negative header length", recipe([](SiteRecipe& s) { s.headerLength = -1; })});
    out.push_back({"wrong magic", recipe([](SiteRecipe& s) { s.magic = 0x4C4B5321u; })});
    std::vector<uint8_t> f = good;
    PutU32(f, 138, static_cast<uint32_t>(f.size() + 1));
    out.push_back({"picture offset past the end", f});
    out.push_back({"ends inside the colour table", {good.begin(), good.begin() + o.pixels - 1}});
    out.push_back({"ends inside the rows", {good.begin(), good.begin() + o.pixels + 23}});
    out.push_back({"info header of another size", recipe([](SiteRecipe& s) { s.infoSize = 124; })});
    out.push_back({"24 bits per pixel", recipe([](SiteRecipe& s) { s.bitCount = 24; })});
    out.push_back({"run-length compressed", recipe([](SiteRecipe& s) { s.compression = 1; })});
    out.push_back({"16-entry colour table", recipe([](SiteRecipe& s) { s.coloursUsed = 16; })});
    out.push_back({"width 0", recipe([](SiteRecipe& s) { s.width = 0; })});
    out.push_back({"negative width", recipe([](SiteRecipe& s) { s.width = -7; })});
    out.push_back({"height 0", recipe([](SiteRecipe& s) { s.height = 0; })});
    out.push_back({"image size 0", recipe([](SiteRecipe& s) { s.imageSize = 0; })});
    out.push_back(
        {"image size short of the rows", recipe([](SiteRecipe& s) { s.imageSize = 23; })});
    out.push_back({"location record size 40",
                   recipe([](SiteRecipe& s) { s.survey = CSurveyBytes().Sizes(40, 14).Bytes(); })});
    out.push_back({"reading record size 16",
                   recipe([](SiteRecipe& s) { s.survey = CSurveyBytes().Sizes(42, 16).Bytes(); })});
    out.push_back({"signature room 79999", recipe([](SiteRecipe& s) { s.signatureRoom = 79999; })});
    f = good;
    PutU32(f, 142, o.pixels); // signature over the picture rows
    PutU32(f, 146, o.pixels + 80000);
    out.push_back({"signature over the picture", f});
    f = good;
    PutU32(f, 142, 100); // signature over the header
    PutU32(f, 146, 80100);
    out.push_back({"signature over the header", f});
    return out;
}

TEST(SiteFileReader, RefusesEverySpoiledFile) {
    for (const Spoiled& s : spoiledFiles()) {
        CSiteFile site;
        // A refusal must not leave anything from an earlier read either.
        ASSERT_EQ(parse(surveyOf(CSurveyBytes().Sizes().Location(1, 1, "X", 0)), site), SF_OK);
        std::string detail;
        EXPECT_EQ(CSiteFileReader::Parse(s.file.data(), s.file.size(), site, detail),
                  SF_NOT_SITE_FILE)
            << s.what;
        EXPECT_FALSE(detail.empty()) << s.what;
        EXPECT_TRUE(site.m_records.empty()) << s.what;
        EXPECT_TRUE(site.m_points.empty()) << s.what;
        EXPECT_TRUE(site.m_picture.pixels.empty()) << s.what;
        EXPECT_EQ(site.m_header[4], 0) << s.what;
    }
}

TEST(SiteFileReader, ReadsFromDisk) {
    CTempDir dir;
    CSurveyBytes s;
    s.Sizes().Location(1, 2, "A", 1).Reading(1, 870.03, -800);
    WriteAll(dir.File("a.lks"), surveyOf(s));
    CSiteFile site;
    std::string detail;
    ASSERT_EQ(CSiteFileReader::Read(dir.File("a.lks"), site, detail), SF_OK);
    EXPECT_EQ(site.m_records.size(), 1u);
    EXPECT_EQ(site.m_picture.width, 7);
}

TEST(SiteFileReader, RefusesFilesOnDiskThatAreNotSites) {
    CTempDir dir;
    std::vector<uint8_t> big(300000, 'x'); // larger than a header, with no magic
    WriteAll(dir.File("big.bin"), big);
    WriteAll(dir.File("short.bin"), {1, 2, 3});
    CSiteFile site;
    std::string detail;
    EXPECT_EQ(CSiteFileReader::Read(dir.File("big.bin"), site, detail), SF_NOT_SITE_FILE);
    EXPECT_EQ(CSiteFileReader::Read(dir.File("short.bin"), site, detail), SF_NOT_SITE_FILE);
}

// A pipe among them is refused at once instead of hanging the window in open().
TEST(SiteFileReader, UnopenableFileGivesTheSystemText) {
    CTempDir dir;
    ASSERT_EQ(::mkfifo(dir.File("pipe.lks").c_str(), 0644), 0);
    const struct {
        std::string path;
        int error;
    } cases[] = {
        {dir.File("none.lks"), ENOENT}, {dir.Path(), EISDIR}, {dir.File("pipe.lks"), EINVAL}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        CSiteFile site;
        std::string detail;
        EXPECT_EQ(CSiteFileReader::Read(c.path, site, detail), SF_OPEN_FAILED);
        EXPECT_EQ(detail, std::strerror(c.error));
    }
}

} // namespace
