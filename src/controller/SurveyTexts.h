// The fixed texts and file dialog settings of the survey's commands.
#pragma once

namespace surveytext {

constexpr const char* kAppTitle = "Larkspur";
constexpr const char* kSiteFilter = "Site Files (*.lks)|*.lks|All Files (*.*)|*.*||";
constexpr const char* kSiteExtension = "lks";
constexpr const char* kSiteInitialName = "SITE1";
constexpr const char* kTableFilter =
    "Larkspur Channel Table Files (*.nct)|*.nct|All Files (*.*)|*.*||";
constexpr const char* kTableExtension = "nct";
constexpr const char* kTableInitialName = "NCT";
constexpr const char* kKeepPointsQuestion = "Do you wish to keep existing data points?";
constexpr const char* kSaveBeforeOpenQuestion = "Save the survey before opening another site?";
constexpr const char* kSaveBeforeCloseQuestion = "Save the survey before closing?";
constexpr const char* kNoTableText = "No Channel Table Loaded.";
constexpr const char* kLocationName = "TEST";
// %d: the points (and deletes) the journal holds.
constexpr const char* kRecoverQuestion = "Recover %d points that were not saved?";
// %s: where the journal was set aside.
constexpr const char* kStaleJournal =
    "Points that were not saved belong to another version of this site file, so they were not "
    "recovered. They are kept in %s.";
// %s: the system's reason.
constexpr const char* kJournalFailed =
    "The survey journal could not be written (%s). Points taken from now on are safe only once "
    "the survey is saved.";

} // namespace surveytext
