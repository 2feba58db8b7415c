// The options of lks gridtest as text, from the command line or a job file, each kept with where
// it came from; a job's values and the command line's merge field by field before one resolver
// checks them all the same way.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

namespace lks {

struct OptionValue {
    std::string text;
    std::string source; // for messages: "--threshold", "job file: threshold"
};

struct OptionValues {
    std::map<std::string, OptionValue> single;                // "--threshold" -> "-95"
    std::map<std::string, std::vector<OptionValue>> repeated; // "--critical"
    std::set<std::string> flags;                              // "--non-adjacent"

    bool Has(const std::string& name) const {
        return single.count(name) > 0 || repeated.count(name) > 0 || flags.count(name) > 0;
    }
    std::string Text(const std::string& name) const;
    // Fills in every option this set does not have from other.
    void TakeMissingFrom(const OptionValues& other);
};

// The options that belong to one floor: the site and what is measured on its plan.
extern const char* const kFloorOptions[];

enum class ArgsOutcome { Run, Help, Bad };

extern const char* const kGridtestUsage;

// The site file, if given, goes in as "--site". Bad with a one-line reason (without the
// "lks: " prefix).
ArgsOutcome ParseGridtestArgs(int argc, char** argv, OptionValues& values, std::string& error);

} // namespace lks
