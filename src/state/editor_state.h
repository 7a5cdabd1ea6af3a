#pragma once
// The editor's state: the document's names and encoding, the project link, the Smart
// Keyboard's flags, the configured command lines, the recent files and the lists read at
// start-up. Plain data without widgets; the main window holds one, and every subsystem's
// commands read and write it.
#include <QString>
#include <array>
#include <cstdint>
#include <string>
#include <sys/types.h>

#include "platform/string_list.h"
#include "platform/text_encoding.h"
#include "state/pdf_output.h"

namespace state {

struct EditorState {
    platform::StringList LettersGrid;
    platform::StringList SymbolsGrid;
    platform::StringList FormulaEnvironments;
    platform::StringList StatementEnvironmentNames;
    platform::StringList StatementEnvironments;
    platform::StringList OtherEnvironments;
    platform::StringList CommandList;
    int32_t EnvironmentKind = 0;
    // The document's names are held as the file system names them (QString, lossless);
    // DocDir is absolute once a document is named.
    QString DocName;
    QString DocDir;
    std::string AppDir;
    // Where filelist.ini and commands.set are written: AppDir for a portable copy, the
    // user's config folder for an installed one (app::Locations).
    QString SettingsDir;
    QString DocExt;
    QString MainFile;
    bool SmartKeyboardOn = false;
    bool LayoutBeep = false;
    QString UserTemplate;
    int32_t ShownCharset = 0;
    std::string CompileCommand;
    std::string ViewCommand;
    std::string PrintCommand;
    PdfOutput Pdf;
    std::array<QString, 4> RecentFiles;

    // The Smart Keyboard's typing state and the editor's marks, one set per editor.
    bool RestoreAfterShift = false;
    bool InCommandWord = false;
    bool DollarSeen = false;
    bool IndicatorNoticeShown = false; // Label1 holds a notice instead of the layout
    int32_t MarkedPosition = -1;
    pid_t ViewerProcess = 0;

    // The document's encoding on disk, recognised from the file at every open and kept by
    // "Сохранить как"; DocLayout is how its file lays out its text (line ends, byte-order
    // mark, padding), so that a save writes an unchanged text back as the same bytes.
    // NewDocEncoding is the new-file dialog's choice for new documents.
    platform::TextEncoding DocEncoding = platform::TextEncoding::Cp866;
    platform::FileLayout DocLayout;
    platform::TextEncoding NewDocEncoding = platform::TextEncoding::Cp866;
};

} // namespace state
