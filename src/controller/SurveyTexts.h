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
// The receiver board's comings and goings, told in the notice that does not stop the surveyor.
constexpr const char* kBoardLost =
    "The receiver board was lost. The survey is safe. Connect the board again: it is set up "
    "again as soon as it answers.";
constexpr const char* kNoBoard =
    "No receiver board is connected. The survey is safe. Connect the board to take points: it "
    "is set up as soon as it answers.";
constexpr const char* kBoardConnecting =
    "The receiver board is being set up. Take the point again in a moment.";
constexpr const char* kBoardConnected = "The receiver board is connected.";
constexpr const char* kBoardConnectedWithTable =
    "The receiver board is connected and its channel table is loaded.";
// Added to the texts above when the board went in the middle of a scan.
constexpr const char* kScanNotStored =
    " The point being measured when the board was lost was not stored: take it again.";
constexpr const char* kTableWaitsForBoard =
    "The channel table has been read. It will be loaded onto the receiver board as soon as the "
    "board is connected.";
constexpr const char* kTableLostDuringLoad =
    "The receiver board was lost while the channel table was being loaded. The table will be "
    "loaded again as soon as the board is back.";
constexpr const char* kTableBoardSilent =
    "The receiver board did not answer while the channel table was being loaded, so it is "
    "treated as lost. The table will be loaded as soon as the board answers again.";
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
