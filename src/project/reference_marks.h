#pragma once
// The problems of the references in an open document, as marks of the References layer
// over its editing control (never part of the text), each with its reason as tooltip; the
// step to the next one; and a rename's edits of one document, in one undo step.
#include <QHash>
#include <QObject>
#include <QString>
#include <vector>

#include "platform/text_line.h"
#include "project/project_model.h"

namespace platform {
class TRichEdit;
class TextMarks;
} // namespace platform

namespace project {

class ReferenceMarks final : public QObject {
    Q_OBJECT

  public:
    // The control's, made at its first use; lives as the control's child.
    static ReferenceMarks& Of(platform::TRichEdit& control);

    // Marks the problems of file (an index into the snapshot's files; -1: none) whose text
    // the control holds. Only the lines whose marks change are touched.
    void Show(const Snapshot& snapshot, int file);
    // Selects the next mark after the caret, going round from the top; false when there is
    // none.
    bool SelectNext();
    // The reason of a mark (its tooltip).
    QString ReasonOf(int line, platform::LineRange mark) const;

  private:
    explicit ReferenceMarks(platform::TRichEdit& control);

    platform::TextMarks& marks_;
    // Where each problem stood when it was shown, and the reasons by the text marked (for a
    // mark that has moved with an edit since).
    QHash<QPair<int, int>, QString> reasons_;
    QHash<QString, QString> reasonsByText_;
};

// Whether every place (all in the control's text) still holds oldName.
bool KeysHeld(platform::TRichEdit& control, const std::vector<Place>& places,
              const QString& oldName);
// Replaces each place (in the order of the text) with newName, in one undo step. Nothing is
// changed, and false returned, when one of them no longer holds oldName or the text would
// grow past the control's limit.
bool ReplaceKeys(platform::TRichEdit& control, const std::vector<Place>& places,
                 const QString& oldName, const QString& newName);

} // namespace project
