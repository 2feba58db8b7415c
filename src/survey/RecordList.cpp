// Record list: an intrusive circular list around a head node that holds no data.
#include "survey/RecordList.h"

#include <cstring>
#include <new>

CRecordList::CRecordList() : m_head(new SurveyRecord) {
    m_head->next = m_head;
    m_head->prev = m_head;
}

CRecordList::~CRecordList() {
    Clear();
    delete m_head;
}

int16_t CRecordList::NewRecord(SurveyRecord*& record) {
    record = new (std::nothrow) SurveyRecord;
    return record != nullptr ? RL_OK : RL_NO_MEMORY;
}

int16_t CRecordList::AppendCopy(const SurveyRecord& source) {
    SurveyRecord* r = nullptr;
    if (NewRecord(r) != RL_OK) {
        return RL_NO_MEMORY;
    }
    r->x = source.x;
    r->y = source.y;
    std::memcpy(r->name, source.name, sizeof r->name);
    r->channel = source.channel;
    r->frequencyMHz = source.frequencyMHz;
    r->rssi = source.rssi;
    r->uncalibrated = source.uncalibrated;
    Append(r);
    return RL_OK;
}

void CRecordList::Append(SurveyRecord* record) {
    InsertBefore(record, m_head);
}

void CRecordList::InsertBefore(SurveyRecord* record, SurveyRecord* position) {
    record->prev = position->prev;
    position->prev->next = record;
    record->next = position;
    position->prev = record;
}

int16_t CRecordList::GetAt(SurveyRecord*& cursor, int32_t position) const {
    cursor = nullptr;
    if (position < 1) {
        return RL_END;
    }
    SurveyRecord* r = m_head;
    for (int32_t i = 0; i < position; ++i) {
        r = r->next;
        if (r == m_head) {
            return RL_END;
        }
    }
    cursor = r;
    return RL_OK;
}

int16_t CRecordList::GetNext(SurveyRecord*& cursor) const {
    SurveyRecord* n = cursor->next;
    if (n == m_head) {
        cursor = nullptr;
        return RL_END;
    }
    cursor = n;
    return RL_OK;
}

void CRecordList::Remove(SurveyRecord* record) {
    record->prev->next = record->next;
    record->next->prev = record->prev;
    delete record;
}

void CRecordList::Clear() {
    SurveyRecord* r = m_head->next;
    while (r != m_head) {
        SurveyRecord* next = r->next;
        delete r;
        r = next;
    }
    m_head->next = m_head;
    m_head->prev = m_head;
}
