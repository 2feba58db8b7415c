// Writes starting inputs for the fuzz targets into folders: a small site file with points (one
// without readings), a few channel tables, and lines of board replies.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "files/SiteFileMaker.h"
#include "files/SiteFileWriter.h"
#include "files/SitePicture.h"
#include "survey/RecordList.h"

namespace {

bool writeFile(const std::string& path, const void* data, size_t size) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) {
        return false;
    }
    const bool ok = std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}

void addRecord(CRecordList& list, int x, int y, const char* name, int channel, double mhz,
               int rssi) {
    SurveyRecord* r = nullptr;
    if (list.NewRecord(r) != RL_OK) {
        return;
    }
    r->x = x;
    r->y = y;
    std::strncpy(r->name, name, sizeof r->name - 1);
    r->channel = channel;
    r->frequencyMHz = mhz;
    r->rssi = static_cast<int16_t>(rssi);
    list.Append(r);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: fuzz_make_seeds SITE_DIR TABLE_DIR [FRAME_DIR]\n");
        return 2;
    }
    const std::string siteDir = argv[1];
    const std::string tableDir = argv[2];

    SitePicture picture;
    picture.width = 5;
    picture.height = 3;
    picture.stride = SitePicture::StrideFor(picture.width);
    for (int i = 0; i < SitePicture::kPaletteEntries; ++i) {
        picture.palette[i] = static_cast<uint32_t>(i * 0x010101);
    }
    picture.pixels.assign(size_t{picture.stride} * 3, 7);
    std::vector<uint8_t> file;
    if (!CSiteFileMaker::Make(picture, file)) {
        return 1;
    }
    bool ok = writeFile(siteDir + "/empty.lks", file.data(), file.size());

    CRecordList list;
    addRecord(list, 1, 2, "TEST", 1, 870.03, -76);
    addRecord(list, 1, 2, "TEST", 25, 1930.75, -100);
    addRecord(list, 3, 1, "LOBBY", 0, 0.0, -100);
    addRecord(list, 4, 0, "TEST", 990, 869.01, -55);
    file.resize(file.size() - 8);
    CSiteFileWriter::AppendSurveyData(list, file);
    ok = writeFile(siteDir + "/points.lks", file.data(), file.size()) && ok;

    const char* tables[] = {
        "2\r\n30\r\n0,1,x\r\n1,25,y\r\n0,-1,\r\n",
        "2\r\n200\r\n1,512,\r\n0,990,\r\n0,65535,\r\n",
        "2\r\n50\r\n0,1,\r\n1,2,\r\n",
        "3\r\n851.0125,12.5,FD-1\r\n154.445,25.0,\r\n\r\n5800.0,10000.0,x, y\r\n",
    };
    for (size_t i = 0; i < sizeof tables / sizeof tables[0]; ++i) {
        const std::string path = tableDir + "/table" + std::to_string(i) + ".nct";
        ok = writeFile(path, tables[i], std::strlen(tables[i])) && ok;
    }
    if (argc == 4) {
        // Replies as the board sends them: identity, a reading, an escaped type and payload, a
        // broken escape followed by a good frame, and noise before a frame.
        const std::vector<std::vector<uint8_t>> lines = {
            {0x11, 0x12, 0x01, '2', '.', '0', '2', 'B', 0x00, 0x11, 0x13},
            {0x11, 0x12, 0x22, 0x02, 0x50, 0xFB, 0x11, 0x13},
            {0x11, 0x12, 0x11, 0x14, 0x41, 0x11, 0x14, 0x42, 0x11, 0x13},
            {0x11, 0x12, 0x02, 0x41, 0x11, 0x15, 0x11, 0x12, 0x24, 0x11, 0x13},
            {0x00, 0x37, 0x11, 0x11, 0x12, 0x23, 0x11, 0x13, 0x00, 0x00},
        };
        for (size_t i = 0; i < lines.size(); ++i) {
            const std::string path = std::string(argv[3]) + "/line" + std::to_string(i);
            ok = writeFile(path, lines[i].data(), lines[i].size()) && ok;
        }
    }
    return ok ? 0 : 1;
}
