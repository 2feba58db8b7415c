// The calibration mark in a location name's spare bytes.
#include "files/CalibrationMark.h"

#include <cstring>

namespace calmark {

uint32_t MaskOf(const SurveyRecord* records, size_t count) {
    uint32_t mask = 0;
    for (size_t k = 0; k < count && k < kMaxReadings; ++k) {
        if (records[k].uncalibrated) {
            mask |= 1u << k;
        }
    }
    return mask;
}

bool Put(char (&name)[SurveyRecord::kNameSize], uint32_t mask) {
    name[SurveyRecord::kNameSize - 1] = '\0';
    const size_t length = std::strlen(name);
    std::memset(name + length, 0, SurveyRecord::kNameSize - length);
    if (mask == 0) {
        return true;
    }
    if (length >= kTagAt) {
        return false;
    }
    name[kTagAt] = static_cast<char>(kTag);
    for (size_t b = 0; b < 4; ++b) {
        name[kMaskAt + b] = static_cast<char>(mask >> (8 * b));
    }
    return true;
}

uint32_t Get(const char (&name)[SurveyRecord::kNameSize]) {
    if (std::strlen(name) >= kTagAt || name[kTagAt] != static_cast<char>(kTag)) {
        return 0;
    }
    uint32_t mask = 0;
    for (size_t b = 0; b < 4; ++b) {
        mask |= static_cast<uint32_t>(static_cast<uint8_t>(name[kMaskAt + b])) << (8 * b);
    }
    return mask;
}

void Apply(uint32_t mask, SurveyRecord* records, size_t count) {
    for (size_t k = 0; k < count; ++k) {
        records[k].uncalibrated = k < kMaxReadings && (mask & (1u << k)) != 0;
        Put(records[k].name, 0);
    }
}

} // namespace calmark
