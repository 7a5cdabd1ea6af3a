#include "project/reference_marks.h"

#include <QMap>
#include <algorithm>

#include "platform/richedit.h"
#include "platform/text_marks.h"

namespace project {

ReferenceMarks& ReferenceMarks::Of(platform::TRichEdit& control) {
    auto* marks = control.findChild<ReferenceMarks*>(QStringLiteral("ReferenceMarks"),
                                                     Qt::FindDirectChildrenOnly);
    return marks != nullptr ? *marks : *new ReferenceMarks(control);
}

ReferenceMarks::ReferenceMarks(platform::TRichEdit& control)
    : QObject(&control), marks_(platform::TextMarks::Of(control, platform::MarkLayer::References)) {
    setObjectName(QStringLiteral("ReferenceMarks"));
    marks_.OnMarkToolTip = [this](int line, platform::LineRange mark) {
        return ReasonOf(line, mark);
    };
}

void ReferenceMarks::Show(const Snapshot& snapshot, int file) {
    QMap<int, std::vector<platform::LineRange>> wanted;
    reasons_.clear();
    reasonsByText_.clear();
    const int lineCount = marks_.LineCount();
    for (const Problem& problem : snapshot.problems) {
        if (problem.at.file != file || file < 0 || problem.at.line >= lineCount) continue;
        const platform::LineRange range{problem.at.column, std::max(1, problem.at.length)};
        const QString lineText = marks_.Line(problem.at.line).text;
        if (range.end() > lineText.size()) continue; // a key broken over lines: not marked
        wanted[problem.at.line].push_back(range);
        reasons_.insert({problem.at.line, range.start}, problem.reason);
        reasonsByText_.insert(lineText.mid(range.start, range.length), problem.reason);
    }
    for (int line : marks_.MarkedLines())
        if (!wanted.contains(line)) marks_.SetMarks(line, {});
    for (auto it = wanted.begin(); it != wanted.end(); ++it) {
        std::vector<platform::LineRange>& ranges = it.value();
        std::sort(ranges.begin(), ranges.end(),
                  [](const auto& a, const auto& b) { return a.start < b.start; });
        ranges.erase(std::unique(ranges.begin(), ranges.end()), ranges.end());
        if (!marks_.IsChecked(it.key()) || marks_.Marks(it.key()) != ranges)
            marks_.SetMarks(it.key(), std::move(ranges));
    }
}

QString ReferenceMarks::ReasonOf(int line, platform::LineRange mark) const {
    const auto at = reasons_.constFind({line, mark.start});
    if (at != reasons_.constEnd()) return *at;
    return reasonsByText_.value(marks_.Line(line).text.mid(mark.start, mark.length));
}

bool ReferenceMarks::SelectNext() {
    const platform::TextMarks::Point caret = marks_.Caret();
    const std::vector<int> lines = marks_.MarkedLines();
    // After the caret on its line, then the lines after it, then round from the top.
    for (int pass = 0; pass < 2; ++pass) {
        for (int line : lines) {
            if (pass == 0 && line < caret.line) continue;
            for (const platform::LineRange& mark : marks_.Marks(line)) {
                if (pass == 0 && line == caret.line && mark.start < caret.offset) continue;
                marks_.Select(line, mark);
                return true;
            }
        }
    }
    return false;
}

bool KeysHeld(platform::TRichEdit& control, const std::vector<Place>& places,
              const QString& oldName) {
    const platform::TextMarks& marks =
        platform::TextMarks::Of(control, platform::MarkLayer::References);
    return std::all_of(places.begin(), places.end(), [&](const Place& at) {
        return at.line < marks.LineCount() &&
               marks.Line(at.line).text.mid(at.column, at.length) == oldName;
    });
}

bool ReplaceKeys(platform::TRichEdit& control, const std::vector<Place>& places,
                 const QString& oldName, const QString& newName) {
    if (!KeysHeld(control, places, oldName)) return false;
    platform::TextMarks& marks = platform::TextMarks::Of(control, platform::MarkLayer::References);
    const qsizetype growth =
        (newName.size() - oldName.size()) * static_cast<qsizetype>(places.size());
    if (control.TextLength() + growth > control.MaxLength()) return false;
    platform::TRichEdit::EditBlock block(control);
    // From the end: each replacement leaves the places before it where they were.
    for (auto at = places.rbegin(); at != places.rend(); ++at)
        marks.Replace(at->line, {at->column, at->length}, newName);
    return true;
}

} // namespace project
