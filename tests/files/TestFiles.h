// Test helpers for the file formats: a temporary folder, whole-file reads and writes, and
// site files built byte by byte here, independently of the production writer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CTempDir {
public:
    CTempDir();
    ~CTempDir();
    CTempDir(const CTempDir&) = delete;
    CTempDir& operator=(const CTempDir&) = delete;

    const std::string& Path() const { return m_path; }
    std::string File(const std::string& name) const { return m_path + "/" + name; }
    // Names of the entries in the folder, sorted.
    std::vector<std::string> Entries() const;

private:
    std::string m_path;
};

// The user's state folder ($XDG_STATE_HOME) for the life of a test.
class CStateHome {
public:
    explicit CStateHome(const std::string& path);
    ~CStateHome();
    CStateHome(const CStateHome&) = delete;
    CStateHome& operator=(const CStateHome&) = delete;
};

class CRecordList;

// Appends one fully filled survey record, as a scan or a site file would leave it.
void AppendRecord(CRecordList& list, int32_t x, int32_t y, const char* name, int32_t channel,
                  double mhz, int rssi);

std::vector<uint8_t> ReadAll(const std::string& path);
void WriteAll(const std::string& path, const std::vector<uint8_t>& bytes);
void WriteText(const std::string& path, const std::string& text);

// Little-endian survey data written by hand: the two record sizes, location records, readings.
class CSurveyBytes {
public:
    CSurveyBytes& Sizes(int32_t location = 42, int32_t reading = 14);
    CSurveyBytes& Location(int32_t x, int32_t y, const std::string& name, uint16_t count);
    // A location record whose 32 name bytes are given exactly.
    CSurveyBytes& LocationRaw(int32_t x, int32_t y, const uint8_t (&name)[32], uint16_t count);
    CSurveyBytes& Reading(int32_t channel, double mhz, int16_t rssiX16);
    CSurveyBytes& Raw(const std::vector<uint8_t>& bytes);
    const std::vector<uint8_t>& Bytes() const { return m_bytes; }

private:
    std::vector<uint8_t> m_bytes;
};

// What the fixture site file looks like; each field can be spoiled by a test.
struct SiteRecipe {
    int32_t headerLength = 150;
    uint32_t magic = 0x4C4B5320u;
    uint8_t state = 0;
    int32_t width = 7;
    int32_t height = 3;
    uint32_t infoSize = 40;
    uint16_t bitCount = 8;
    uint32_t compression = 0;
    uint32_t coloursUsed = 256;
    int64_t imageSize = -1; // -1: exactly what the rows need
    uint32_t signatureRoom = 80000;
    std::vector<uint8_t> survey = CSurveyBytes().Sizes().Bytes();
};

struct SiteOffsets {
    uint32_t picture = 0;
    uint32_t signature = 0;
    uint32_t survey = 0;
    uint32_t pixels = 0; // first pixel byte
    uint32_t stride = 0;
};

// Header with a recognisable pattern in its opaque bytes, the picture (pixel value
// (x + 3y) mod 256 at row y from the top; palette entry i = blue i, green 255 - i, red i / 2),
// a signature area of 0xA5 bytes and the survey bytes.
std::vector<uint8_t> BuildSite(const SiteRecipe& recipe, SiteOffsets* offsets = nullptr);

uint32_t GetU32(const std::vector<uint8_t>& bytes, size_t at);
int16_t GetI16(const std::vector<uint8_t>& bytes, size_t at);
void PutU32(std::vector<uint8_t>& bytes, size_t at, uint32_t v);
