// How a simulated board behaves: its line, its identity, its faults and its unplugging.
#pragma once

#include <cstdint>
#include <string>

struct BoardSimOptions {
    unsigned baud = 38400;          // output pacing: 10 bit times a byte
    bool instant = false;           // write whole frames at once instead
    bool silent = false;            // never answer
    int dropEvery = 0;              // leave out every Nth reply frame
    int corruptEvery = 0;           // spoil the end marker of every Nth reply frame
    bool noise = false;             // stray bytes before every reply frame
    uint32_t seed = 1;              // readings and noise are a function of this, slot and scan
    std::string logPath;            // each received frame as hex, one line each
    std::string firmware = "2.02B"; // reply 1 text
    std::string serial = "SIM001";  // reply 2 text
    // PCS channel spacing in Hz for reporting the table back (reply 24); 0 infers it from the
    // codes it was sent.
    uint32_t pcsSpacingHz = 0;
    // A symbolic link kept pointing at the board's current pseudo-terminal; removed while it is
    // away and when it stops. Only an earlier link is ever replaced, never another file.
    std::string linkPath;
    // Unplugged once, this long after the start (0: never).
    int vanishAfterMs = 0;
    // Unplugged on receiving this many commands (0: never); the last one is cut off: a
    // measurement stops after its reply 35 and half its readings, anything else is not
    // answered.
    int vanishAfterCommands = 0;
    // The command that unplugs the board gets no answer at all, not even a measurement's first.
    bool vanishSilently = false;
    // Stops answering from this command on (0: never), still plugged in, until the program opens
    // the line again.
    int silentAfterCommands = 0;
    // Plugged in again this long after vanishing; -1 stays away until Reappear.
    int reappearAfterMs = -1;
    // Comes back having lost its channel table and options, as after a loss of power.
    bool forgetTable = false;
};
