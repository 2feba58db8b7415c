// Test helpers for the file formats.
#include "TestFiles.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <ftw.h>
#include <iterator>
#include <stdexcept>
#include <unistd.h>

#include <gtest/gtest.h>

#include "survey/RecordList.h"

namespace {

void put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
}

void put16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

int removeEntry(const char* path, const struct stat*, int, struct FTW*) {
    return ::remove(path);
}

} // namespace

CTempDir::CTempDir() {
    char pattern[] = "/tmp/larkspur-files-XXXXXX";
    const char* made = ::mkdtemp(pattern);
    if (made == nullptr) {
        throw std::runtime_error("mkdtemp failed");
    }
    m_path = made;
}

CTempDir::~CTempDir() {
    ::chmod(m_path.c_str(), 0700);
    ::nftw(m_path.c_str(), removeEntry, 16, FTW_DEPTH | FTW_PHYS);
}

CStateHome::CStateHome(const std::string& path) {
    ::setenv("XDG_STATE_HOME", path.c_str(), 1);
}

CStateHome::~CStateHome() {
    ::unsetenv("XDG_STATE_HOME");
}

std::vector<std::string> CTempDir::Entries() const {
    std::vector<std::string> names;
    DIR* dir = ::opendir(m_path.c_str());
    if (dir == nullptr) {
        return names;
    }
    while (const dirent* e = ::readdir(dir)) {
        const std::string name = e->d_name;
        if (name != "." && name != "..") {
            names.push_back(name);
        }
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<uint8_t> ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

void WriteText(const std::string& path, const std::string& text) {
    WriteAll(path, std::vector<uint8_t>(text.begin(), text.end()));
}

CSurveyBytes& CSurveyBytes::Sizes(int32_t location, int32_t reading) {
    put32(m_bytes, static_cast<uint32_t>(location));
    put32(m_bytes, static_cast<uint32_t>(reading));
    return *this;
}

CSurveyBytes& CSurveyBytes::Location(int32_t x, int32_t y, const std::string& name,
                                     uint16_t count) {
    uint8_t raw[32] = {};
    std::memcpy(raw, name.data(), std::min<size_t>(name.size(), 31));
    return LocationRaw(x, y, raw, count);
}

CSurveyBytes& CSurveyBytes::LocationRaw(int32_t x, int32_t y, const uint8_t (&name)[32],
                                        uint16_t count) {
    put32(m_bytes, static_cast<uint32_t>(x));
    put32(m_bytes, static_cast<uint32_t>(y));
    m_bytes.insert(m_bytes.end(), name, name + 32);
    put16(m_bytes, count);
    return *this;
}

CSurveyBytes& CSurveyBytes::Reading(int32_t channel, double mhz, int16_t rssiX16) {
    put32(m_bytes, static_cast<uint32_t>(channel));
    uint64_t bits = 0;
    std::memcpy(&bits, &mhz, sizeof bits);
    put32(m_bytes, static_cast<uint32_t>(bits));
    put32(m_bytes, static_cast<uint32_t>(bits >> 32));
    put16(m_bytes, static_cast<uint16_t>(rssiX16));
    return *this;
}

CSurveyBytes& CSurveyBytes::Raw(const std::vector<uint8_t>& bytes) {
    m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
    return *this;
}

std::vector<uint8_t> BuildSite(const SiteRecipe& recipe, SiteOffsets* offsets) {
    const uint32_t rows = static_cast<uint32_t>(recipe.height < 0 ? -recipe.height : recipe.height);
    const uint32_t stride = (static_cast<uint32_t>(recipe.width > 0 ? recipe.width : 0) + 3u) & ~3u;
    const uint32_t imageSize =
        recipe.imageSize < 0 ? stride * rows : static_cast<uint32_t>(recipe.imageSize);
    SiteOffsets o;
    o.picture = 150;
    o.pixels = o.picture + 14 + 40 + 1024;
    o.stride = stride;
    o.signature = o.pixels + imageSize;
    o.survey = o.signature + recipe.signatureRoom;

    std::vector<uint8_t> f;
    put32(f, static_cast<uint32_t>(recipe.headerLength));
    put32(f, recipe.magic);
    for (int i = 8; i < 138; ++i) {
        f.push_back(static_cast<uint8_t>(0x40 + i));
    }
    f[12] = recipe.state;
    for (int i = 134; i < 138; ++i) {
        f[static_cast<size_t>(i)] = 0; // never saved
    }
    put32(f, o.picture);
    put32(f, o.signature);
    put32(f, o.survey);

    f.push_back('B');
    f.push_back('M');
    put32(f, 14 + 40 + 1024 + imageSize);
    put32(f, 0);
    put32(f, 14 + 40 + 1024);
    put32(f, recipe.infoSize);
    put32(f, static_cast<uint32_t>(recipe.width));
    put32(f, static_cast<uint32_t>(recipe.height));
    put16(f, 1);
    put16(f, recipe.bitCount);
    put32(f, recipe.compression);
    put32(f, imageSize);
    put32(f, 2835);
    put32(f, 2835);
    put32(f, recipe.coloursUsed);
    put32(f, 0);
    for (uint32_t i = 0; i < 256; ++i) {
        f.push_back(static_cast<uint8_t>(i));
        f.push_back(static_cast<uint8_t>(255 - i));
        f.push_back(static_cast<uint8_t>(i / 2));
        f.push_back(0);
    }
    // Rows in file order: bottom-up unless the height is negative.
    for (uint32_t fileRow = 0; fileRow < imageSize / (stride ? stride : 1) && fileRow < rows;
         ++fileRow) {
        const uint32_t y = recipe.height < 0 ? fileRow : rows - 1 - fileRow;
        for (uint32_t x = 0; x < stride; ++x) {
            f.push_back(x < static_cast<uint32_t>(recipe.width) ? static_cast<uint8_t>(x + 3 * y)
                                                                : 0);
        }
    }
    f.resize(o.signature, 0xEE); // image size beyond the rows
    f.resize(o.survey, 0xA5);
    f.insert(f.end(), recipe.survey.begin(), recipe.survey.end());
    if (offsets != nullptr) {
        *offsets = o;
    }
    return f;
}

uint32_t GetU32(const std::vector<uint8_t>& bytes, size_t at) {
    return static_cast<uint32_t>(bytes.at(at)) | static_cast<uint32_t>(bytes.at(at + 1)) << 8 |
           static_cast<uint32_t>(bytes.at(at + 2)) << 16 |
           static_cast<uint32_t>(bytes.at(at + 3)) << 24;
}

int16_t GetI16(const std::vector<uint8_t>& bytes, size_t at) {
    return static_cast<int16_t>(bytes.at(at) | bytes.at(at + 1) << 8);
}

void PutU32(std::vector<uint8_t>& bytes, size_t at, uint32_t v) {
    for (size_t i = 0; i < 4; ++i) {
        bytes.at(at + i) = static_cast<uint8_t>(v >> (8 * i));
    }
}

void AppendRecord(CRecordList& list, int32_t x, int32_t y, const char* name, int32_t channel,
                  double mhz, int rssi) {
    SurveyRecord* r = nullptr;
    ASSERT_EQ(list.NewRecord(r), RL_OK);
    r->x = x;
    r->y = y;
    std::memset(r->name, 0, sizeof r->name);
    std::strncpy(r->name, name, sizeof r->name - 1);
    r->channel = channel;
    r->frequencyMHz = mhz;
    r->rssi = static_cast<int16_t>(rssi);
    list.Append(r);
}
