#pragma once
// "Исправить раскладку": text typed in the wrong layout, retyped in the other by the same
// keys ("ghbdtn" -> "привет", "Ntjhtvf" -> "Теорема", and back): the selection, or with none
// the word before the caret. One undo step; the new text takes the character set of the
// layout it now stands in, as if typed there, and so does the caret. A character the
// document's encoding cannot hold stays as it was.
namespace state {
class Editor;
}

namespace typography {

void FixLayout(state::Editor& editor);

} // namespace typography
