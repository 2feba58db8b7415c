// Shared by the install tests: where the sources and the built files are, and the programs run
// the way a shell runs them.
#pragma once

#include <string>
#include <vector>

#include "ProgramRun.h"

// A file of the source tree or of the build tree, by its path inside it.
std::string sourceFile(const std::string& path);
std::string buildFile(const std::string& path);

// The programs' --help texts: larkspur's, lks's own and each lks command's.
std::string larkspurHelp();
std::string lksHelp(const std::string& command = std::string());
// The lks commands with an own --help ("table" covers new and show).
const std::vector<std::string>& lksCommands();

// The options a text names: "--name" and single-letter "-x", each once, sorted.
std::vector<std::string> optionsIn(const std::string& text);
