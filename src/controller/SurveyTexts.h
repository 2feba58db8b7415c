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
// The journal's points (and deletes) that were not saved.
constexpr const char* kRecoverOneQuestion = "Recover 1 point that was not saved?";
constexpr const char* kRecoverQuestion = "Recover %d points that were not saved?";
// %s: the site file.
constexpr const char* kOpenElsewhere =
    "%s is open in another Larkspur program. Close it there first: nothing was changed here.";
constexpr const char* kRebuildQuestion =
    "The site file %s is gone, but its survey journal keeps a copy of it as it was opened. "
    "Write the site file again from the journal?";
// %s: the system's reason; %s: where the journal stays.
constexpr const char* kRebuildFailed =
    "The site file could not be written again (%s). Its survey journal stays in %s.";
// Why a journal was not recovered; %s: where it was set aside.
constexpr const char* kStaleJournal =
    "Points that were not saved belong to another version of this site file, so they were not "
    "recovered. They are kept in %s.";
constexpr const char* kOtherSiteJournal =
    "Points that were not saved belong to another site file that was at this place, so they "
    "were not recovered. They are kept in %s.";
constexpr const char* kDamagedJournal =
    "The survey journal of this site is damaged, and no point could be recovered from its start. "
    "It is kept whole in %s.";
constexpr const char* kUnreadableJournal =
    "The survey journal of this site could not be read. It is kept in %s.";
constexpr const char* kEmptyJournal =
    "An empty survey journal of this site was found and put aside as %s.";
constexpr const char* kNotAJournal =
    "A file that is not a survey journal was found where this site's journal belongs. It was "
    "put aside as %s.";
constexpr const char* kNotAFileJournal =
    "Something that is not a file (a folder or a pipe) was found where this site's journal "
    "belongs. It was put aside as %s.";
constexpr const char* kOtherFormatJournal =
    "The survey journal of this site was written by another version of Larkspur and cannot be "
    "read here. It is kept in %s.";
constexpr const char* kSupersededJournal =
    "A shorter copy of this site's survey journal, left where it could not be written, is kept "
    "in %s.";
// %s: the journal that could not be put aside.
constexpr const char* kJournalNotMoved =
    "A survey journal of this site could not be recovered or put aside. It stays in %s.";
// After a recovery that could not read everything: %d entries, then where the journal is kept.
constexpr const char* kOneEntryUnread =
    "1 entry of the survey journal could not be read; the points before it were recovered.";
constexpr const char* kEntriesUnread =
    "%d entries of the survey journal could not be read; the points before them were recovered.";
constexpr const char* kLaterNotApplied =
    " %d later changes could be read but were not applied, since they may depend on what was "
    "lost.";
constexpr const char* kReadFailed = " Reading the journal failed part way.";
constexpr const char* kJournalKeptWhole = " The journal is kept whole in %s.";
// %s: the system's reason; %s: the new journal.
constexpr const char* kJournalMoved =
    "The survey journal could not be written beside the site file (%s). Every point taken since "
    "the site was opened is now kept in %s, and the journal goes on there.";
constexpr const char* kJournalInStateFolder = "Survey journal: %s";
// %s: the system's reason.
constexpr const char* kJournalFailed =
    "The survey journal could not be written (%s). Points taken from now on are safe only once "
    "the survey is saved.";
// %s: the site file.
constexpr const char* kSiteReplacedQuestion =
    "The site file %s was replaced by another file since it was opened, so the survey was not "
    "written into it. Save the survey as a new site file?";
constexpr const char* kSaveAsInsteadQuestion = "Save the survey as a new site file instead?";
// The status bar after a save: the points, the file's name.
constexpr const char* kSavedOnePoint = "Saved 1 point to %s.";
constexpr const char* kSavedPoints = "Saved %d points to %s.";

} // namespace surveytext
