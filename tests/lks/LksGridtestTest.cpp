// lks gridtest end to end on one floor: sites are built here with readings in sixteenths of a dB,
// the tool runs as a program, and its PDF is read back through poppler's pdftotext and pdftoppm,
// its CSV and JSON as text.
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

#include "LksRun.h"
#include "ReportFirstPage.h"
#include "SurveySite.h"

namespace {

// 400 x 300: 5 x 4 cells of 80 x 75. One point at each cell's centre reading dbm on channel 1
// and five dB less on PCS channel 25; cells[i] overrides cell i (row by row), NAN leaves it out.
struct Floor {
    double dbm = -80.0;
    std::vector<std::pair<int, double>> cells;
    std::vector<TestPoint> extra;
    bool signedByHand = true;
};

std::string makeSite(const CTempDir& dir, const std::string& name, const Floor& floor) {
    std::vector<TestPoint> points;
    for (int i = 0; i < 20; ++i) {
        double dbm = floor.dbm;
        for (const auto& [cell, value] : floor.cells) {
            dbm = cell == i ? value : dbm;
        }
        if (!std::isnan(dbm)) {
            points.push_back(TwoChannelPoint((i % 5) * 80 + 40, (i / 5) * 75 + 37, dbm));
        }
    }
    points.insert(points.end(), floor.extra.begin(), floor.extra.end());
    return MakeSurveySite(dir, name, 400, 300, points, floor.signedByHand);
}

ProgramRun gridtest(const CTempDir& dir, const std::vector<std::string>& args,
                    bool bareEnvironment = false) {
    std::vector<std::string> all = {"gridtest"};
    all.insert(all.end(), args.begin(), args.end());
    return RunProgram(LKS_PROGRAM, all, dir.Path(), bareEnvironment);
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

std::string allText(const CTempDir& dir, const std::string& pdf) {
    std::string text;
    for (const std::string& page : pdfPages(dir, pdf)) {
        text += page;
    }
    return text;
}

QJsonObject jsonOf(const std::string& path) {
    return QJsonDocument::fromJson(QByteArray::fromStdString(TextOf(path))).object();
}

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// The cells of the first floor's channels in the JSON: channel index, then cell index.
QJsonObject cellOf(const QJsonObject& json, int channel, int cell) {
    return json["floors"][0]["channels"][channel]["sectors"][0]["cells"][cell].toObject();
}

TEST(LksGridtest, ExitCodesAndBadInputGiveOneLine) {
    CTempDir dir;
    const std::string pass = makeSite(dir, "pass.lks", {});
    Floor failing;
    failing.dbm = -100.0;
    const std::string fail = makeSite(dir, "fail.lks", failing);
    ProgramRun run = gridtest(dir, {pass, "-o", dir.File("pass.pdf")});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, dir.File("pass.pdf") + ": PASS: all 2 channels pass\n")
        << "the verdict on the terminal";
    run = gridtest(dir, {fail, "-o", dir.File("fail.pdf")});
    EXPECT_EQ(run.exitCode, 3) << run.err;
    EXPECT_EQ(run.out, dir.File("fail.pdf") + ": FAIL: 2 of 2 channels fail: 1, 25\n");
    EXPECT_TRUE(run.err.empty()) << run.err;

    const std::string empty = MakeSurveySite(dir, "empty.lks", 400, 300, {});
    WriteText(dir.File("daq.csv"), "cell,daq_down,daq_up,talkback\nZ9,3,3,pass\n");
    WriteText(dir.File("daq-bad.csv"), "cell,daq_down,daq_up,talkback\nA1,7,3,pass\n");
    const std::string out = dir.File("r.pdf");
    const struct {
        std::vector<std::string> args;
        const char* mentions;
    } cases[] = {
        {{pass}, "-o REPORT.pdf"},
        {{dir.File("missing.lks"), "-o", out}, "cannot open"},
        {{empty, "-o", out}, "has no measured points"},
        {{pass, "-o", out, "--profile", "nfpa1221"}, "unknown profile (nfpa1221-2019"},
        {{pass, "-o", out, "--threshold", "-95dBm"}, "--threshold"},
        {{pass, "-o", out, "--threshold", "-95.05"}, "at most one decimal"},
        {{pass, "-o", out, "--pass", "101"}, "--pass"},
        {{pass, "-o", out, "--max-failing", "-1"}, "--max-failing"},
        {{pass, "-o", out, "--min-daq", "0.5"}, "--min-daq"},
        {{pass, "-o", out, "--grid", "0x4"}, "COLSxROWS"},
        {{pass, "-o", out, "--area", "0,0,401,300"}, "outside the 400 x 300"},
        {{pass, "-o", out, "--critical", "390,290,20,20:Stair"}, "'Stair'"},
        {{pass, "-o", out, "--area", "0,0,3,3"}, "does not fit"},
        {{pass, "-o", out, "--scale", "1e-12px/ft"}, "--scale"},
        {{pass, "-o", out, "--scale", "0.002/ft"}, "check the scale"},
        {{pass, "-o", out, "--channel", "1,x"}, "--channel"},
        {{pass, "-o", out, "--channel", "384"}, "channel 384 was not read"},
        {{pass, "-o", out, "--centre-tolerance", "3ft"}, "needs the scale"},
        {{pass, "-o", out, "--test-date", "2025-02-30"}, "YYYY-MM-DD"},
        {{pass, "-o", out, "--daq", dir.File("daq.csv")}, "names cell Z9"},
        {{pass, "-o", out, "--daq", dir.File("daq-bad.csv")}, "line 2"},
        {{pass, "-o", out, "--require-complete", "--tester", "J. Okafor"}, "not given: Building"},
        {{pass, "-o", out, "--colour", "red"}, "unknown option '--colour'"},
        {{pass, "-o", out, "--title"}, "needs a value"},
        {{pass, "-o", out, "extra"}, "unexpected argument"},
        {{pass, "-o", out, "--csv", out}, "name the same file"},
        {{pass, "-o", pass}, "is an input"},
        {{pass, "-o", out, "--json", pass}, "is an input"},
        {{pass, "-o", out, "--daq", dir.File("daq.csv"), "--csv", dir.File("daq.csv")}, "input"},
    };
    const std::vector<uint8_t> before = ReadAll(pass);
    ASSERT_EQ(::symlink(pass.c_str(), dir.File("link.pdf").c_str()), 0);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mentions);
        ExpectBadInput(gridtest(dir, c.args), c.mentions);
        EXPECT_TRUE(ReadAll(out).empty()) << "no report for bad input";
    }
    ExpectBadInput(gridtest(dir, {pass, "-o", dir.File("link.pdf")}), "is an input");
    EXPECT_EQ(ReadAll(pass), before) << "the report never replaces the survey it reports on";
}

