// The files a command writes: checked against its inputs and one another before any work, then
// written all or nothing, so that a report can never cost the survey it reports on and a failed
// run leaves none of its outputs behind.
#pragma once

#include <string>
#include <vector>

namespace lks {

struct OutputFile {
    std::string option; // how the user named it, for messages: "-o", "--csv"
    std::string path;
    std::string bytes;
};

// True when a and b name the same file once links are followed (hard links included), or the
// same place when neither exists yet.
bool SameFile(const std::string& a, const std::string& b);

// False with a one-line reason when an output names one of the inputs or another output.
bool CheckOutputs(const std::vector<std::string>& inputs, const std::vector<OutputFile>& outputs,
                  std::string& error);

// Writes every output: each to a temporary file first, and only when all of them are complete
// are they renamed into place. False with "cannot write PATH: reason"; then none is left.
bool WriteOutputs(const std::vector<OutputFile>& outputs, std::string& error);

} // namespace lks
