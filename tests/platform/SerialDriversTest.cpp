// The board-port search over a fake sysfs tree: which drivers match, in which order, and the
// fallback when none does.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "platform/SerialDrivers.h"

namespace fs = std::filesystem;

namespace {

class FakeSysfs : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/larkspur-sysfs-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        m_root = pattern;
        fs::create_directories(m_root / "class" / "tty");
    }
    void TearDown() override { fs::remove_all(m_root); }

    static void Write(const fs::path& file, const std::string& text) {
        fs::create_directories(file.parent_path());
        std::ofstream(file) << text << "\n";
    }

    // A tty whose device directory is devices/<dev>/<port> (the port up to `depth` levels
    // below the directory holding the identifying strings).
    fs::path AddTty(const std::string& tty, const std::string& dev, bool withDevName = true) {
        const fs::path device = m_root / "devices" / dev;
        fs::create_directories(device);
        const fs::path node = m_root / "class" / "tty" / tty;
        fs::create_directories(node);
        fs::create_directory_symlink(device, node / "device");
        if (withDevName) {
            Write(node / "uevent", "MAJOR=188\nMINOR=0\nDEVNAME=" + tty);
        }
        return m_root / "devices";
    }

    void AddCard(const std::string& tty, const std::string& id1, const std::string& id2,
                 bool withDevName = true) {
        AddTty(tty, "pcmcia-" + tty, withDevName);
        const fs::path dir = m_root / "devices" / ("pcmcia-" + tty);
        Write(dir / "prod_id1", id1);
        if (!id2.empty()) {
            Write(dir / "prod_id2", id2);
        }
    }

    std::string Root() const { return m_root.string(); }

    fs::path m_root;
};

TEST_F(FakeSysfs, NoTtyClassOrNoMatchFallsBackToCom1) {
    EXPECT_EQ(FindBoardPort((m_root / "nothing").string()), "COM1:");
    AddCard("ttyS0", "Acme", "Modem");
    fs::create_directories(m_root / "class" / "tty" / "tty1"); // a console: no device
    EXPECT_EQ(FindBoardPort(Root()), "COM1:");
    const std::vector<SerialDriver> list = ListSerialDrivers(Root());
    ASSERT_EQ(list.size(), 1u) << "ttys without a device are not serial drivers";
    EXPECT_EQ(list[0].identifier, "Acme-Modem");
    EXPECT_EQ(list[0].name, "/dev/ttyS0");
}

TEST_F(FakeSysfs, MakerOrCardPrefixMatchesWhateverFollows) {
    AddCard("ttyS0", "Quatech Inc.", "Dual Port");
    EXPECT_EQ(FindBoardPort(Root()), "/dev/ttyS0");

    fs::remove_all(m_root / "class");
    fs::create_directories(m_root / "class" / "tty");
    // No maker string: the identifier starts with the card's own name.
    AddCard("ttyS3", "", "CF-Serial_I-O rev B");
    EXPECT_EQ(FindBoardPort(Root()), "/dev/ttyS3");
}

TEST_F(FakeSysfs, MatchingIsCaseSensitive) {
    AddCard("ttyS0", "quatech", "x");
    AddCard("ttyS1", "cf-serial_i-o", "");
    AddCard("ttyS2", "QUATECH", "");
    EXPECT_EQ(FindBoardPort(Root()), "COM1:");
}

TEST_F(FakeSysfs, MakerWithoutDeviceNameIsSkippedAndALaterCardFound) {
    AddCard("ttyS0", "Quatech", "CF-Serial_I-O", /*withDevName=*/false);
    AddCard("ttyS1", "CF-Serial_I-O", "");
    EXPECT_EQ(FindBoardPort(Root()), "/dev/ttyS1");
}

TEST_F(FakeSysfs, FirstMatchingDriverInNameOrderWinsWhicheverRuleMatched) {
    AddCard("ttyS4", "Quatech", "");
    AddCard("ttyS2", "CF-Serial_I-O", "");
    AddCard("ttyS7", "Quatech", "");
    EXPECT_EQ(FindBoardPort(Root()), "/dev/ttyS2");
}

TEST_F(FakeSysfs, UsbAdapterStringsTwoLevelsAboveThePort) {
    AddTty("ttyUSB0", "usb1/1-1/1-1:1.0/ttyUSB0");
    Write(m_root / "devices" / "usb1" / "1-1" / "manufacturer", "Quatech");
    Write(m_root / "devices" / "usb1" / "1-1" / "product", "USB Serial");
    const std::vector<SerialDriver> list = ListSerialDrivers(Root());
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].identifier, "Quatech-USB Serial");
    EXPECT_EQ(FindBoardPort(list), "/dev/ttyUSB0");
}

TEST_F(FakeSysfs, AReplugProofByIdNameIsPreferredWhereOneLeadsToTheDevice) {
    AddTty("ttyUSB1", "usb1/1-2/1-2:1.0/ttyUSB1");
    Write(m_root / "devices" / "usb1" / "1-2" / "manufacturer", "Quatech");
    AddCard("ttyS0", "CF-Serial_I-O", "");
    // A fake /dev: both nodes, and a by-id name for the adapter only.
    const fs::path dev = m_root / "dev";
    Write(dev / "ttyUSB1", "");
    Write(dev / "ttyS0", "");
    fs::create_directories(dev / "serial" / "by-id");
    const fs::path byId = dev / "serial" / "by-id" / "usb-Quatech_SSU-100_A1B2-if00-port0";
    fs::create_symlink("../../ttyUSB1", byId);
    fs::create_symlink("../../ttyS9", dev / "serial" / "by-id" / "usb-Other-if00"); // dangling
    const std::vector<SerialDriver> list = ListSerialDrivers(Root(), dev.string());
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].name, (dev / "ttyS0").string()) << "no by-id name for the CF card";
    EXPECT_EQ(list[1].name, byId.string());
    EXPECT_EQ(FindBoardPort(Root(), dev.string()), (dev / "ttyS0").string());
}

TEST_F(FakeSysfs, LongIdentifierAfterAShortOneIsReadInFull) {
    AddCard("ttyS0", "Q", "");
    const std::string longId = "Quatech" + std::string(700, 'x');
    AddCard("ttyS1", longId, "");
    const std::vector<SerialDriver> list = ListSerialDrivers(Root());
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].identifier, "Q");
    EXPECT_EQ(list[1].identifier, longId);
    EXPECT_EQ(FindBoardPort(list), "/dev/ttyS1");
}

} // namespace
