// The circular doubly linked list that owns every survey record, in the order they were added.
// Records of one point sit next to each other; the lookup and the site writer rely on that.
#pragma once

#include <cstdint>

#include "survey/SurveyRecord.h"

enum : int16_t {
    RL_OK = 0,
    RL_NO_MEMORY = -1,
    RL_END = -2,
};

class CRecordList {
public:
    CRecordList();
    virtual ~CRecordList();

    CRecordList(const CRecordList&) = delete;
    CRecordList& operator=(const CRecordList&) = delete;

    // Virtual so that tests can make allocation fail; a new record's contents are the caller's.
    virtual int16_t NewRecord(SurveyRecord*& record);
    void Append(SurveyRecord* record);
    // Appends a new record holding source's contents (its links aside): RL_OK, or RL_NO_MEMORY
    // with the list unchanged.
    int16_t AppendCopy(const SurveyRecord& source);
    void InsertBefore(SurveyRecord* record, SurveyRecord* position);
    // Positions count from 1 and are 32-bit, so every record of a long survey stays reachable.
    int16_t GetAt(SurveyRecord*& cursor, int32_t position) const;
    int16_t GetNext(SurveyRecord*& cursor) const;
    void Remove(SurveyRecord* record);
    void Clear();

    bool IsEmpty() const { return m_head->next == m_head; }
    SurveyRecord* Head() const { return m_head; }

private:
    SurveyRecord* m_head;
};
