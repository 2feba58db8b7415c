// lks gridtest end to end: sites are built here, the tool runs as a program, and its PDF is read
// back through poppler's pdftotext and pdftoppm, its CSV and JSON as text.
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>
#include <cstring>
#include <regex>
#include <unistd.h>

#include "FileHash.h"
#include "LksRun.h"
#include "ReportFirstPage.h"
#include "TestFiles.h"
#include "files/SiteFile.h"
#include "files/SiteFileMaker.h"
#include "files/SiteFileReader.h"
#include "files/SiteFileWriter.h"
#include "files/SitePicture.h"
#include "survey/RecordList.h"

namespace {

constexpr uint32_t kSaveTime = 1700000000u; // 2023-11-14 22:13:20 UTC
constexpr double kNotMeasured = 0.0;

// Two blocks of ink: top left and bottom right of the pad, so that a picture upside down or
// mirrored shows.
bool inkAt(int x, int y) {
    return (x >= 20 && x < 60 && y >= 20 && y < 50) || (x >= 120 && x < 180 && y >= 60 && y < 90);
}

// A 400 x 300 plan (4:3: 5 x 4 cells of 80 x 75) with a point at each cell's centre whose
// channel 1 reads the cell's value and channel 25 five dB less; kNotMeasured leaves a cell empty.
struct GridSurvey {
    double cells[20] = {};
    bool signedByHand = true;
    std::vector<std::pair<std::pair<int32_t, int32_t>, int>> extraPoints; // (x, y), dBm
};

GridSurvey allCells(double dbm) {
    GridSurvey survey;
    for (double& c : survey.cells) {
        c = dbm;
    }
    return survey;
}

std::string makeSite(const CTempDir& dir, const std::string& name, const GridSurvey& survey) {
    SitePicture picture;
    picture.width = 400;
    picture.height = 300;
    picture.stride = SitePicture::StrideFor(400);
    picture.palette[0] = 0xFFFFFF;
    picture.palette[1] = 0x404040;
    picture.pixels.assign(size_t{picture.stride} * 300, 0);
    for (int x = 0; x < 400; ++x) {
        picture.pixels[size_t{picture.stride} * 150 + x] = 1; // a wall across the middle
    }
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(CSiteFileMaker::Make(picture, bytes));
    CSiteFile site;
    std::string detail;
    EXPECT_EQ(CSiteFileReader::Parse(bytes.data(), bytes.size(), site, detail), SF_OK) << detail;
    const std::string path = dir.File(name);
    WriteAll(path, bytes);

    CRecordList list;
    for (int i = 0; i < 20; ++i) {
        if (survey.cells[i] == kNotMeasured) {
            continue;
        }
        const int32_t x = (i % 5) * 80 + 40;
        const int32_t y = (i / 5) * 75 + 37;
        AppendRecord(list, x, y, "TEST", 1, 870.03, static_cast<int>(survey.cells[i]));
        AppendRecord(list, x, y, "TEST", 25, 1930.75, static_cast<int>(survey.cells[i]) - 5);
    }
    for (const auto& [at, dbm] : survey.extraPoints) {
        AppendRecord(list, at.first, at.second, "EXTRA", 1, 870.03, dbm);
        AppendRecord(list, at.first, at.second, "EXTRA", 25, 1930.75, dbm - 5);
    }
    const bool inked = survey.signedByHand;
    EXPECT_EQ(CSiteFileWriter().Save(
                  path, site.m_header, list,
                  [inked](int x, int y) { return inked && inkAt(x, y) ? 0u : 0xFFFFFFu; },
                  kSaveTime),
              SF_OK);
    return path;
}

ProgramRun lks(const CTempDir& dir, const std::vector<std::string>& args,
               bool bareEnvironment = false) {
    std::vector<std::string> all = {"gridtest"};
    all.insert(all.end(), args.begin(), args.end());
    return RunProgram(LKS_PROGRAM, all, dir.Path(), bareEnvironment);
}

// Exit 2, one line on stderr naming the fault, nothing on stdout, no report.
void expectBadInput(const CTempDir& dir, const std::vector<std::string>& args,
                    const std::string& mentions) {
    ExpectBadInput(lks(dir, args), mentions);
    EXPECT_TRUE(ReadAll(dir.File("r.pdf")).empty()) << "no report for bad input: " << mentions;
}

// The PDF's text, one string per page.
std::vector<std::string> pdfPages(const CTempDir& dir, const std::string& pdf) {
    const ProgramRun run = RunProgram("pdftotext", {"-layout", pdf, "-"}, dir.Path());
    EXPECT_EQ(run.exitCode, 0) << "pdftotext (poppler-utils) is needed: " << run.err;
    std::vector<std::string> pages;
    size_t start = 0;
    for (size_t ff = run.out.find('\f'); ff != std::string::npos; ff = run.out.find('\f', start)) {
        pages.push_back(run.out.substr(start, ff - start));
        start = ff + 1;
    }
    return pages;
}

QImage renderFirstPage(const CTempDir& dir, const std::string& pdf) {
    const ProgramRun run = RunProgram(
        "pdftoppm",
        {"-r", "150", "-f", "1", "-l", "1", "-singlefile", "-png", pdf, dir.File("page")},
        dir.Path());
    EXPECT_EQ(run.exitCode, 0) << "pdftoppm (poppler-utils) is needed: " << run.err;
    return QImage(QString::fromStdString(dir.File("page.png")));
}

std::string textOf(const std::string& path) {
    const std::vector<uint8_t> bytes = ReadAll(path);
    return std::string(bytes.begin(), bytes.end());
}

QJsonObject jsonOf(const std::string& path) {
    return QJsonDocument::fromJson(QByteArray::fromStdString(textOf(path))).object();
}

// Near the signature's ink colour; anti-aliased edges may fall outside, the inside never does.
bool isInk(const QColor& c) {
    const QColor ink = lks::SignatureInk();
    return std::abs(c.red() - ink.red()) < 16 && std::abs(c.green() - ink.green()) < 16 &&
           std::abs(c.blue() - ink.blue()) < 16;
}

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// Everything but the creation date, which the PDF writer stamps on every document.
std::string withoutCreationDate(const std::vector<uint8_t>& pdf) {
    const std::string text(pdf.begin(), pdf.end());
    return std::regex_replace(text, std::regex("/CreationDate \\(D:[0-9+\\-'Z]*\\)"), "");
}

TEST(LksGridtest, PassFailAndBadInputExitCodes) {
    CTempDir dir;
    const std::string pass = makeSite(dir, "pass.lks", allCells(-80));
    const std::string fail = makeSite(dir, "fail.lks", allCells(-100));
    ProgramRun run = lks(dir, {pass, "-o", dir.File("pass.pdf")});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(run.err.empty()) << run.err;
    EXPECT_EQ(ReadAll(dir.File("pass.pdf")).size() > 1000 &&
                  std::memcmp(ReadAll(dir.File("pass.pdf")).data(), "%PDF", 4) == 0,
              true);
    run = lks(dir, {fail, "-o", dir.File("fail.pdf")});
    EXPECT_EQ(run.exitCode, 3) << run.err;
    EXPECT_TRUE(run.err.empty()) << run.err;
    EXPECT_TRUE(contains(pdfPages(dir, dir.File("fail.pdf"))[0], "FAIL"));

    const std::string out = dir.File("r.pdf");
    expectBadInput(dir, {pass}, "-o REPORT.pdf");
    expectBadInput(dir, {dir.File("missing.lks"), "-o", out}, "cannot open");
    expectBadInput(dir, {pass, "-o", out, "--profile", "nfpa72"}, "unknown profile");
    expectBadInput(dir, {pass, "-o", out, "--threshold", "-95dBm"}, "--threshold");
    expectBadInput(dir, {pass, "-o", out, "--threshold", "20"}, "--threshold");
    expectBadInput(dir, {pass, "-o", out, "--pass", "0"}, "--pass");
    expectBadInput(dir, {pass, "-o", out, "--critical-pass", "101"}, "--critical-pass");
    expectBadInput(dir, {pass, "-o", out, "--grid", "5by4"}, "COLSxROWS");
    expectBadInput(dir, {pass, "-o", out, "--grid", "0x4"}, "COLSxROWS");
    expectBadInput(dir, {pass, "-o", out, "--area", "0,0,400"}, "X,Y,W,H");
    expectBadInput(dir, {pass, "-o", out, "--area", "0,0,401,300"}, "outside the 400 x 300");
    expectBadInput(dir, {pass, "-o", out, "--critical", "390,290,20,20:Stair"}, "'Stair'");
    expectBadInput(dir, {pass, "-o", out, "--area", "0,0,3,3"}, "does not fit");
    expectBadInput(dir, {pass, "-o", out, "--channel", "1,x"}, "--channel");
    expectBadInput(dir, {pass, "-o", out, "--channel", "384"}, "channel 384 was not read");
    expectBadInput(dir, {pass, "-o", out, "--mode", "median"}, "unknown mode");
    expectBadInput(dir, {pass, "-o", out, "--scale", "12"}, "--scale");
    expectBadInput(dir, {pass, "-o", out, "--paper", "a3"}, "unknown paper");
    expectBadInput(dir, {pass, "-o", out, "--colour", "red"}, "unknown option '--colour'");
    expectBadInput(dir, {pass, "-o", out, "--title"}, "needs a value");
    expectBadInput(dir, {pass, "-o", out, "extra"}, "unexpected argument");
    expectBadInput(dir, {pass, "-o", out, "--csv", out}, "same file");

    // The report must never replace the survey it reports on.
    const std::vector<uint8_t> before = ReadAll(pass);
    expectBadInput(dir, {pass, "-o", pass}, "is the site file itself");
    expectBadInput(dir, {pass, "-o", out, "--json", pass}, "is the site file itself");
    EXPECT_EQ(ReadAll(pass), before);
}

TEST(LksGridtest, AReportThatCannotBeWrittenExitsOne) {
    CTempDir dir;
    const std::string site = makeSite(dir, "s.lks", allCells(-80));
    const ProgramRun run = lks(dir, {site, "-o", dir.File("no/such/folder/r.pdf")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err.rfind("lks: gridtest: cannot write ", 0), 0u) << run.err;
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
}

TEST(LksGridtest, ProfilesSetThePassRate) {
    CTempDir dir;
    GridSurvey survey = allCells(-80);
    survey.cells[3] = -100;
    survey.cells[17] = -96;
    const std::string site = makeSite(dir, "s.lks", survey); // 18 of 20 cells pass: 90 %
    const std::string out = dir.File("r.pdf");
    EXPECT_EQ(lks(dir, {site, "-o", out}).exitCode, 0) << "NFPA 1221 is the default: 90 %";
    EXPECT_EQ(lks(dir, {site, "-o", out, "--profile", "nfpa1221"}).exitCode, 0);
    EXPECT_EQ(lks(dir, {site, "-o", out, "--profile", "ifc2009"}).exitCode, 3);
    EXPECT_EQ(lks(dir, {site, "-o", out, "--profile", "nfpa1225"}).exitCode, 3);
    EXPECT_EQ(lks(dir, {site, "-o", out, "--profile=ifc2009", "--pass", "90"}).exitCode, 0);
    EXPECT_EQ(lks(dir, {site, "-o", out, "--threshold", "-96"}).exitCode, 0);
    EXPECT_EQ(lks(dir, {site, "-o", out, "--profile", "ifc2009", "--threshold", "-96"}).exitCode, 0)
        << "19 of 20 at -96 dBm";
    const std::string first = pdfPages(dir, out)[0];
    EXPECT_TRUE(contains(first, "IFC 2009")) << first;
    EXPECT_TRUE(contains(first, "95 % of cells")) << first;
}

TEST(LksGridtest, NotTestedCellsAndCriticalAreasFailTheFloor) {
    CTempDir dir;
    GridSurvey survey = allCells(-70);
    survey.cells[0] = kNotMeasured; // A1
    survey.cells[1] = kNotMeasured; // A2
    survey.extraPoints = {{{300, 250}, -100}};
    const std::string site = makeSite(dir, "s.lks", survey);
    const std::string out = dir.File("r.pdf");
    ProgramRun run = lks(dir, {site, "-o", out, "--json", dir.File("r.json")});
    EXPECT_EQ(run.exitCode, 0) << "18 of 20 with two cells not tested";
    // A critical area around the weak point and the centre of D4: 1 of 2 points passes.
    run = lks(dir, {site, "-o", out, "--critical", "270,230,60,50:Stair 2", "--critical",
                    "0,0,79,74", "--json", dir.File("r.json"), "--csv", dir.File("r.csv")});
    EXPECT_EQ(run.exitCode, 3) << run.err;

    const QJsonObject json = jsonOf(dir.File("r.json"));
    EXPECT_EQ(json["verdict"].toString(), "FAIL");
    EXPECT_EQ(json["general"].toObject()["result"].toString(), "PASS");
    const QJsonArray areas = json["critical_areas"].toArray();
    ASSERT_EQ(areas.size(), 2);
    EXPECT_EQ(areas[0].toObject()["name"].toString(), "Stair 2");
    EXPECT_EQ(areas[0].toObject()["points"].toInt(), 2);
    EXPECT_EQ(areas[0].toObject()["passing"].toInt(), 1);
    EXPECT_EQ(areas[0].toObject()["result"].toString(), "FAIL");
    EXPECT_EQ(areas[1].toObject()["name"].toString(), "Critical area 2");
    EXPECT_EQ(areas[1].toObject()["result"].toString(), "NOT TESTED");
    const QJsonArray cells = json["cells"].toArray();
    ASSERT_EQ(cells.size(), 20);
    EXPECT_EQ(cells[0].toObject()["result"].toString(), "NOT TESTED");
    EXPECT_TRUE(cells[0].toObject()["value_dbm"].isNull());
    EXPECT_EQ(json["failing_cells"].toArray(), (QJsonArray{"A1", "A2"}));
    EXPECT_EQ(json["adjacent_failing_cells"].toArray(), (QJsonArray{QJsonArray{"A1", "A2"}}));
    const QJsonObject d4 = cells[18].toObject();
    EXPECT_EQ(d4["label"].toString(), "D4");
    EXPECT_EQ(d4["count"].toInt(), 2) << "the centre point and the weak one";
    EXPECT_DOUBLE_EQ(d4["value_dbm"].toDouble(), -70.0) << "centre mode: the point at the centre";
    EXPECT_EQ(d4["critical_areas"].toArray(), (QJsonArray{"Stair 2"}));

    const std::string csv = textOf(dir.File("r.csv"));
    EXPECT_EQ(csv.rfind("label,x,y,w,h,value_dbm,count,min_dbm,max_dbm,result,critical_area\n"
                        "A1,0,0,80,75,,0,,,NOT TESTED,Critical area 2\n"
                        "A2,80,0,80,75,,0,,,NOT TESTED,\n"
                        "A3,160,0,80,75,-70.0,1,-70.0,-70.0,PASS,\n",
                        0),
              0u)
        << csv;
    EXPECT_TRUE(contains(csv, "D4,240,225,80,75,-70.0,2,-100.0,-70.0,PASS,Stair 2\n")) << csv;
    EXPECT_TRUE(contains(csv, "\nscope,name,count,passing,share_pct,required_pct,result\n"
                              "general cells,,20,18,90.0,90,PASS\n"
                              "critical area,Stair 2,2,1,50.0,99,FAIL\n"
                              "critical area,Critical area 2,0,0,,99,NOT TESTED\n"
                              "verdict,,,,,,FAIL\n"))
        << csv;

    // The mean of D4's -70 and -100 dBm in power, not in decibels: -73.01, not -85.
    run = lks(dir, {site, "-o", out, "--mode", "mean", "--json", dir.File("m.json")});
    const QJsonObject mean = jsonOf(dir.File("m.json"));
    EXPECT_NEAR(mean["cells"].toArray()[18].toObject()["value_dbm"].toDouble(), -73.01, 0.001);
}

TEST(LksGridtest, TheFirstPageShowsTheSurveyTheVerdictAndTheSignatureFromTheFile) {
    CTempDir dir;
    GridSurvey survey = allCells(-80);
    survey.cells[12] = -101;
    const std::string site = makeSite(dir, "survey.lks", survey);
    const std::string out = dir.File("r.pdf");
    ASSERT_EQ(lks(dir, {site, "-o", out, "--tester", "Jane Okafor", "--title", "Level 3 DAS",
                        "--scale", "4/ft"})
                  .exitCode,
              0);
    const std::vector<std::string> pages = pdfPages(dir, out);
    ASSERT_GE(pages.size(), 2u);
    const std::string& first = pages[0];
    for (const char* part : {"Level 3 DAS", "survey.lks", "2023-11-14 22:13:20 UTC", "PASS",
                             "19 of 20 cells", "95.0 %", "-95.0 dBm", "Jane Okafor",
                             "20.0 x 18.8 ft", "Failing cells (1): C3", "captured"}) {
        EXPECT_TRUE(contains(first, part)) << part << "\n" << first;
    }
    EXPECT_TRUE(contains(first, "Warning: cells are 18.8 ft high: under the codes' 20 ft"))
        << first;
    EXPECT_FALSE(contains(first, "not signed"));

    // The ink, and only the ink, in the signature's colour: two blocks, the first at the top
    // left, the second at the bottom right, in the pad's proportions.
    const QImage page = renderFirstPage(dir, out);
    ASSERT_FALSE(page.isNull());
    const auto inkAtPixel = [&](int x, int y) { return isInk(page.pixelColor(x, y)); };
    int left = page.width();
    int top = page.height();
    int right = -1;
    int bottom = -1;
    for (int y = 0; y < page.height(); ++y) {
        for (int x = 0; x < page.width(); ++x) {
            if (inkAtPixel(x, y)) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    ASSERT_GE(right, 0) << "no ink on the page";
    const double width = right - left + 1;
    const double height = bottom - top + 1;
    EXPECT_NEAR(width / height, 160.0 / 70.0, 0.12) << "the ink spans x 20..180 and y 20..90";
    // Pad coordinates to page pixels.
    const auto at = [&](double x, double y) {
        return inkAtPixel(left + static_cast<int>((x - 20) / 160.0 * width),
                          top + static_cast<int>((y - 20) / 70.0 * height));
    };
    EXPECT_TRUE(at(40, 35)) << "top left block";
    EXPECT_TRUE(at(150, 75)) << "bottom right block";
    EXPECT_FALSE(at(150, 35)) << "nothing at the top right";
    EXPECT_FALSE(at(40, 75)) << "nothing at the bottom left";
    EXPECT_FALSE(at(90, 55)) << "nothing between the blocks";
}

TEST(LksGridtest, ASiteWithoutInkSaysNotSigned) {
    CTempDir dir;
    GridSurvey survey = allCells(-80);
    survey.signedByHand = false;
    const std::string out = dir.File("r.pdf");
    ASSERT_EQ(lks(dir, {makeSite(dir, "s.lks", survey), "-o", out}).exitCode, 0);
    const std::string first = pdfPages(dir, out)[0];
    EXPECT_TRUE(contains(first, "not signed")) << first;
    EXPECT_TRUE(contains(first, "no scale given")) << first;
    const QImage page = renderFirstPage(dir, out);
    ASSERT_FALSE(page.isNull());
    for (int y = 0; y < page.height(); y += 2) {
        for (int x = 0; x < page.width(); x += 2) {
            ASSERT_FALSE(isInk(page.pixelColor(x, y))) << "ink at " << x << "," << y;
        }
    }
}

TEST(LksGridtest, EveryPageSaysPageXOfYAndTheTablesFollow) {
    CTempDir dir;
    GridSurvey survey = allCells(-80);
    survey.cells[19] = kNotMeasured;
    const std::string site = makeSite(dir, "s.lks", survey);
    const std::string out = dir.File("r.pdf");
    // A fine grid makes the cell table run over several pages.
    ASSERT_EQ(lks(dir, {site, "-o", out, "--grid", "20x10", "--paper", "letter"}).exitCode, 3);
    const std::vector<std::string> pages = pdfPages(dir, out);
    ASSERT_GE(pages.size(), 4u);
    for (size_t i = 0; i < pages.size(); ++i) {
        const std::string mark =
            "page " + std::to_string(i + 1) + " of " + std::to_string(pages.size());
        EXPECT_TRUE(contains(pages[i], mark)) << mark;
    }
    std::string rest;
    for (size_t i = 1; i < pages.size(); ++i) {
        rest += pages[i];
    }
    for (const char* part :
         {"Cells", "A1", "J20", "NOT TESTED", "Critical areas", "Channels", "Settings",
          "Median dBm", "20 x 10 = 200 cells (as given)", "US Letter"}) {
        EXPECT_TRUE(contains(rest, part)) << part;
    }
    // Channel 25 reads 5 dB under channel 1 at each of the 19 points.
    EXPECT_TRUE(std::regex_search(rest, std::regex("25 +19 +-85.0 +-85.0 +-85.0 +19 +100.0 %")))
        << rest;
    const ProgramRun info = RunProgram("pdfinfo", {out}, dir.Path());
    EXPECT_TRUE(contains(info.out, "612 x 792 pts")) << info.out;
}

TEST(LksGridtest, TheSameInputGivesTheSamePdfApartFromItsDate) {
    CTempDir dir;
    GridSurvey survey = allCells(-90);
    survey.cells[4] = -99;
    const std::string site = makeSite(dir, "s.lks", survey);
    const std::vector<std::string> args = {
        "--critical", "10,10,100,60:Pump room", "--scale", "3.5/m", "--mode", "mean"};
    std::vector<std::string> first = {site, "-o", dir.File("a.pdf")};
    std::vector<std::string> second = {site, "-o", dir.File("b.pdf")};
    first.insert(first.end(), args.begin(), args.end());
    second.insert(second.end(), args.begin(), args.end());
    ASSERT_EQ(lks(dir, first).exitCode, 0);
    ::sleep(1); // a second apart, so that the creation dates differ
    ASSERT_EQ(lks(dir, second).exitCode, 0);
    const std::vector<uint8_t> a = ReadAll(dir.File("a.pdf"));
    const std::vector<uint8_t> b = ReadAll(dir.File("b.pdf"));
    EXPECT_NE(a, b) << "the creation dates should differ";
    EXPECT_EQ(withoutCreationDate(a), withoutCreationDate(b));
    EXPECT_LT(withoutCreationDate(a).size(), a.size()) << "the date was found and taken out";
}

TEST(LksGridtest, TheReportCarriesTheSiteFilesSha256) {
    CTempDir dir;
    // The FIPS 180-2 example: SHA-256 of "abc".
    WriteText(dir.File("abc"), "abc");
    std::string hex;
    std::string error;
    ASSERT_TRUE(Sha256OfFile(dir.File("abc"), hex, error)) << error;
    EXPECT_EQ(hex, "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_FALSE(Sha256OfFile(dir.File("missing"), hex, error));

    const std::string site = makeSite(dir, "s.lks", allCells(-80));
    ASSERT_TRUE(Sha256OfFile(site, hex, error));
    const ProgramRun sum = RunProgram("sha256sum", {site}, dir.Path());
    ASSERT_EQ(sum.out.substr(0, 64), hex) << "an independent SHA-256 of the site agrees";
    ASSERT_EQ(lks(dir, {site, "-o", dir.File("r.pdf"), "--json", dir.File("r.json")}).exitCode, 0);
    EXPECT_TRUE(contains(pdfPages(dir, dir.File("r.pdf"))[0], hex));
    const QJsonObject json = jsonOf(dir.File("r.json"));
    EXPECT_EQ(json["sha256"].toString().toStdString(), hex);
}

TEST(LksGridtest, RunsWithoutADisplay) {
    CTempDir dir;
    const std::string site = makeSite(dir, "s.lks", allCells(-80));
    const ProgramRun run = lks(dir, {site, "-o", dir.File("r.pdf")}, true);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(run.err.empty()) << run.err;
    EXPECT_TRUE(contains(pdfPages(dir, dir.File("r.pdf"))[0], "PASS"));
}

TEST(LksGridtest, HelpListsTheOptions) {
    CTempDir dir;
    const ProgramRun run = lks(dir, {"--help"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out.rfind("usage: lks gridtest", 0), 0u) << run.out;
    for (const char* option : {"--profile", "--critical", "--mode", "--scale", "--paper"}) {
        EXPECT_TRUE(contains(run.out, option)) << option;
    }
}

} // namespace
