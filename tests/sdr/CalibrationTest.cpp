// The calibration store: where it lives, what it keeps across a save, which record applies, and
// that a damaged file is refused rather than read as "uncalibrated".
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "Calibration.h"
#include "TestFiles.h"

namespace {

class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : m_name(name) {
        const char* old = std::getenv(name);
        m_had = old != nullptr;
        m_old = m_had ? old : "";
        if (value != nullptr) {
            ::setenv(name, value, 1);
        } else {
            ::unsetenv(name);
        }
    }
    ~ScopedEnv() {
        if (m_had) {
            ::setenv(m_name, m_old.c_str(), 1);
        } else {
            ::unsetenv(m_name);
        }
    }

private:
    const char* m_name;
    bool m_had;
    std::string m_old;
};

TEST(Calibration, TheFileLivesInTheUsersConfigurationFolder) {
    const struct {
        const char* config;
        const char* home;
        const char* path;
    } cases[] = {
        {"/cfg", "/home/u", "/cfg/larkspur/sdr-calibration.tsv"},
        {nullptr, "/home/u", "/home/u/.config/larkspur/sdr-calibration.tsv"},
        {"relative/cfg", "/home/u", "/home/u/.config/larkspur/sdr-calibration.tsv"},
        {nullptr, nullptr, ""},
    };
    for (const auto& c : cases) {
        ScopedEnv config("XDG_CONFIG_HOME", c.config);
        ScopedEnv home("HOME", c.home);
        EXPECT_EQ(CCalibrationStore::DefaultPath(), c.path);
    }
}

TEST(Calibration, RecordsSurviveASaveAndTheLatestCoveringOneApplies) {
    CTempDir dir;
    const std::string path = dir.File("deep/er/sdr-calibration.tsv");
    CCalibrationStore store;
    std::string error;
    ASSERT_TRUE(store.Load(path, error)) << "a missing file is an empty store: " << error;
    store.Add({"A1", "rtlsdr", 836e6, 866e6, 29.7, 3.25, "2024-01-02"});
    store.Add({"A1", "rtlsdr", 851e6, 852e6, 29.7, 1.5, "2024-03-04"}); // narrower, newer
    store.Add({"A\tB", "hackrf", 1e6, 2e6, 0, -1, "2024-01-02"});
    store.Add({"A1", "rtlsdr", 836e6, 866e6, 29.7, 4.0, "2024-05-06"}); // replaces the first
    ASSERT_TRUE(store.Save(path, error)) << error;

    CCalibrationStore loaded;
    ASSERT_TRUE(loaded.Load(path, error)) << error;
    ASSERT_EQ(loaded.Records().size(), 3u);
    EXPECT_EQ(loaded.Records()[1].serial, "A B") << "a tab cannot split a record";
    const struct {
        const char* serial;
        double hz;
        double gain;
        double offset; // NAN: none applies
    } lookups[] = {
        {"A1", 860e6, 29.7, 4.0},   {"A1", 851.5e6, 29.7, 4.0}, // the newest covering record
        {"A1", 836e6, 29.72, 4.0},  {"A1", 866e6, 29.7, 4.0},   // ends inclusive, gain tolerance
        {"A1", 835.9e6, 29.7, NAN}, {"A1", 860e6, 30.0, NAN},   // outside the range, other gain
        {"B1", 860e6, 29.7, NAN},
    };
    for (const auto& l : lookups) {
        SCOPED_TRACE(l.hz);
        const CalibrationRecord* r = loaded.Find(l.serial, l.hz, l.gain);
        if (std::isnan(l.offset)) {
            EXPECT_EQ(r, nullptr);
        } else {
            ASSERT_NE(r, nullptr);
            EXPECT_DOUBLE_EQ(r->offsetDb, l.offset);
            EXPECT_EQ(r->date, "2024-05-06");
        }
    }
}

TEST(Calibration, ADamagedFileIsRefusedWithItsLine) {
    const char* const damaged[] = {
        "# header\nA1\trtlsdr\t836000000\t866000000\t29.7\t3.2\t2024-01-02\nA1\trtlsdr\t1\n",
        "A1\trtlsdr\t836000000\t866000000\t29.7\tloud\t2024-01-02\n",
        "A1\trtlsdr\t866000000\t836000000\t29.7\t3.2\t2024-01-02\n", // range upside down
        "\trtlsdr\t836000000\t866000000\t29.7\t3.2\t2024-01-02\n",   // no serial
    };
    for (const char* text : damaged) {
        SCOPED_TRACE(text);
        CTempDir dir;
        WriteText(dir.File("c.tsv"), text);
        CCalibrationStore store;
        std::string error;
        EXPECT_FALSE(store.Load(dir.File("c.tsv"), error));
        EXPECT_NE(error.find("line "), std::string::npos) << error;
        EXPECT_TRUE(store.Records().empty());
    }
    CTempDir dir;
    CCalibrationStore store;
    std::string error;
    EXPECT_FALSE(store.Load(dir.Path(), error)) << "a folder is not a calibration file";
}

} // namespace
