// Runs a program the way a shell would, but with its arguments passed as they are (names with
// spaces included) and its output captured, for tests that drive lks and the PDF tools.
#pragma once

#include <string>
#include <vector>

struct ProgramRun {
    int exitCode = -1; // -1 when the program could not be started or did not exit
    std::string out;
    std::string err;
};

// program: a path, or a name looked up on PATH. scratch: a folder for the captured output.
// bareEnvironment: without QT_QPA_PLATFORM, DISPLAY and WAYLAND_DISPLAY, as on a server.
ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& args,
                      const std::string& scratch, bool bareEnvironment = false);
