#pragma once
// The Russian texts of the recovery journal for the prompts. They name a document or a folder
// as the file system has it, whatever characters its name holds, so they are QStrings for
// the prompts' Unicode boxes.
#include <QString>
#include <string>

#include "journal/journal_format.h"

namespace journal {

// A failed file operation of the journal: the errno and the journal folder (file-system
// bytes).
struct JournalError {
    int errorNumber = 0;
    std::string folder;
};

QString journalErrorMessage(const JournalError& error);
// "(без имени)" for an untitled document, else its path.
QString journalDocumentName(const JournalRecord& record);
// The question at start-up, with a warning when the file on disk is newer than the journal.
QString restoreQuestion(const JournalRecord& record, bool documentNewer);
// The second question after No: whether to delete the journal for good.
QString deleteQuestion(const JournalRecord& record);

} // namespace journal
