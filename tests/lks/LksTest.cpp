// The lks tool end to end: it is run as a program on files built here, and its outputs are read
// back with the program's own site reader.
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QSet>

#include <cstring>

#include "LksRun.h"
#include "TestFiles.h"
#include "files/SiteFile.h"
#include "files/SiteFileReader.h"
#include "files/SiteFileWriter.h"
#include "survey/RecordList.h"

namespace {

void readSite(const std::string& path, CSiteFile& site) {
    std::string detail;
    ASSERT_EQ(CSiteFileReader::Read(path, site, detail), SF_OK) << detail;
}

// A 5 x 3 plan: red, green, blue and black pixels, a transparent one, the rest grey.
QImage planImage() {
    QImage image(5, 3, QImage::Format_ARGB32);
    image.fill(qRgb(128, 128, 128));
    image.setPixel(0, 0, qRgb(255, 0, 0));
    image.setPixel(4, 0, qRgb(0, 255, 0));
    image.setPixel(0, 2, qRgb(0, 0, 255));
    image.setPixel(2, 1, qRgb(0, 0, 0));
    image.setPixel(4, 2, qRgba(0, 0, 0, 0));
    return image;
}

uint32_t colourAt(const SitePicture& p, int x, int y) {
    return p.palette[p.RowFromTop(y)[x]];
}

// A made site, then saved by the program's writer with three points and a signature.
std::string surveyedSite(const CTempDir& dir) {
    EXPECT_TRUE(planImage().save(QString::fromStdString(dir.File("plan.png"))));
    EXPECT_EQ(RunLks(dir, dir.File("plan.png") + " -o " + dir.File("s.lks")).exitCode, 2);
    EXPECT_EQ(RunLks(dir, "make " + dir.File("plan.png") + " -o " + dir.File("s.lks")).exitCode, 0);
    CSiteFile site;
    readSite(dir.File("s.lks"), site);
    CRecordList list;
    AppendRecord(list, 1, 2, "HALL, EAST", 1, 870.03, -76);
    AppendRecord(list, 1, 2, "HALL, EAST", 25, 1930.75, -100);
    AppendRecord(list, 3, 0, "LOBBY", 0, 0.0, -100);
    AppendRecord(list, 4, 1, "Q\"uote", 990, 869.01, -55);
    list.Head()->prev->uncalibrated = true; // a radio's reading no calibration covered
    EXPECT_EQ(CSiteFileWriter().Save(
                  dir.File("s.lks"), site.m_header, list,
                  [](int x, int y) { return x == 10 && y == 10 ? 0u : 1u; }, 1700000000u),
              SF_OK);
    return dir.File("s.lks");
}

TEST(Lks, MakeBuildsAnEmptySiteAroundThePlan) {
    CTempDir dir;
    ASSERT_TRUE(planImage().save(QString::fromStdString(dir.File("plan.png"))));
    const ToolRun run = RunLks(dir, "make " + dir.File("plan.png") + " -o " + dir.File("s.lks"));
    ASSERT_EQ(run.exitCode, 0) << run.err;

    CSiteFile site;
    readSite(dir.File("s.lks"), site);
    EXPECT_EQ(site.HeaderLength(), 150);
    EXPECT_EQ(site.SurveyState(), 0);
    EXPECT_EQ(site.SaveTime(), 0u);
    const SitePicture& p = site.m_picture;
    ASSERT_EQ(p.width, 5);
    ASSERT_EQ(p.height, 3);
    EXPECT_EQ(p.stride, 8u);
    EXPECT_EQ(colourAt(p, 0, 0), 0xFF0000u);
    EXPECT_EQ(colourAt(p, 4, 0), 0x00FF00u);
    EXPECT_EQ(colourAt(p, 0, 2), 0x0000FFu);
    EXPECT_EQ(colourAt(p, 2, 1), 0x000000u);
    EXPECT_EQ(colourAt(p, 4, 2), 0xFFFFFFu); // transparent became paper
    EXPECT_EQ(colourAt(p, 1, 1), 0x808080u);
    EXPECT_TRUE(site.m_points.empty());
    EXPECT_FALSE(site.m_surveyTruncated);

    const std::vector<uint8_t> bytes = ReadAll(dir.File("s.lks"));
    EXPECT_EQ(GetU32(bytes, 138), 150u); // picture right after the header
    const uint32_t signature = GetU32(bytes, 142);
    const uint32_t survey = GetU32(bytes, 146);
    EXPECT_EQ(signature, 150u + 1078u + 24u);
    EXPECT_EQ(GetU32(bytes, 150 + 14 + 20), 24u); // image size filled in
    EXPECT_EQ(survey, signature + 80000u);
    for (uint32_t at = signature; at < survey; at += 4) {
        ASSERT_EQ(GetU32(bytes, at), 0x00FFFFFFu) << at;
    }
    ASSERT_EQ(bytes.size(), survey + 8u); // only the two size words
    EXPECT_EQ(GetU32(bytes, survey), 42u);
    EXPECT_EQ(GetU32(bytes, survey + 4), 14u);
}

TEST(Lks, MakeReadsJpegAndBmpPlans) {
    CTempDir dir;
    QImage image(33, 17, QImage::Format_RGB32);
    image.fill(qRgb(250, 250, 250));
    ASSERT_TRUE(image.save(QString::fromStdString(dir.File("plan.bmp"))));
    ASSERT_TRUE(image.save(QString::fromStdString(dir.File("plan.jpg"))));
    for (const char* name : {"plan.bmp", "plan.jpg"}) {
        const std::string out = dir.File(std::string(name) + ".lks");
        ASSERT_EQ(RunLks(dir, "make " + dir.File(name) + " -o " + out).exitCode, 0) << name;
        CSiteFile site;
        readSite(out, site);
        EXPECT_EQ(site.m_picture.width, 33) << name;
        EXPECT_EQ(site.m_picture.height, 17) << name;
        EXPECT_EQ(site.m_picture.stride, 36u) << name;
    }
}

TEST(Lks, MakeNeverReplacesASiteUnlessForced) {
    CTempDir dir;
    const std::string site = surveyedSite(dir);
    const std::vector<uint8_t> before = ReadAll(site);
    ExpectBadInput(RunLks(dir, "make " + dir.File("plan.png") + " -o " + site), "already exists");
    EXPECT_EQ(ReadAll(site), before);
    ASSERT_EQ(RunLks(dir, "make " + dir.File("plan.png") + " -o " + site + " --force").exitCode, 0);
    CSiteFile replaced;
    readSite(site, replaced);
    EXPECT_TRUE(replaced.m_points.empty());
}

TEST(Lks, MakeKeepsSmallPalettesExactlyAndLineArtFreeOfDots) {
    CTempDir dir;
    // 250 colours: every pixel kept exactly.
    QImage few(50, 5, QImage::Format_RGB32);
    for (int i = 0; i < 250; ++i) {
        few.setPixel(i % 50, i / 50, qRgb(i, 255 - i, (i * 7) % 256));
    }
    // A plan with antialiased text: thousands of greys and tints on white.
    QImage art(300, 120, QImage::Format_RGB32);
    art.fill(Qt::white);
    {
        QPainter paint(&art);
        paint.setRenderHint(QPainter::Antialiasing);
        paint.setPen(QPen(QColor(30, 30, 120), 1.3));
        for (int i = 0; i < 12; ++i) {
            paint.drawLine(QPointF(5 + i * 23.3, 5), QPointF(40 + i * 21.7, 115));
            paint.drawEllipse(QPointF(30 + i * 22.1, 60), 9.3, 7.1);
        }
    }
    QSet<QRgb> colours;
    for (int y = 0; y < art.height(); ++y) {
        for (int x = 0; x < art.width(); ++x) {
            colours.insert(art.pixel(x, y));
        }
    }
    ASSERT_GT(colours.size(), 256) << "the plan needs more than a palette holds";
    ASSERT_TRUE(few.save(QString::fromStdString(dir.File("few.png"))));
    ASSERT_TRUE(art.save(QString::fromStdString(dir.File("art.png"))));
    for (const char* name : {"few", "art"}) {
        const std::string out = dir.File(std::string(name) + ".lks");
        ASSERT_EQ(
            RunLks(dir, "make " + dir.File(std::string(name) + ".png") + " -o " + out).exitCode, 0);
        CSiteFile site;
        readSite(out, site);
        const QImage& in = std::string(name) == "few" ? few : art;
        int changed = 0;
        int dotted = 0;
        for (int y = 0; y < in.height(); ++y) {
            for (int x = 0; x < in.width(); ++x) {
                const QRgb want = in.pixel(x, y) & 0xFFFFFFu;
                changed += colourAt(site.m_picture, x, y) != want ? 1 : 0;
                dotted += want == 0xFFFFFFu && colourAt(site.m_picture, x, y) != want ? 1 : 0;
            }
        }
        if (std::string(name) == "few") {
            EXPECT_EQ(changed, 0) << "250 colours convert losslessly";
        }
        EXPECT_EQ(dotted, 0) << name << ": white paper stays white, without dither dots";
    }
    ExpectBadInput(
        RunLks(dir, "make --force " + dir.File("few.png") + " -o " + dir.File("few.png")),
        "is an input");
}

TEST(Lks, ExportGivesTheFilesSixteenthsAndToolsRefuseADamagedBitmapHeader) {
    CTempDir dir;
    CSurveyBytes survey;
    survey.Sizes().Location(1, 1, "A", 2).Reading(1, 870.03, -1535).Reading(2, 870.06, -1600);
    SiteRecipe recipe;
    recipe.survey = survey.Bytes();
    SiteOffsets o;
    std::vector<uint8_t> bytes = BuildSite(recipe, &o);
    WriteAll(dir.File("s.lks"), bytes);
    EXPECT_EQ(RunLks(dir, "export " + dir.File("s.lks")).out,
              "x,y,name,channel,frequency_mhz,rssi_dbm,calibrated\n"
              "1,1,A,1,870.030000,-95.9375,yes\n"
              "1,1,A,2,870.060000,-100,yes\n");
    EXPECT_NE(RunLks(dir, "export --format json " + dir.File("s.lks")).out.find("-95.9375"),
              std::string::npos);

    std::vector<uint8_t> noMagic = bytes;
    noMagic[o.picture] = 'X';
    WriteAll(dir.File("magic.lks"), noMagic);
    std::vector<uint8_t> offset = bytes;
    PutU32(offset, o.picture + 10, 54); // rows said to start inside the colour table
    WriteAll(dir.File("offset.lks"), offset);
    for (const std::string& command :
         {std::string("info "), std::string("export "), "heatmap -o " + dir.File("m.png") + " "}) {
        ExpectBadInput(RunLks(dir, command + dir.File("magic.lks")), "\"BM\" signature");
        ExpectBadInput(RunLks(dir, command + dir.File("offset.lks")), "pixel offset");
    }
}

TEST(Lks, MakeRefusesUnreadableImages) {
    CTempDir dir;
    WriteText(dir.File("fake.png"), "not an image at all");
    ExpectBadInput(RunLks(dir, "make " + dir.File("fake.png") + " -o " + dir.File("s.lks")),
                   "cannot read image");
    ExpectBadInput(RunLks(dir, "make " + dir.File("none.png") + " -o " + dir.File("s.lks")),
                   "cannot read image");
    ExpectBadInput(RunLks(dir, "make " + dir.File("fake.png")), "-o SITE");
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"fake.png"}));
}