TEST(LksGridtest, AFailedRunLeavesNoneOfItsOutputs) {
    CTempDir dir;
    const std::string site = makeSite(dir, "s.lks", {});
    const ProgramRun run = gridtest(dir, {site, "-o", dir.File("r.pdf"), "--json",
                                          dir.File("r.json"), "--csv", dir.File("no/such/c.csv")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err.rfind("lks: gridtest: cannot write " + dir.File("no/such/c.csv"), 0), 0u)
        << run.err;
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"s.lks"})) << "no PDF, JSON or temporary";
}

TEST(LksGridtest, ExactValuesDeadSpotsAndPrintedValuesAgreeWithTheVerdict) {
    CTempDir dir;
    Floor floor;
    // B3 reads -1535 / 16 = -95.94 dBm: whole dBm would call it -95 and pass it at -95.
    floor.cells = {{7, -1535 / 16.0}};
    // A1 holds a dead location beside its centre point: the cell's mean is pulled down.
    floor.extra = {{45, 40, {}}};
    const std::string site = makeSite(dir, "s.lks", floor);
    ASSERT_EQ(gridtest(dir, {site, "-o", dir.File("r.pdf"), "--profile", "ifc2009", "--channel",
                             "1", "--json", dir.File("r.json"), "--csv", dir.File("r.csv")})
                  .exitCode,
              0)
        << "19 of 20 still reach 95 %";
    QJsonObject json = jsonOf(dir.File("r.json"));
    EXPECT_EQ(cellOf(json, 0, 7)["value_dbm"].toDouble(), -95.9375);
    EXPECT_EQ(cellOf(json, 0, 7)["result"].toString(), "FAIL");
    EXPECT_TRUE(
        contains(TextOf(dir.File("r.csv")), ",B3,160,75,80,75,1,870.030,800 MHz cellular,,-96.0,"))
        << TextOf(dir.File("r.csv"));

    // A critical area holding the dead spot and one strong point fails: its one cell stands on
    // the point nearest its centre, and a dead place is below every threshold.
    ASSERT_EQ(gridtest(dir, {site, "-o", dir.File("r.pdf"), "--channel", "1", "--critical",
                             "40,37,10,8:Pump room", "--json", dir.File("r.json")})
                  .exitCode,
              3);
    json = jsonOf(dir.File("r.json"));
    const QJsonObject pump = json["floors"][0]["channels"][0]["critical_areas"][0].toObject();
    EXPECT_EQ(pump["result"].toString(), "FAIL");
    EXPECT_TRUE(pump["cells"][0]["no_signal"].toBool());
    EXPECT_TRUE(contains(allText(dir, dir.File("r.pdf")), "no signal"));

    // Mean mode: 19 points at -95 and one at -96 average -95.045, printed -95.1 beside FAIL.
    Floor mean;
    mean.dbm = NAN;
    for (int i = 0; i < 20; ++i) {
        mean.extra.push_back({10 + i * 3, 10 + i, {{kCell1, X16(i == 0 ? -96.0 : -95.0)}}});
    }
    const std::string means = makeSite(dir, "m.lks", mean);
    ASSERT_EQ(gridtest(dir, {means, "-o", dir.File("m.pdf"), "--mode", "mean", "--grid", "1x1",
                             "--csv", dir.File("m.csv"), "--json", dir.File("m.json")})
                  .exitCode,
              3);
    EXPECT_TRUE(contains(TextOf(dir.File("m.csv")), ",-95.1,20,-96.0,-95.0,,,,,,,FAIL\n"))
        << TextOf(dir.File("m.csv"));
    EXPECT_NEAR(cellOf(jsonOf(dir.File("m.json")), 0, 0)["value_dbm"].toDouble(), -95.045, 1e-3);
    const std::string text = allText(dir, dir.File("m.pdf"));
    EXPECT_TRUE(contains(text, "-95.1")) << text;
}

