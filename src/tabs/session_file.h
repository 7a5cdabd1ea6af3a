#pragma once
// The documents open when the editor was last closed, in their tab order, each with its
// caret, and which one was shown: written at a normal exit, read at the next start.
//
// The file (session.set beside the other settings) is UTF-8 with LF line ends: a line
// "current N" (N from 0), then one line a document, its caret, a blank and its full path
// as the file system names it. Lines the editor cannot make sense of are passed over.
#include <QString>
#include <string>
#include <string_view>
#include <vector>

namespace tabs {

inline constexpr const char* kSessionFile = "session.set";

struct SessionDocument {
    QString path;
    int caret = 0;
    bool operator==(const SessionDocument&) const = default;
};

struct Session {
    std::vector<SessionDocument> documents;
    int current = 0; // an index into documents
    bool operator==(const Session&) const = default;
};

std::string sessionFileText(const Session& session);
// Reads what makes sense; current stays within documents.
Session parseSessionFile(std::string_view bytes);

} // namespace tabs
