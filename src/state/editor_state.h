#pragma once
// The editor's state: the current document (state::DocumentState), the Smart Keyboard's
// flags, the configured command lines, the recent files and the lists read at start-up.
// Plain data without widgets; the main window holds one, and every subsystem's commands
// read and write it.
#include <QString>
#include <array>
#include <cstdint>
#include <string>
#include <sys/types.h>

#include "platform/string_list.h"
#include "platform/text_encoding.h"
#include "state/document_state.h"
#include "state/pdf_output.h"

namespace state {

struct EditorState : DocumentState {
    platform::StringList LettersGrid;
    platform::StringList SymbolsGrid;
    platform::StringList FormulaEnvironments;
    platform::StringList StatementEnvironmentNames;
    platform::StringList StatementEnvironments;
    platform::StringList OtherEnvironments;
    platform::StringList CommandList;
    int32_t EnvironmentKind = 0;
    std::string AppDir;
    // Where filelist.ini and commands.set are written: AppDir for a portable copy, the
    // user's config folder for an installed one (app::Locations).
    QString SettingsDir;
    bool SmartKeyboardOn = false;
    bool LayoutBeep = false;
    QString UserTemplate;
    int32_t ShownCharset = 0;
    std::string CompileCommand;
    std::string ViewCommand;
    std::string PrintCommand;
    PdfOutput Pdf;
    std::array<QString, 4> RecentFiles;

    // The Smart Keyboard's typing state and the layout shown, one set per editor.
    bool RestoreAfterShift = false;
    bool InCommandWord = false;
    bool DollarSeen = false;
    bool IndicatorNoticeShown = false; // Label1 holds a notice instead of the layout
    pid_t ViewerProcess = 0;

    // The new-file dialog's choice of encoding for new documents.
    platform::TextEncoding NewDocEncoding = platform::TextEncoding::Cp866;
};

} // namespace state
