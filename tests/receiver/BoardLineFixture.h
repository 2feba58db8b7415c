// A receiver talking to the simulated board in the same process, behind the byte-stream seam: the
// board answers at once unless a test asks for the line's pace, and tests that wait for a silent
// board shorten the receiver's waits themselves.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include "InProcessBoard.h"
#include "RecordingTarget.h"
#include "receiver/BoardLink.h"
#include "receiver/Receiver.h"
#include "support/ScriptedPrompts.h"

class BoardLine : public ::testing::Test {
protected:
    BoardLine() : m_target(m_rx), m_usePrompts(m_prompts) {
        m_logPath = "/tmp/larkspur-board-" + std::to_string(getpid()) + "-" +
                    std::to_string(reinterpret_cast<uintptr_t>(this)) + ".log";
        m_rx.SetViewWindow(&m_target);
    }
    ~BoardLine() override {
        m_rx.StopIoThread();
        m_link.ClosePort(0);
        m_board.Stop();
        std::remove(m_logPath.c_str());
    }

    // Waits short enough for a test about a silent board to take milliseconds.
    static ReceiverTimings Quick() {
        ReceiverTimings t;
        t.replyWaitMs = 100;
        t.reconnectMs = 20;
        return t;
    }

    // Starts the board (instant unless options say otherwise), opens the link to it and starts
    // the receiver's I/O thread.
    void Connect(BoardSimOptions options = CInProcessBoard::Instant()) {
        options.logPath = m_logPath;
        ASSERT_TRUE(m_board.Start(options));
        ASSERT_TRUE(m_link.Setup(m_board.Source()));
        ASSERT_TRUE(m_rx.StartIoThread(m_link));
    }

    // The board unplugged and a new one with options plugged in its place, as the program's
    // link finds it when it tries again (the log starts afresh).
    void Restart(BoardSimOptions options) {
        options.logPath = m_logPath;
        m_board.Stop();
        ASSERT_TRUE(m_board.Start(options));
    }

    // Waits until the link reaches state; false after ms.
    bool WaitForLink(LinkState state, int ms = 5000) const {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (m_link.State() != state && std::chrono::steady_clock::now() < end) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return m_link.State() == state;
    }

    // Waits until the board of a later generation than generation is up; false after ms.
    bool WaitForReturn(uint64_t generation, int ms = 5000) const {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (!(m_link.Generation() > generation && m_link.State() == LinkState::kConnected) &&
               std::chrono::steady_clock::now() < end) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return m_link.Generation() > generation && m_link.State() == LinkState::kConnected;
    }

    std::vector<std::string> LogLines() const {
        std::ifstream in(m_logPath);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) {
            lines.push_back(line);
        }
        return lines;
    }

    // The frame of type and data in the log's notation, escapes included.
    static std::string Hex(uint8_t type, const std::vector<uint8_t>& data) {
        std::string s = "11 12";
        auto put = [&s](uint8_t b) {
            char buf[8];
            std::snprintf(buf, sizeof buf, " %02X", b);
            s += buf;
            if (b == 0x11) {
                s += " 14";
            }
        };
        put(type);
        for (uint8_t b : data) {
            put(b);
        }
        return s + " 11 13";
    }

    // Fills the table with count entries across both bands.
    void FillTable(int count) {
        m_rx.SetPcsSpacing(CBandPlan::kPcsSpacing30k);
        ChannelEntry entries[CReceiver::kTableCapacity] = {};
        for (int i = 0; i < count; ++i) {
            entries[i] = i % 3 == 2 ? ChannelEntry{1, static_cast<uint16_t>(25 + 40 * i), 0}
                                    : ChannelEntry{0, static_cast<uint16_t>(1 + 26 * i), 0};
        }
        m_rx.SetChannelTable(entries, count);
    }

    // One survey point: a scan begun, waited for until the post that finds it complete, and its
    // readings taken. Returns the posts the measurement caused.
    std::vector<RecordedPost> Measure(int timeoutMs = 5000) {
        const size_t from = m_target.Count();
        const uint64_t scan = m_rx.BeginScan();
        const bool done = m_target.WaitForDone(from, timeoutMs);
        EXPECT_TRUE(done) << "the measurement never completed";
        std::vector<ChannelReading> readings;
        EXPECT_TRUE(m_rx.TakeScan(scan, readings));
        const std::vector<RecordedPost> all = m_target.Posts();
        return std::vector<RecordedPost>(all.begin() + static_cast<long>(from), all.end());
    }

    CInProcessBoard m_board;
    CBoardLink m_link;
    CReceiver m_rx;
    CRecordingTarget m_target;
    CScriptedPrompts m_prompts;
    CScopedPrompts m_usePrompts;
    std::string m_logPath;
};
