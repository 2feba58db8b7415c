// Saves a survey into its site file: the header with survey state 2 and the save time, the
// signature, and the survey data from the record list. The file is replaced atomically and its
// bytes are those an update in place would leave; any failure leaves the old file untouched.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "files/FileSystem.h"
#include "files/SiteFileLayout.h"
#include "files/SiteFileStatus.h"

class CRecordList;

// The signature pad's pixel at (x, y): 0 for ink, anything else is paper.
using SignaturePixelFn = std::function<uint32_t(int x, int y)>;

class CSiteFileWriter {
public:
    explicit CSiteFileWriter(IFileSystem& fs = ThePosixFileSystem());

    // SF_OK, or SF_UPDATE_FAILED ("Could not update site") when the header is not a site header,
    // the signature has no room before the survey data, the picture of the file on disk would
    // be overwritten, or any file operation fails. On SF_OK header bytes 12 and 134 to 137 hold
    // what was written; on failure header and file are unchanged.
    //
    // The file on disk is updated when it still holds the site the header describes (magic,
    // offsets and, given openedBytes, the picture's sizes). When it is missing or holds something
    // else, the whole file is written from openedBytes, the file's bytes before its survey data
    // as the open read them (CSiteFile::m_bytesBeforeSurvey); without them such a save fails,
    // since a site file with an empty picture could never be opened again.
    int16_t Save(const std::string& path, uint8_t (&header)[site::kHeaderSize],
                 const CRecordList& list, const SignaturePixelFn& signaturePixel, uint32_t saveTime,
                 const std::vector<uint8_t>* openedBytes = nullptr) const;

    // errno of the last failed file operation, 0 when the refusal was the layout's.
    int LastError() const { return m_lastError; }

    // The 80,000 signature bytes: rows from the bottom (y = 99) up, each from x = 0.
    static void AppendSignature(const SignaturePixelFn& signaturePixel, std::vector<uint8_t>& out);
    // The two record sizes, then one location block per run of records at one point.
    static void AppendSurveyData(const CRecordList& list, std::vector<uint8_t>& out);

private:
    int16_t SaveImage(const std::string& path, uint8_t (&header)[site::kHeaderSize],
                      const CRecordList& list, const SignaturePixelFn& signaturePixel,
                      uint32_t saveTime, const std::vector<uint8_t>* openedBytes) const;

    IFileSystem& m_fs;
    mutable int m_lastError = 0;
};
