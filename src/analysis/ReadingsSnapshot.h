// The running survey's readings, one for each record in list order, held in shared chunks that
// never change once made. A copy costs a few pointers, so the survey can hand one to a worker
// after every change without holding up the surveyor; a point stored or deleted copies only the
// chunks it touches, never the whole survey.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "analysis/SiteReadings.h"
#include "survey/RecordList.h"

class CReadingsSnapshot {
public:
    // Readings per chunk: a chunk copied for a change stays small beside a large survey.
    static constexpr size_t kChunkReadings = 4096;

    // Every record of list, in order.
    void Assign(const CRecordList& list);
    void Clear();
    // Records appended to the list, in order.
    void Append(const std::vector<SurveyRecord>& records);
    // Removes the run of readings at one place that starts at index first, as the survey deletes
    // a point (its records and any that follow them at the same place); false when there is no
    // reading at first.
    bool EraseRunAt(size_t first);

    size_t Size() const { return m_size; }
    // The readings in one piece, for the analysis.
    std::vector<SiteReading> Readings() const;

private:
    using Chunk = std::vector<SiteReading>;

    void AppendReadings(const SiteReading* readings, size_t count);

    std::vector<std::shared_ptr<const Chunk>> m_chunks;
    size_t m_size = 0;
};
