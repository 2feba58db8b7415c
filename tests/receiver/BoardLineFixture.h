// A receiver talking to the simulated board over a real pseudo-terminal, as the program does.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include "BoardSimulator.h"
#include "RecordingTarget.h"
#include "receiver/BoardLink.h"
#include "receiver/Receiver.h"
#include "support/ScriptedPrompts.h"

class BoardLine : public ::testing::Test {
protected:
    BoardLine() : m_target(m_rx), m_usePrompts(m_prompts) {
        m_logPath = "/tmp/larkspur-board-" + std::to_string(getpid()) + "-" +
                    std::to_string(reinterpret_cast<uintptr_t>(this)) + ".log";
        m_boardLink = m_logPath + ".link";
    }
    ~BoardLine() override {
        m_rx.StopIoThread();
        m_link.ClosePort(0);
        m_board.Stop();
        std::remove(m_logPath.c_str());
        std::remove(m_boardLink.c_str());
    }

    // Starts the board, opens the line to it and starts the receiver's I/O thread.
    void Connect(BoardSimOptions options = BoardSimOptions()) {
        options.logPath = m_logPath;
        ASSERT_TRUE(m_board.Start(options));
        ASSERT_TRUE(m_link.Setup(38400, m_board.SlavePath()));
        m_rx.m_viewWnd = &m_target;
        ASSERT_TRUE(m_rx.StartIoThread(m_link));
    }

    // The same, with the program opening the board through a symbolic link that follows it when
    // it is unplugged and plugged in again.
    void ConnectByLink(BoardSimOptions options = BoardSimOptions()) {
        options.logPath = m_logPath;
        options.linkPath = m_boardLink;
        ASSERT_TRUE(m_board.Start(options));
        ASSERT_TRUE(m_link.Setup(38400, m_boardLink));
        m_rx.m_viewWnd = &m_target;
        ASSERT_TRUE(m_rx.StartIoThread(m_link));
    }

    // Waits until the link reaches state; false after ms.
    bool WaitForLink(LinkState state, int ms = 5000) const {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (m_link.State() != state && std::chrono::steady_clock::now() < end) {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return m_link.State() == state;
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

    // One survey point as the view takes it: pending, command 35, then wait for the post that
    // finds both flags set. Returns the posts the measurement caused.
    std::vector<RecordedPost> Measure(int timeoutMs = 5000) {
        const size_t from = m_target.Count();
        m_rx.m_measurementPending = true;
        m_rx.StartMeasurement();
        const bool done = m_target.WaitForDone(from, timeoutMs);
        EXPECT_TRUE(done) << "the measurement never completed";
        m_rx.m_measurementPending = false;
        m_rx.m_measurementComplete = false;
        const std::vector<RecordedPost> all = m_target.Posts();
        return std::vector<RecordedPost>(all.begin() + static_cast<long>(from), all.end());
    }

    CBoardSimulator m_board;
    CBoardLink m_link;
    CReceiver m_rx;
    CRecordingTarget m_target;
    CScriptedPrompts m_prompts;
    CScopedPrompts m_usePrompts;
    std::string m_logPath;
    std::string m_boardLink;
};
