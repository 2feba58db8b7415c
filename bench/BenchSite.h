// Site files for the benchmarks, made as the program makes them: a plan picture around which
// lks make's file is built, and a survey saved into it by the program's own writer.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "files/SiteFile.h"
#include "files/SiteFileMaker.h"
#include "files/SiteFileReader.h"
#include "files/SiteFileWriter.h"
#include "files/SitePicture.h"
#include "survey/RecordList.h"

// A plan of white paper; palette entries 1 to 3 are dark walls, a light tint and a grey.
inline SitePicture BenchPicture(int width, int height) {
    SitePicture picture = SitePicture::Blank(width, height);
    picture.palette[0] = 0xFFFFFF;
    picture.palette[1] = 0x202020;
    picture.palette[2] = 0xE8F0FF;
    picture.palette[3] = 0x9090A0;
    return picture;
}

// Reading c of a survey's 30 channels at point p: 20 cellular channels, then 10 PCS ones.
inline void AppendBenchReading(CRecordList& list, int32_t x, int32_t y, int p, int c, int dbm) {
    SurveyRecord* r = nullptr;
    list.NewRecord(r);
    r->x = x;
    r->y = y;
    std::snprintf(r->name, sizeof r->name, "P%d", p);
    r->channel = c < 20 ? 1 + c * 37 : 25 + (c - 20) * 50;
    r->frequencyMHz = c < 20 ? 870.0 + c : 1930.0 + c;
    r->rssi = static_cast<int16_t>(dbm);
    list.Append(r);
}

// The site file at path, its picture and the survey in list, signed with signature's ink.
inline void SaveBenchSite(const std::string& path, const SitePicture& picture,
                          const CRecordList& list, const SignaturePixelFn& signature) {
    std::vector<uint8_t> file;
    CSiteFileMaker::Make(picture, file);
    CSiteFile site;
    std::string detail;
    CSiteFileReader::Parse(file.data(), file.size(), site, detail);
    FILE* out = std::fopen(path.c_str(), "wb");
    std::fwrite(file.data(), 1, file.size(), out);
    std::fclose(out);
    CSiteFileWriter().Save(path, site.m_header, list, signature, 1700000000u);
}
