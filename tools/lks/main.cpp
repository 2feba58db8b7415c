// lks: prepares and inspects site files for the survey program.
//   lks make PLAN -o SITE     new site file from a floor-plan image
//   lks info SITE             what a site file holds
//   lks export SITE           its readings as CSV or JSON
//   lks heatmap SITE -o PNG   a coverage map of its readings
//   lks table new|show        channel table files
//   lks gridtest SITE -o PDF  the signed grid-test report
//   lks scan, lks calibrate   a software-defined radio: a table measured, a level calibrated
#include <cstdio>
#include <string>

#include "LarkspurVersion.h"
#include "LksArgs.h"

namespace {

const char* const kUsage = "usage: lks COMMAND [ARGS]\n"
                           "       lks -h|--help|--version\n"
                           "\n"
                           "Prepares and inspects site files (.lks) for the survey program.\n"
                           "\n"
                           "commands:\n"
                           "  make PLAN -o SITE [--force]      new site file from a floor plan\n"
                           "                                   (PNG, JPEG or BMP)\n"
                           "  info SITE                        header, picture, points, signature\n"
                           "  export SITE [--format csv|json]  one row per reading\n"
                           "  heatmap SITE -o OUT.png [...]    coverage map over the plan\n"
                           "  table new -o TABLE.nct ENTRY...  new channel table file\n"
                           "  table show TABLE.nct             a table as the program reads it\n"
                           "  gridtest SITE -o REPORT.pdf      pass/fail grid-test report, signed\n"
                           "  scan --sdr ARGS --table T.nct    a table measured with a\n"
                           "                                   software-defined radio\n"
                           "  calibrate --sdr ARGS --freq MHZ --reference DBM\n"
                           "                                   a radio's level calibration\n"
                           "\n"
                           "Run 'lks COMMAND --help' for the options of a command.\n"
                           "Exit codes: 0 done, 1 the result could not be written, 2 bad input,\n"
                           "3 (gridtest) the report is written and the site fails.\n";

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        return lks::BadInput("no command given; usage: lks make|info|export|heatmap|gridtest|table|"
                             "scan|calibrate ... (try 'lks --help')");
    }
    const std::string command = argv[1];
    if (lks::IsHelp(command) || command == "help") {
        std::fputs(kUsage, stdout);
        return lks::kExitOk;
    }
    if (command == "--version") {
        std::printf("lks %s\n", kLarkspurVersion);
        return lks::kExitOk;
    }
    if (command == "make") {
        return lks::RunMake(argc - 1, argv + 1);
    }
    if (command == "info") {
        return lks::RunInfo(argc - 1, argv + 1);
    }
    if (command == "export") {
        return lks::RunExport(argc - 1, argv + 1);
    }
    if (command == "table") {
        return lks::RunTable(argc - 1, argv + 1);
    }
    if (command == "heatmap") {
        return lks::RunHeatmap(argc - 1, argv + 1);
    }
    if (command == "gridtest") {
        return lks::RunGridtest(argc - 1, argv + 1);
    }
    if (command == "scan") {
        return lks::RunScan(argc - 1, argv + 1);
    }
    if (command == "calibrate") {
        return lks::RunCalibrate(argc - 1, argv + 1);
    }
    return lks::BadInput("unknown command '" + command + "' (try 'lks --help')");
}
