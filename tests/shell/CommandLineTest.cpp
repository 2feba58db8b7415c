// The command line: accepted forms, help and version, and the refused combinations.
#include <gtest/gtest.h>

#include <utility>

#include "shell/CommandLine.h"

namespace {

CommandLineResult parse(const QStringList& args, AppOptions& options, QString& output) {
    return ParseCommandLine(QStringList{QStringLiteral("larkspur")} + args, options, output);
}

} // namespace

TEST(CommandLine, AcceptsEveryDocumentedForm) {
    AppOptions options;
    QString output;
    ASSERT_EQ(parse({}, options, output), CommandLineResult::Run);
    EXPECT_FALSE(options.simulate);
    EXPECT_TRUE(options.port.empty());
    EXPECT_TRUE(options.site.empty());

    AppOptions simulated;
    ASSERT_EQ(parse({"--simulate", "--table", "demo.nct", "site.lks"}, simulated, output),
              CommandLineResult::Run);
    EXPECT_TRUE(simulated.simulate);
    EXPECT_EQ(simulated.table, "demo.nct");
    EXPECT_EQ(simulated.site, "site.lks");

    AppOptions ported;
    ASSERT_EQ(parse({"--port", "/dev/ttyUSB0"}, ported, output), CommandLineResult::Run);
    EXPECT_FALSE(ported.simulate);
    EXPECT_EQ(ported.port, "/dev/ttyUSB0");
    EXPECT_EQ(ported.scale, 0.0) << "without --scale the screen decides";

    for (const auto& [text, value] : {std::pair{"1", 1.0}, {"2.5", 2.5}, {"8", 8.0}}) {
        AppOptions scaled;
        ASSERT_EQ(parse({"--scale", text}, scaled, output), CommandLineResult::Run) << text;
        EXPECT_EQ(scaled.scale, value);
    }
}

TEST(CommandLine, SdrTakesDeviceArgumentsOnlyWhenTheyAreThere) {
    const struct {
        QStringList args;
        const char* sdrArgs;
        const char* site;
    } cases[] = {
        {{"--sdr"}, "", ""},
        {{"--sdr", "driver=rtlsdr"}, "driver=rtlsdr", ""},
        {{"--sdr=driver=hackrf,serial=12ab"}, "driver=hackrf,serial=12ab", ""},
        {{"--sdr", "site.lks"}, "", "site.lks"},
        {{"site.lks", "--sdr", "driver=larkspur-synth,tones=851:-60"},
         "driver=larkspur-synth,tones=851:-60",
         "site.lks"},
        {{"--sdr", "--table", "t.nct"}, "", ""},
    };
    for (const auto& c : cases) {
        AppOptions options;
        QString output;
        ASSERT_EQ(parse(c.args, options, output), CommandLineResult::Run) << output.toStdString();
        EXPECT_TRUE(options.sdr);
        EXPECT_FALSE(options.simulate);
        EXPECT_EQ(options.sdrArgs, c.sdrArgs);
        EXPECT_EQ(options.site, c.site);
    }
    AppOptions options;
    QString output;
    for (const QStringList& both : {QStringList{"--sdr", "--simulate"},
                                    QStringList{"--port", "/dev/ttyUSB0", "--sdr", "driver=x"}}) {
        EXPECT_EQ(parse(both, options, output), CommandLineResult::ExitError);
        EXPECT_TRUE(output.contains("Only one of --simulate, --port and --sdr"))
            << output.toStdString();
    }
}

TEST(CommandLine, HelpAndVersionExitWithTheirText) {
    AppOptions options;
    QString output;
    EXPECT_EQ(parse({"--help"}, options, output), CommandLineResult::ExitOk);
    EXPECT_TRUE(output.contains("--simulate"));
    EXPECT_TRUE(output.contains("--port"));
    EXPECT_TRUE(output.contains("--sdr"));
    EXPECT_TRUE(output.contains("--table"));
    EXPECT_TRUE(output.contains("SITE.lks"));
    EXPECT_TRUE(output.contains("--scale"));

    EXPECT_EQ(parse({"--version"}, options, output), CommandLineResult::ExitOk);
    EXPECT_EQ(output, QStringLiteral("larkspur 2.02\n"));
}

TEST(CommandLine, RefusesContradictionsAndUnknowns) {
    AppOptions options;
    QString output;
    EXPECT_EQ(parse({"--simulate", "--port", "/dev/ttyS0"}, options, output),
              CommandLineResult::ExitError);
    EXPECT_TRUE(output.contains("Usage: larkspur"));
    EXPECT_EQ(parse({"a.lks", "b.lks"}, options, output), CommandLineResult::ExitError);
    EXPECT_EQ(parse({"--frobnicate"}, options, output), CommandLineResult::ExitError);
    EXPECT_EQ(parse({"--port"}, options, output), CommandLineResult::ExitError);
    EXPECT_EQ(parse({"--port", ""}, options, output), CommandLineResult::ExitError);
    for (const char* scale : {"0.5", "0", "-2", "9", "abc", "nan", ""}) {
        EXPECT_EQ(parse({"--scale", scale}, options, output), CommandLineResult::ExitError)
            << scale;
        EXPECT_TRUE(output.contains("--scale needs a number from 1 to 8")) << scale;
    }
    EXPECT_EQ(options.scale, 0.0);
}