TEST(Lks, InfoOfANewSite) {
    CTempDir dir;
    ASSERT_TRUE(planImage().save(QString::fromStdString(dir.File("plan.png"))));
    ASSERT_EQ(RunLks(dir, "make " + dir.File("plan.png") + " -o " + dir.File("s.lks")).exitCode, 0);
    const ToolRun run = RunLks(dir, "info " + dir.File("s.lks"));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "header length: 150\n"
                       "survey state: 0\n"
                       "last saved: never\n"
                       "picture: 5 x 3\n"
                       "points: 0\n"
                       "readings: 0\n"
                       "uncalibrated readings: 0\n"
                       "signature ink: no\n");
}

TEST(Lks, InfoOfASavedSurvey) {
    CTempDir dir;
    const ToolRun run = RunLks(dir, "info " + surveyedSite(dir));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "header length: 150\n"
                       "survey state: 2\n"
                       "last saved: 2023-11-14T22:13:20Z\n"
                       "picture: 5 x 3\n"
                       "points: 3\n"
                       "readings: 3\n"
                       "uncalibrated readings: 1\n"
                       "signature ink: yes\n");
}

TEST(Lks, ExportCsvHasOneRowPerReading) {
    CTempDir dir;
    const std::string site = surveyedSite(dir);
    const ToolRun run = RunLks(dir, "export " + site);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "x,y,name,channel,frequency_mhz,rssi_dbm,calibrated\n"
                       "1,2,\"HALL, EAST\",1,870.030000,-76,yes\n"
                       "1,2,\"HALL, EAST\",25,1930.750000,-100,yes\n"
                       "3,0,LOBBY,,,,\n"
                       "4,1,\"Q\"\"uote\",990,869.010000,-55,no\n");
    EXPECT_EQ(RunLks(dir, "export --format csv " + site).out, run.out);
}

