#pragma once
// The local socket through which "kolbax --line N FILE" hands a file and a line to the
// editor already running in this desktop session. It lies in the user's runtime folder
// ($XDG_RUNTIME_DIR/kolbax/, made owner-only), never in a folder others can write, one
// socket a display. A runtime folder, a kolbax folder or a socket that is not this user's,
// or is a symbolic link, is refused and never followed: the editor then works alone.
#include <QString>

#include "pdf/line_request.h"

namespace pdf {

// Where the socket lies, or why there is none (a note to show; the path is then empty).
struct ChannelPlace {
    QString socketPath;
    QString problem;
};

// From XDG_RUNTIME_DIR and the display; makes the kolbax folder when it is missing.
ChannelPlace channelPlace();

// Empty when path names nothing or a socket of this user's; a note otherwise.
QString socketProblem(const QString& path);

enum class HandOver {
    Delivered,   // the running editor took the request
    NoneRunning, // no editor listens: this one opens the file itself
    Refused,     // the socket is not trustworthy (note says why)
};

// Sends the request to the editor listening at place (waiting at most timeoutMs for it).
HandOver handOver(const ChannelPlace& place, const LineRequest& request, QString& note,
                  int timeoutMs = 3000);

} // namespace pdf
