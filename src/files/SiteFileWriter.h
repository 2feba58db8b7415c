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
#include "files/SiteIdentity.h"

class CAtomicFile;
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
    // as the open read them (CSiteFile::m_snapshot.bytesBeforeSurvey); without them such a save
    // fails, since a site file with an empty picture could never be opened again.
    int16_t Save(const std::string& path, uint8_t (&header)[site::kHeaderSize],
                 const CRecordList& list, const SignaturePixelFn& signaturePixel, uint32_t saveTime,
                 const std::vector<uint8_t>* openedBytes = nullptr) const;

    // The survey's save into the site it was opened from (opened: CSiteFile::m_snapshot, or what
    // the last save left in it). When the file on disk is still that file, or the same bytes,
    // it is updated; when it has gone (moved away, deleted) the whole file is written from the
    // snapshot. Another file at the path is never merged into: SF_SITE_REPLACED, and it stays
    // as it is (the surveyor saves the survey as a new file instead). On SF_OK, header and
    // opened describe the file just written.
    int16_t Save(const std::string& path, uint8_t (&header)[site::kHeaderSize],
                 const CRecordList& list, const SignaturePixelFn& signaturePixel, uint32_t saveTime,
                 SiteSnapshot& opened) const;
    // Save As: the whole survey, with the picture and header of the snapshot, to path, whatever
    // is there now. On SF_OK, header and opened describe the new file.
    int16_t SaveAs(const std::string& path, uint8_t (&header)[site::kHeaderSize],
                   const CRecordList& list, const SignaturePixelFn& signaturePixel,
                   uint32_t saveTime, SiteSnapshot& opened) const;

    // errno of the last failed file operation, 0 when the refusal was the layout's.
    int LastError() const { return m_lastError; }
    // After SF_OK: whether the folder was flushed after the new file replaced the old. Until it
    // is, a crash may bring back the old file, so the journal must stay.
    bool FolderSynced() const { return m_folderSynced; }

    // The 80,000 signature bytes: rows from the bottom (y = 99) up, each from x = 0.
    static void AppendSignature(const SignaturePixelFn& signaturePixel, std::vector<uint8_t>& out);
    // The two record sizes, then one location block per run of records at one point.
    static void AppendSurveyData(const CRecordList& list, std::vector<uint8_t>& out);

private:
    int16_t Guarded(const std::function<int16_t()>& save) const;
    int16_t SaveImage(const std::string& path, uint8_t (&header)[site::kHeaderSize],
                      const CRecordList& list, const SignaturePixelFn& signaturePixel,
                      uint32_t saveTime, const std::vector<uint8_t>* openedBytes) const;
    int16_t SaveSnapshot(const std::string& path, uint8_t (&header)[site::kHeaderSize],
                         const CRecordList& list, const SignaturePixelFn& signaturePixel,
                         uint32_t saveTime, SiteSnapshot& opened, bool checkDisk) const;
    // Lays the header (survey state 2, the save time), the signature and the survey data over
    // image, the file's bytes before its survey data; the header written goes to written.
    bool Compose(std::vector<uint8_t>& image, const uint8_t (&header)[site::kHeaderSize],
                 const CRecordList& list, const SignaturePixelFn& signaturePixel, uint32_t saveTime,
                 uint8_t (&written)[site::kHeaderSize]) const;
    bool WriteOut(CAtomicFile& file, const std::vector<uint8_t>& image) const;

    IFileSystem& m_fs;
    mutable int m_lastError = 0;
    mutable bool m_folderSynced = false;
};
