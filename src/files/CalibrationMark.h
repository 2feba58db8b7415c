// Which readings of a point a software-defined radio measured without a calibration, kept where
// every reader of the site file and the journal already looks past: the bytes after the end of
// the point's location name (a site file's readers ignore them). A tag byte and a 32-bit mask,
// bit k for the point's k-th reading, end the 32-byte name field before its last byte, which
// stays 0; so a name of up to 25 characters leaves room, and a longer one carries no mark.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "survey/SurveyRecord.h"

namespace calmark {

constexpr size_t kTagAt = 26;
constexpr size_t kMaskAt = 27;
constexpr uint8_t kTag = 'U';
// Readings one mark covers: a point with uncalibrated readings holds at most this many.
constexpr size_t kMaxReadings = 32;

// The mask of records[first, first + count) (at most kMaxReadings of them).
uint32_t MaskOf(const SurveyRecord* records, size_t count);
// Writes mask into the name's spare bytes (zeroing them when mask is 0); false when the name is
// too long to leave room.
bool Put(char (&name)[SurveyRecord::kNameSize], uint32_t mask);
// The mask in name's spare bytes; 0 when there is none.
uint32_t Get(const char (&name)[SurveyRecord::kNameSize]);
// Sets each record's flag from mask, and clears the mark from their names.
void Apply(uint32_t mask, SurveyRecord* records, size_t count);

} // namespace calmark
