#pragma once
// What a subsystem's commands work on: the editor's state, its editing control and
// indicator, the modal seam, and the few services one folder offers the others. The main
// window implements it; the subsystems see only this, so their code never reaches up into
// the window that holds them.
#include <QString>
#include <functional>
#include <string_view>

#include "state/editor_state.h"

class QLabel;
namespace platform {
class Prompts;
class TRichEdit;
} // namespace platform

namespace state {

class Editor : public EditorState {
  public:
    virtual ~Editor() = default;

    // The editing control and the layout indicator beside it.
    platform::TRichEdit* RichEdit1 = nullptr;
    QLabel* Label1 = nullptr;

    virtual platform::Prompts& prompts() = 0;
    // Runs a handler through the runtime-error guard.
    virtual void Guarded(const std::function<void()>& handler) = 0;

    // The layout indicator and the Smart Keyboard's controls.
    virtual void RefreshLayoutIndicator() = 0;
    virtual void RefreshSmartKeyboardControls() = 0;
    // Shows a notice in the indicator's place until the next key press, click or caret
    // move, or a change of layout.
    virtual void ShowIndicatorNotice(const QString& text) = 0;
    virtual void EndIndicatorNotice() = 0;

    // The document: saving it, opening another, going to a line.
    // False when the user cancelled the save dialog (nothing was saved, nothing changed).
    virtual bool SaveDocument() = 0;
    // Loads path as the current document, in place of the text the control holds.
    virtual void OpenDocument(const QString& path) = 0;
    // Makes path the current document: the open document of that file when there is one
    // (reached by any path or link), else the file opened beside the others. Nothing is
    // saved by it. A file that cannot be opened throws its runtime error and leaves no
    // place behind; false when the user kept the current document.
    virtual bool OpenAnotherDocument(const QString& path) = 0;
    // Puts the caret at the start of a line (from 1) as "Перейти к строке..." does.
    virtual void CaretToLine(int32_t lineNumber) = 0;

    // The recent files and the settings files.
    virtual void RememberRecentFile() = 0;
    // Writes filelist.ini or commands.set into SettingsDir, making the folder first.
    virtual void WriteSettingsFile(const char* name, std::string_view bytes) = 0;
};

} // namespace state
