// The files a desktop reads: each through its own validator, the site and table types as a MIME
// database built from them sees files, and the theme's icons against the program's own.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QMimeDatabase>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "InstallRun.h"
#include "TestFiles.h"

namespace {

const std::string kAppId = "org.larkspur.Survalon";

std::string textOf(const std::string& path) {
    std::ifstream in(path);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

} // namespace

TEST(DesktopFiles, PassTheirValidatorsWithoutAWarning) {
    struct Check {
        const char* program;
        std::vector<std::string> args;
    } const checks[] = {
        {"desktop-file-validate", {sourceFile("resources/desktop/" + kAppId + ".desktop")}},
        {"appstreamcli",
         {"validate", "--no-net", buildFile("resources/" + kAppId + ".metainfo.xml")}},
        // groff's own warnings are what man would show as garbled lines.
        {"groff", {"-man", "-ww", "-z", "-Tutf8", buildFile("docs/man/larkspur.1")}},
        {"groff", {"-man", "-ww", "-z", "-Tutf8", buildFile("docs/man/lks.1")}},
    };
    for (const Check& check : checks) {
        CTempDir scratch;
        const ProgramRun run = RunProgram(check.program, check.args, scratch.Path());
        EXPECT_EQ(run.exitCode, 0) << check.program << " " << check.args.back() << "\n"
                                   << run.out << run.err;
        // appstreamcli reports its verdict on stdout; any warning shows as "W:" there.
        EXPECT_EQ(run.out.find("W: "), std::string::npos) << run.out;
        EXPECT_EQ(run.err, "") << check.program;
    }
}

TEST(DesktopFiles, SitesAreKnownByNameOrContentAndTablesByName) {
    // A MIME database of the program's types alone, built by the tool the system's trigger runs.
    CTempDir data;
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(data.File("mime/packages"))));
    WriteAll(data.File("mime/packages/" + kAppId + ".xml"),
             ReadAll(sourceFile("resources/desktop/larkspur-mime.xml")));
    // Only this test of the process asks a MIME database; a scratch database needs no fsync.
    setenv("XDG_DATA_HOME", data.Path().c_str(), 1);
    setenv("XDG_DATA_DIRS", data.Path().c_str(), 1);
    setenv("PKGSYSTEM_ENABLE_FSYNC", "0", 1);
    const ProgramRun update = RunProgram("update-mime-database", {data.File("mime")}, data.Path());
    ASSERT_EQ(update.exitCode, 0) << update.err;
    ASSERT_EQ(update.err, "");

    CTempDir files;
    const std::vector<uint8_t> site = ReadAll(sourceFile("examples/demo.lks"));
    WriteAll(files.File("office.lks"), site);
    WriteAll(files.File("OFFICE2.LKS"), site); // as the handheld names its files
    WriteAll(files.File("attachment.bin"), site);
    WriteAll(files.File("building.nct"), ReadAll(sourceFile("examples/demo.nct")));
    WriteText(files.File("notes.bin"), "2\r\n30\r\n0,333\r\n");

    const QMimeDatabase db;
    struct Case {
        const char* name;
        const char* type;
    } const cases[] = {
        {"office.lks", "application/x-larkspur-site"},
        {"OFFICE2.LKS", "application/x-larkspur-site"},
        {"attachment.bin", "application/x-larkspur-site"}, // by its header alone
        {"building.nct", "application/x-larkspur-channel-table"},
        {"notes.bin", ""}, // a table has no mark of its own
    };
    for (const Case& c : cases) {
        const QMimeType type = db.mimeTypeForFile(QString::fromStdString(files.File(c.name)));
        // A database of these types alone knows nothing else, not even plain text.
        EXPECT_EQ(type.isValid() ? type.name().toStdString() : "", c.type) << c.name;
    }
    EXPECT_TRUE(db.mimeTypeForName("application/x-larkspur-channel-table").inherits("text/plain"));

    // The menu entry offers to open what the types define, and the metainfo says the same.
    const std::string entry = textOf(sourceFile("resources/desktop/" + kAppId + ".desktop"));
    EXPECT_NE(entry.find("\nMimeType=application/x-larkspur-site;\n"), std::string::npos);
    EXPECT_NE(entry.find("\nExec=larkspur %f\n"), std::string::npos);
    const std::string metainfo = textOf(buildFile("resources/" + kAppId + ".metainfo.xml"));
    EXPECT_NE(metainfo.find("<mediatype>application/x-larkspur-site</mediatype>"),
              std::string::npos);
    EXPECT_NE(metainfo.find("version=\"" + std::string(PROJECT_VERSION_TEXT) + "\""),
              std::string::npos);
}

TEST(DesktopFiles, ThemeIconsAreTheProgramsOwnPixelsEnlarged) {
    struct Size {
        int side;
        int drawing; // the program's 16 or 32 pixel icon it is drawn from
    } const sizes[] = {{16, 16}, {32, 32}, {48, 16}, {64, 32}, {128, 32}, {256, 32}};
    for (const Size& s : sizes) {
        const std::string side = std::to_string(s.side);
        const QImage icon(QString::fromStdString(sourceFile(
            "resources/icons/hicolor/" + side + "x" + side + "/apps/" + kAppId + ".png")));
        const QImage drawing(QString::fromStdString(
            sourceFile("resources/dialogs/larkspur-" + std::to_string(s.drawing) + ".xpm")));
        ASSERT_FALSE(icon.isNull()) << side;
        ASSERT_FALSE(drawing.isNull());
        EXPECT_EQ(icon.convertToFormat(QImage::Format_ARGB32),
                  drawing.scaled(s.side, s.side, Qt::IgnoreAspectRatio, Qt::FastTransformation)
                      .convertToFormat(QImage::Format_ARGB32))
            << side;
    }
}