TEST(Lks, ExportJsonIsAnArrayOfReadings) {
    CTempDir dir;
    const ToolRun run = RunLks(dir, "export " + surveyedSite(dir) + " --format json");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(run.out), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << run.out;
    ASSERT_TRUE(doc.isArray());
    const QJsonArray rows = doc.array();
    ASSERT_EQ(rows.size(), 4);
    EXPECT_EQ(rows[0].toObject()["name"].toString(), "HALL, EAST");
    EXPECT_EQ(rows[1].toObject()["channel"].toInt(), 25);
    EXPECT_DOUBLE_EQ(rows[1].toObject()["frequency_mhz"].toDouble(), 1930.75);
    EXPECT_EQ(rows[1].toObject()["rssi_dbm"].toInt(), -100);
    EXPECT_TRUE(rows[2].toObject()["channel"].isNull());
    EXPECT_TRUE(rows[2].toObject()["rssi_dbm"].isNull());
    EXPECT_EQ(rows[3].toObject()["name"].toString(), "Q\"uote");
    EXPECT_EQ(rows[3].toObject()["x"].toInt(), 4);
    EXPECT_TRUE(rows[0].toObject()["calibrated"].toBool());
    EXPECT_TRUE(rows[2].toObject()["calibrated"].isNull());
    EXPECT_FALSE(rows[3].toObject()["calibrated"].toBool(true));
}

