// Readings snapshot: chunks replaced, never edited, so that a copy handed to another thread stays
// exactly as it was handed.
#include "analysis/ReadingsSnapshot.h"

#include <algorithm>

void CReadingsSnapshot::Assign(const CRecordList& list) {
    Clear();
    Chunk readings;
    SurveyRecord* r = nullptr;
    for (int16_t rc = list.GetAt(r, 1); rc == RL_OK; rc = list.GetNext(r)) {
        readings.push_back(ReadingOfRecord(*r));
    }
    AppendReadings(readings.data(), readings.size());
}

void CReadingsSnapshot::Clear() {
    m_chunks.clear();
    m_size = 0;
}

void CReadingsSnapshot::Append(const std::vector<SurveyRecord>& records) {
    Chunk readings;
    readings.reserve(records.size());
    for (const SurveyRecord& r : records) {
        readings.push_back(ReadingOfRecord(r));
    }
    AppendReadings(readings.data(), readings.size());
}

void CReadingsSnapshot::AppendReadings(const SiteReading* readings, size_t count) {
    while (count > 0) {
        const bool roomInLast = !m_chunks.empty() && m_chunks.back()->size() < kChunkReadings;
        auto chunk = std::make_shared<Chunk>();
        if (roomInLast) {
            *chunk = *m_chunks.back();
        }
        const size_t take = std::min(count, kChunkReadings - chunk->size());
        chunk->insert(chunk->end(), readings, readings + take);
        if (roomInLast) {
            m_chunks.back() = std::move(chunk);
        } else {
            m_chunks.push_back(std::move(chunk));
        }
        readings += take;
        count -= take;
        m_size += take;
    }
}

bool CReadingsSnapshot::EraseRunAt(size_t first) {
    if (first >= m_size) {
        return false;
    }
    size_t c = 0;
    size_t offset = first;
    while (offset >= m_chunks[c]->size()) {
        offset -= m_chunks[c]->size();
        ++c;
    }
    const int32_t x = (*m_chunks[c])[offset].x;
    const int32_t y = (*m_chunks[c])[offset].y;
    // The run may go on into the chunks after this one.
    while (c < m_chunks.size()) {
        const Chunk& old = *m_chunks[c];
        size_t end = offset;
        while (end < old.size() && old[end].x == x && old[end].y == y) {
            ++end;
        }
        auto shorter = std::make_shared<Chunk>();
        shorter->reserve(old.size() - (end - offset));
        shorter->insert(shorter->end(), old.begin(), old.begin() + static_cast<long>(offset));
        shorter->insert(shorter->end(), old.begin() + static_cast<long>(end), old.end());
        m_size -= end - offset;
        const bool runGoesOn = end == old.size();
        if (shorter->empty()) {
            m_chunks.erase(m_chunks.begin() + static_cast<long>(c));
        } else {
            m_chunks[c] = std::move(shorter);
            ++c;
        }
        if (!runGoesOn) {
            break;
        }
        offset = 0;
    }
    return true;
}

std::vector<SiteReading> CReadingsSnapshot::Readings() const {
    std::vector<SiteReading> all;
    all.reserve(m_size);
    for (const auto& chunk : m_chunks) {
        all.insert(all.end(), chunk->begin(), chunk->end());
    }
    return all;
}
