#pragma once
// The File menu's commands and the document's files: new, open, save, save as, the recent
// files; loading and saving TeX files and status files. Each works on the editor it is
// given; the new-file and file-parameters dialogs are passed where a command shows them.
#include <QString>
#include <cstddef>
#include <optional>

#include "platform/text_encoding.h"

class TEncodingDialog;
class TForm2;
class TForm3;
namespace state {
class Editor;
}

namespace document {

// "Создать", in the place the window made for a new document (a modified document still
// there is saved first): asks for the new document's parameters and loads its template.
void newDocument(state::Editor& editor, TForm2& form2);
// "Открыть": the file the user picks, opened beside the documents already open (or shown,
// when it is one of them).
void open(state::Editor& editor);
// "Сохранить". True when the document was saved (the modified flag is then cleared).
bool save(state::Editor& editor);
// "Сохранить как...". True when the document was saved under the chosen name.
bool saveAs(state::Editor& editor);
// The recent file at index (0 is the newest), opened as "Открыть" opens one.
void openRecentFile(state::Editor& editor, size_t index);

// "Открыть в кодировке...": the document's file read again in the encoding the user
// chooses, the caret kept; a modified text is given up only when the user agrees.
void reopenInEncoding(state::Editor& editor, TEncodingDialog& dialog);
// The document's file read again as it now stands on disk (its encoding recognised anew),
// the caret kept; the text shown is given up. Nothing is saved.
void reloadFromDisk(state::Editor& editor);
// "Сохранить в кодировке...": the document saved in the encoding the user chooses, its
// inputenc line changed to match (one undo step). Refused with a message naming the first
// character the encoding cannot hold; a failed or cancelled save changes nothing.
bool saveInEncoding(state::Editor& editor, TEncodingDialog& dialog);

// The document's encoding and its file's layout; the editing control then holds as much as a
// document of that encoding may (maxDocumentLength).
void setDocumentEncoding(state::Editor& editor, platform::TextEncoding encoding,
                         const platform::FileLayout& layout);
// The window's caption for the document: the program, the document's name (or "untitled"),
// the main file it is attached to, and the encoding unless it is CP866.
void setCaption(state::Editor& editor, bool untitled);
// Loads a TeX file into the control; a path that does not exist changes nothing.
void loadTexFile(state::Editor& editor, const QString& path);
// Writes the control's text to a TeX file in the document's encoding.
void saveTexFile(state::Editor& editor, const QString& path);
void readStatusFile(state::Editor& editor);
void writeStatusFile(state::Editor& editor);
// False when the user cancelled the save dialog, or would not write over a file changed on
// disk since it was read (nothing was saved, nothing changed); a failed write throws and
// leaves the old files and the document's name as they were.
bool saveDocument(state::Editor& editor);
// Loads path as the current document, in place of what the control holds. Refuses (with a
// runtime error, the current document kept) a path whose folder cannot be entered or whose
// name the editor cannot keep exactly. Without a status file the file-parameters dialog
// asks for the document's parameters.
// The encoding is recognised from the file unless one is given.
void openDocument(state::Editor& editor, TForm3& form3, const QString& path,
                  std::optional<platform::TextEncoding> encoding = std::nullopt);

} // namespace document