TEST(Lks, ExportOfASiteWithoutPointsIsEmpty) {
    CTempDir dir;
    WriteAll(dir.File("s.lks"), BuildSite(SiteRecipe{}));
    EXPECT_EQ(RunLks(dir, "export " + dir.File("s.lks")).out,
              "x,y,name,channel,frequency_mhz,rssi_dbm,calibrated\n");
    EXPECT_EQ(RunLks(dir, "export --format=json " + dir.File("s.lks")).out, "[]\n");
}

TEST(Lks, BadSiteFilesGiveOneLineAndExitTwo) {
    CTempDir dir;
    SiteOffsets o;
    CSurveyBytes survey;
    survey.Sizes().Location(1, 1, "A", 2).Reading(1, 870.03, -800);
    SiteRecipe recipe;
    recipe.survey = survey.Bytes();
    const std::vector<uint8_t> good = BuildSite(recipe, &o);
    WriteAll(dir.File("cut-survey.lks"), good); // promises 2 readings, holds 1
    WriteAll(dir.File("cut-picture.lks"), {good.begin(), good.begin() + o.pixels + 5});
    WriteText(dir.File("text.lks"), "hello, this is not a site file at all");
    for (const char* command : {"info ", "export "}) {
        ExpectBadInput(RunLks(dir, command + dir.File("missing.lks")), "cannot open");
        ExpectBadInput(RunLks(dir, command + dir.Path()), "cannot open");
        ExpectBadInput(RunLks(dir, command + dir.File("text.lks")), "not a site file");
        ExpectBadInput(RunLks(dir, command + dir.File("cut-picture.lks")), "not a site file");
        ExpectBadInput(RunLks(dir, command + dir.File("cut-survey.lks")), "truncated");
    }
}

TEST(Lks, BadArgumentsExitTwo) {
    CTempDir dir;
    WriteAll(dir.File("s.lks"), BuildSite(SiteRecipe{}));
    ExpectBadInput(RunLks(dir, ""), "usage");
    ExpectBadInput(RunLks(dir, "frobnicate"), "unknown command");
    ExpectBadInput(RunLks(dir, "info"), "no site file");
    ExpectBadInput(RunLks(dir, "info a b"), "unexpected argument");
    ExpectBadInput(RunLks(dir, "export " + dir.File("s.lks") + " --format xml"), "unknown format");
    ExpectBadInput(RunLks(dir, "export " + dir.File("s.lks") + " --format"), "--format");
    ExpectBadInput(RunLks(dir, "make -o"), "needs a file name");
}

TEST(Lks, EveryCommandHasHelp) {
    CTempDir dir;
    for (const char* command : {"make", "info", "export", "heatmap", "table"}) {
        const ToolRun run = RunLks(dir, std::string(command) + " --help");
        EXPECT_EQ(run.exitCode, 0) << command;
        EXPECT_EQ(run.out.rfind(std::string("usage: lks ") + command, 0), 0u) << run.out;
        EXPECT_TRUE(run.err.empty());
    }
    const ToolRun run = RunLks(dir, "--help");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.out.find("export"), std::string::npos);
    EXPECT_NE(run.out.find("heatmap"), std::string::npos);
}

} // namespace