TEST(LksGridtest, EachChannelIsJudgedOnItsOwnUnlessBestServerIsAsked) {
    CTempDir dir;
    Floor floor;
    // Channel 25 reads 5 dB under channel 1: at -92 on channel 1, three cells fail on 25 alone.
    floor.cells = {{0, -92.0}, {6, -91.0}, {12, -91.5}};
    const std::string site = makeSite(dir, "s.lks", floor);
    WriteText(dir.File("t.nct"), "2\r\n30\r\n0,1,Fire dispatch\r\n1,25,Sheriff\r\n0,65535,\r\n");
    const std::string pdf = dir.File("r.pdf");
    const struct {
        std::vector<std::string> args;
        int exit;
        const char* line;
    } cases[] = {
        {{}, 3, "FAIL: 1 of 2 channels fail: 25"},
        {{"--channel", "1"}, 0, "PASS: channel 1"},
        {{"--channel", "25@1930.77"}, 3, "FAIL: channel 25"},
        {{"--best-server"}, 0, "PASS: best server"},
        {{"--channel", "25", "--best-server"}, 3, "FAIL: best server"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = {site, "-o", pdf, "--table", dir.File("t.nct")};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const ProgramRun run = gridtest(dir, args);
        EXPECT_EQ(run.exitCode, c.exit) << c.line << run.err;
        EXPECT_EQ(run.out, pdf + ": " + c.line + "\n");
    }
    ASSERT_EQ(gridtest(dir, {site, "-o", pdf, "--table", dir.File("t.nct")}).exitCode, 3);
    const std::string text = allText(dir, pdf);
    for (const char* part : {"1930.770", "1900 MHz PCS", "870.030", "800 MHz cellular",
                             "Fire dispatch", "Sheriff", "each of 2 channels on its own"}) {
        EXPECT_TRUE(contains(text, part)) << part;
    }
    ASSERT_EQ(gridtest(dir, {site, "-o", pdf, "--best-server"}).exitCode, 0);
    EXPECT_TRUE(contains(allText(dir, pdf), "best server: the strongest of every channel"));
}

TEST(LksGridtest, TheCodesRulesSectorsAndCustomRules) {
    CTempDir dir;
    Floor adjacent;
    adjacent.cells = {{0, -100.0}, {1, -100.0}}; // A1 and A2 touch
    const std::string site = makeSite(dir, "s.lks", adjacent);
    const std::string pdf = dir.File("r.pdf");
    EXPECT_EQ(gridtest(dir, {site, "-o", pdf, "--channel", "1"}).exitCode, 0) << "18 of 20";
    EXPECT_EQ(
        gridtest(dir, {site, "-o", pdf, "--channel", "1", "--profile", "ifc-ordinance"}).exitCode,
        3)
        << "two failing cells that touch";
    EXPECT_EQ(gridtest(dir, {site, "-o", pdf, "--channel", "1", "--non-adjacent"}).exitCode, 3);
    EXPECT_TRUE(contains(allText(dir, pdf), "A1+A2"));
    EXPECT_EQ(gridtest(dir, {site, "-o", pdf, "--channel", "1", "--pass", "80"}).exitCode, 0);
    const std::string first = pdfPages(dir, pdf)[0];
    EXPECT_TRUE(contains(first, "custom, from NFPA 1221, 2019 edition: general share 80 %"))
        << first;

    // 640 x 400 ft at 1 px/ft: two sectors. A dead block of 160 x 160 ft fails its sector,
    // where one pool of 48 cells would have passed it at 44 of 48.
    std::vector<TestPoint> points;
    for (int y = 5; y < 400; y += 10) {
        for (int x = 5; x < 640; x += 10) {
            points.push_back(x < 160 && y < 160 ? TestPoint{x, y, {}}
                                                : TestPoint{x, y, {{kCell1, X16(-70.0)}}});
        }
    }
    const std::string large = MakeSurveySite(dir, "large.lks", 640, 400, points);
    ASSERT_EQ(gridtest(dir, {large, "-o", pdf, "--scale", "1/ft", "--centre-tolerance", "8ft",
                             "--json", dir.File("r.json")})
                  .exitCode,
              3);
    const QJsonArray sectors =
        jsonOf(dir.File("r.json"))["floors"][0]["channels"][0]["sectors"].toArray();
    ASSERT_EQ(sectors.size(), 2);
    EXPECT_EQ(sectors[0]["result"].toString(), "FAIL");
    EXPECT_EQ(sectors[0]["failing"].toArray().size(), 4);
    EXPECT_EQ(sectors[1]["result"].toString(), "PASS");
    EXPECT_TRUE(contains(pdfPages(dir, pdf)[0], "2 sectors of at most 128,000 sq ft"));
}

TEST(LksGridtest, TheAcceptanceRecordAndDaq) {
    CTempDir dir;
    const std::string site = makeSite(dir, "s.lks", {});
    const std::string pdf = dir.File("r.pdf");
    ASSERT_EQ(gridtest(dir, {site, "-o", pdf}).exitCode, 0);
    std::string first = pdfPages(dir, pdf)[0];
    EXPECT_TRUE(contains(first, "2023-11-14 (the survey's last save)")) << first;
    EXPECT_TRUE(contains(first, "not given")) << first;

    const std::vector<std::string> record = {
        "--building", "Harbour Tower", "--address",       "12 Quay Street, Portside",
        "--floor",    "Level 3",       "--permit",        "FD-2024-118",
        "--system",   "800 MHz P25",   "--equipment",     "Scanner X1 s/n 4471, cal 2024-05-02",
        "--company",  "North RF Ltd",  "--certification", "ERCES tech 1234",
        "--tester",   "Jane Okafor",   "--test-date",     "2024-06-01"};
    // A cell whose recorded DAQ is under the 3.0 the profile asks fails though its signal passes.
    WriteText(dir.File("d.csv"), "cell, daq_down, daq_up, talkback\nA1,3.4,2.5,pass\nB2,4,,\n");
    std::vector<std::string> args = {site,    "-o",
                                     pdf,     "--require-complete",
                                     "--daq", dir.File("d.csv"),
                                     "--csv", dir.File("r.csv")};
    args.insert(args.end(), record.begin(), record.end());
    ASSERT_EQ(gridtest(dir, args).exitCode, 0) << "one failing cell of 20 still passes 90 %";
    first = std::regex_replace(pdfPages(dir, pdf)[0], std::regex("\\s+"), " ");
    for (size_t i = 1; i < record.size(); i += 2) {
        EXPECT_TRUE(contains(first, record[i])) << record[i] << "\n" << first;
    }
    EXPECT_FALSE(contains(first, "not given"));
    const std::string csv = TextOf(dir.File("r.csv"));
    EXPECT_TRUE(contains(csv, ",A1,0,0,80,75,1,870.030,800 MHz cellular,,-80.0,1,-80.0,-80.0,40,37,"
                              "0.5,3.4,2.5,pass,FAIL\n"))
        << csv;
    EXPECT_TRUE(contains(allText(dir, pdf), "DAQ not tested"));
}

TEST(LksGridtest, TheTablesAreOneTableEach) {
    CTempDir dir;
    const std::string site = makeSite(dir, "s.lks", {});
    ASSERT_EQ(gridtest(dir, {site, "-o", dir.File("r.pdf"), "--critical", "0,0,80,75:Stair, north",
                             "--csv", dir.File("c.csv"), "--summary-csv", dir.File("s.csv"),
                             "--json", dir.File("r.json")})
                  .exitCode,
              0);
    for (const char* name : {"c.csv", "s.csv"}) {
        const std::string csv = TextOf(dir.File(name));
        ASSERT_FALSE(csv.empty());
        EXPECT_FALSE(contains(csv, "\n\n")) << name << ": no second table after a blank line";
        // Every row has the header's number of fields (the quoted comma is inside a field).
        const std::regex field("(\"[^\"]*\"|[^,\n]*)(,|\n)");
        size_t header = 0;
        size_t line = 0;
        size_t fields = 0;
        for (auto it = std::sregex_iterator(csv.begin(), csv.end(), field);
             it != std::sregex_iterator(); ++it) {
            ++fields;
            if ((*it)[2] == "\n") {
                header = line == 0 ? fields : header;
                EXPECT_EQ(fields, header) << name << " line " << line + 1;
                fields = 0;
                ++line;
            }
        }
        EXPECT_GT(line, 2u);
    }
    const std::string cells = TextOf(dir.File("c.csv"));
    EXPECT_EQ(std::count(cells.begin(), cells.end(), '\n'), 1 + 2 * 21)
        << "a row per cell and channel, the stair's one cell included";
    EXPECT_TRUE(contains(TextOf(dir.File("s.csv")), "building,,,,,,,,,,,PASS\n"));
    const QJsonObject json = jsonOf(dir.File("r.json"));
    EXPECT_EQ(json["verdict"].toString(), "PASS");
    EXPECT_EQ(json["rules"]["profile"].toString(), "nfpa1221-2019");
    EXPECT_EQ(json["floors"][0]["channels"][1]["frequency_mhz"].toDouble(), 1930.77);
}

TEST(LksGridtest, TheFirstPageShowsTheSignatureFromTheFileAndLongNamesWhole) {
    CTempDir dir;
    Floor floor;
    floor.cells = {{12, -101.0}};
    const std::string site = makeSite(dir, "survey.lks", floor);
    const std::string pdf = dir.File("r.pdf");
    const std::string name = "Fire command centre and sprinkler valve room beside the east stair";
    ASSERT_EQ(gridtest(dir, {site, "-o", pdf, "--title", "Level 3 DAS", "--scale", "4/ft",
                             "--channel", "1", "--critical", "100,90,50,45:" + name})
                  .exitCode,
              0);
    const std::vector<std::string> pages = pdfPages(dir, pdf);
    ASSERT_GE(pages.size(), 3u);
    for (size_t i = 0; i < pages.size(); ++i) {
        EXPECT_TRUE(contains(pages[i], "page " + std::to_string(i + 1) + " of " +
                                           std::to_string(pages.size())));
    }
    for (const char* part :
         {"Level 3 DAS", "survey.lks", "2023-11-14 22:13:20 UTC", "PASS", "19 of 20 pass = 95.0 %",
          "failing C3", "20.0 x 18.8 ft", "Warning: cells are 18.8 ft high"}) {
        EXPECT_TRUE(contains(pages[0], part)) << part << "\n" << pages[0];
    }
    // pdftotext may break the name across lines; its words all appear, in order.
    std::string words = std::regex_replace(allText(dir, pdf), std::regex("\\s+"), " ");
    EXPECT_TRUE(contains(words, name)) << "the name wraps, never cut short";

    const ProgramRun render = RunProgram(
        "pdftoppm",
        {"-r", "150", "-f", "1", "-l", "1", "-singlefile", "-png", pdf, dir.File("page")},
        dir.Path());
    ASSERT_EQ(render.exitCode, 0) << "pdftoppm (poppler-utils) is needed: " << render.err;
    const QImage page(QString::fromStdString(dir.File("page.png")));
    ASSERT_FALSE(page.isNull());
    const QColor ink = lks::SignatureInk();
    const auto isInk = [&](int x, int y) {
        const QColor c = page.pixelColor(x, y);
        return std::abs(c.red() - ink.red()) < 16 && std::abs(c.green() - ink.green()) < 16 &&
               std::abs(c.blue() - ink.blue()) < 16;
    };
    int left = page.width(), top = page.height(), right = -1, bottom = -1;
    for (int y = 0; y < page.height(); ++y) {
        for (int x = 0; x < page.width(); ++x) {
            if (isInk(x, y)) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    ASSERT_GE(right, 0) << "no ink on the page";
    const double w = right - left + 1;
    const double h = bottom - top + 1;
    EXPECT_NEAR(w / h, 160.0 / 70.0, 0.12) << "the ink spans x 20..180 and y 20..90";
    const auto at = [&](double x, double y) {
        return isInk(left + static_cast<int>((x - 20) / 160.0 * w),
                     top + static_cast<int>((y - 20) / 70.0 * h));
    };
    EXPECT_TRUE(at(40, 35) && at(150, 75)) << "top left and bottom right blocks";
    EXPECT_FALSE(at(150, 35) || at(40, 75) || at(90, 55)) << "nothing elsewhere";
}

TEST(LksGridtest, UnsignedSameBytesChecksumHeadlessAndHelp) {
    CTempDir dir;
    Floor floor;
    floor.signedByHand = false;
    const std::string site = makeSite(dir, "s.lks", floor);
    const std::vector<std::string> args = {
        "--critical", "10,10,60,60:Pump room", "--scale", "3.5/m", "--mode",
        "mean",       "--min-samples",         "1"};
    std::vector<std::string> a = {site, "-o", dir.File("a.pdf")};
    std::vector<std::string> b = {site, "-o", dir.File("b.pdf")};
    a.insert(a.end(), args.begin(), args.end());
    b.insert(b.end(), args.begin(), args.end());
    ASSERT_EQ(gridtest(dir, a, true).exitCode, 0) << "runs without a display";
    ::sleep(1); // a second apart, so that the creation dates differ
    ASSERT_EQ(gridtest(dir, b).exitCode, 0);
    const auto withoutDate = [](const std::vector<uint8_t>& pdf) {
        return std::regex_replace(std::string(pdf.begin(), pdf.end()),
                                  std::regex("/CreationDate \\(D:[0-9+\\-'Z]*\\)"), "");
    };
    EXPECT_NE(ReadAll(dir.File("a.pdf")), ReadAll(dir.File("b.pdf")));
    EXPECT_EQ(withoutDate(ReadAll(dir.File("a.pdf"))), withoutDate(ReadAll(dir.File("b.pdf"))));

    const std::string first = pdfPages(dir, dir.File("a.pdf"))[0];
    EXPECT_TRUE(contains(first, "not signed"));
    const ProgramRun sum = RunProgram("sha256sum", {site}, dir.Path());
    EXPECT_TRUE(contains(first, sum.out.substr(0, 64))) << "an independent SHA-256 agrees";

    const ProgramRun help = gridtest(dir, {"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_EQ(help.out.rfind("usage: lks gridtest", 0), 0u);
}

} // namespace
