// The lks gridtest command line: which options exist, which take a value, which repeat. Values
// are only collected here; GridtestPlan reads them.
#include "GridtestArgs.h"

#include <algorithm>
#include <iterator>

#include "LksArgs.h"

namespace lks {

const char* const kGridtestUsage =
    "usage: lks gridtest SITE -o REPORT.pdf [options]\n"
    "       lks gridtest --job BUILDING.json -o REPORT.pdf [options]\n"
    "\n"
    "Judges surveyed floors by the grid test of in-building radio coverage and writes a signed\n"
    "PDF report: each channel under test is judged on its own, cell by cell, and a floor passes\n"
    "only when every channel passes in every sector and every critical area.\n"
    "\n"
    "rules (a profile sets them all; an option changes one and the report says \"custom\"):\n"
    "  --profile KEY            nfpa1221-2019 (default), nfpa1221-2016, nfpa1225-2022,\n"
    "                           nfpa72-2013, ifc2009, ifc-ordinance\n"
    "  --threshold DBM          level a cell must reach, one decimal at most (profile: -95)\n"
    "  --pass PCT               share of each sector's cells that must pass (0: none asked)\n"
    "  --critical-pass PCT      share of each critical area's cells that must pass\n"
    "  --max-failing N          failing cells a sector may have\n"
    "  --non-adjacent           failing cells may not share a side or a corner\n"
    "  --mode centre|mean       cell value: the point nearest the centre, or the power mean\n"
    "  --centre-tolerance LEN   centre mode: how far that point may lie from the centre, in\n"
    "                           plan pixels or with ft or m (default: a quarter of the cell's\n"
    "                           shorter side); farther leaves the cell NOT TESTED\n"
    "  --min-samples N          mean mode: fewer points leave the cell NOT TESTED (default 5)\n"
    "  --min-daq DAQ            DAQ a cell must reach where one was recorded (0: none)\n"
    "what is judged:\n"
    "  --channel N[@MHZ][,...]  the channels under test, each judged on its own (default: every\n"
    "                           channel of the survey); @MHZ picks one of two with one number\n"
    "  --best-server            judge each point by its strongest channel instead\n"
    "  --grid COLSxROWS         cells per sector (default 20 near-square cells)\n"
    "  --area X,Y,W,H           the part of the plan under test, in plan pixels (default all)\n"
    "  --critical X,Y,W,H[:NAME]  a critical area with cells of its own (repeatable)\n"
    "  --scale PX/m|PX/ft       plan pixels per metre or foot: sizes in ft and m, sectors of at\n"
    "                           most 128,000 sq ft on larger floors, a scale bar\n"
    "  --daq CELLS.csv          DAQ and talk-back per cell: cell,daq_down,daq_up,talkback\n"
    "  --table TABLE.nct        the channel table, for the labels of its channels\n"
    "the acceptance record (each shown, or \"not given\"):\n"
    "  --building, --address, --floor, --permit, --system, --equipment, --company,\n"
    "  --certification, --tester TEXT\n"
    "  --test-date YYYY-MM-DD   (default: the survey's last save, labelled so)\n"
    "  --require-complete       a missing record field is bad input\n"
    "outputs:\n"
    "  --job BUILDING.json      several floors in one report with a cover page; the options\n"
    "                           above override the job's\n"
    "  --csv CELLS.csv          one row per cell and channel\n"
    "  --summary-csv FILE       one row per floor, sector, critical area and channel\n"
    "  --json FILE              everything, values unrounded\n"
    "  --title TEXT             report title\n"
    "  --paper a4|letter        page size (default a4)\n"
    "\n"
    "Exit codes: 0 written, PASS; 3 written, FAIL; 2 bad input; 1 cannot be written.\n";

namespace {

const char* const kValueOptions[] = {"-o",
                                     "--output",
                                     "--csv",
                                     "--json",
                                     "--summary-csv",
                                     "--job",
                                     "--profile",
                                     "--threshold",
                                     "--pass",
                                     "--critical-pass",
                                     "--max-failing",
                                     "--mode",
                                     "--centre-tolerance",
                                     "--min-samples",
                                     "--min-daq",
                                     "--channel",
                                     "--grid",
                                     "--area",
                                     "--scale",
                                     "--daq",
                                     "--table",
                                     "--building",
                                     "--address",
                                     "--floor",
                                     "--permit",
                                     "--test-date",
                                     "--system",
                                     "--equipment",
                                     "--company",
                                     "--certification",
                                     "--tester",
                                     "--title",
                                     "--paper"};
const char* const kRepeatedOptions[] = {"--critical"};
const char* const kFlagOptions[] = {"--non-adjacent", "--best-server", "--require-complete"};

template <size_t N> bool isOneOf(const char* const (&names)[N], const std::string& name) {
    return std::find(std::begin(names), std::end(names), name) != std::end(names);
}

} // namespace

const char* const kFloorOptions[] = {"--site",  "--floor", "--area", "--critical",
                                     "--scale", "--daq",   nullptr};

std::string OptionValues::Text(const std::string& name) const {
    const auto it = single.find(name);
    return it == single.end() ? std::string() : it->second.text;
}

void OptionValues::TakeMissingFrom(const OptionValues& other) {
    for (const auto& [name, value] : other.single) {
        single.emplace(name, value);
    }
    for (const auto& [name, values] : other.repeated) {
        repeated.emplace(name, values);
    }
    flags.insert(other.flags.begin(), other.flags.end());
}

ArgsOutcome ParseGridtestArgs(int argc, char** argv, OptionValues& values, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (IsHelp(arg)) {
            return ArgsOutcome::Help;
        }
        if (arg.size() < 2 || arg[0] != '-') {
            if (values.single.count("--site") > 0) {
                error = "gridtest: unexpected argument '" + arg + "' (try 'lks gridtest --help')";
                return ArgsOutcome::Bad;
            }
            values.single["--site"] = {arg, "the site file"};
            continue;
        }
        // "--name=value" or "--name value"; -o takes the next argument.
        const size_t equals = arg.compare(0, 2, "--") == 0 ? arg.find('=') : std::string::npos;
        std::string name = arg.substr(0, equals);
        if (isOneOf(kFlagOptions, name)) {
            if (equals != std::string::npos) {
                error = "gridtest: " + name + " takes no value";
                return ArgsOutcome::Bad;
            }
            values.flags.insert(name);
            continue;
        }
        if (!isOneOf(kValueOptions, name) && !isOneOf(kRepeatedOptions, name)) {
            error = "gridtest: unknown option '" + name + "' (try 'lks gridtest --help')";
            return ArgsOutcome::Bad;
        }
        OptionValue value{std::string(), name == "--output" ? "-o" : name};
        if (equals != std::string::npos) {
            value.text = arg.substr(equals + 1);
        } else if (i + 1 < argc) {
            value.text = argv[++i];
        } else {
            error = "gridtest: " + arg + " needs a value (try 'lks gridtest --help')";
            return ArgsOutcome::Bad;
        }
        if (name == "--output") {
            name = "-o";
        }
        if (isOneOf(kRepeatedOptions, name)) {
            values.repeated[name].push_back(value);
        } else {
            values.single[name] = value;
        }
    }
    return ArgsOutcome::Run;
}

} // namespace lks
