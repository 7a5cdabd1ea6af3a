#pragma once
// What the insertion aids put into the document: a picture cell's text, an environment's
// begin/end block, a command or command template. Each works on the editing control
// through InsertionTarget, so the blocks, the caret and the character set of every
// inserted character are decided here, without a window.
#include <string>
#include <string_view>

#include "platform/string_list.h"

namespace insertion {

// The part of the editing control the insertion uses. Positions count every line break
// as two characters (CR LF).
class InsertionTarget {
  public:
    virtual ~InsertionTarget() = default;
    // Replaces the selection (the caret when empty); the new characters take the
    // insertion character set, and the caret ends after them.
    virtual void insertText(std::string_view text) = 0;
    virtual int insertCharset() const = 0;
    virtual void setInsertCharset(int charset) = 0;
    virtual int selStart() const = 0;
    // Puts the caret at position with nothing selected.
    virtual void placeCaret(int position) = 0;
    // Whether the text stays within the control's limit when `length` characters replace
    // the selection.
    virtual bool hasRoomFor(int length) const = 0;
};

// Each routine below inserts nothing and returns false when its text would take the
// document past the control's limit; the caller sounds the beep.

// Inserts a picture cell's text in Latin, whatever the Smart Keyboard, and restores the
// character set in force before; that set is left in shownCharset.
bool insertPictureText(InsertionTarget& target, std::string_view text, int& shownCharset);

// The environment kinds of the chooser.
enum EnvironmentKinds : int { kFormulas = 1, kStatements = 2, kOthers = 3 };

struct EnvironmentChoice {
    int kind = kFormulas;
    std::string entry;  // the chosen line of the list (a display name for statements)
    bool star = false;  // adds "*" after the name, for formulas only
    bool label = false; // adds an empty "\label{}" to the begin line
};

// The environment name inserted for a choice: the entry itself, or for statements the
// name given after "=" on the statements line whose display name it is (empty if none).
std::string environmentName(const EnvironmentChoice& choice,
                            const platform::StringList& statementEnvironments);

// Inserts the three-line block of the choice in one go and leaves the caret inside the
// label's braces, or at the start of the empty body line. With the Smart Keyboard on the
// markup is Latin, and the characters that the user's typing continues after take
// savedCharset (the set last shown to the user): for formulas only the final "}" and
// line break; for statements and others also the "}" closing the begin line or label
// and the body line. With it off, no character set is changed. A kind other than the
// three inserts nothing (and returns true).
bool insertEnvironmentBlock(InsertionTarget& target, const EnvironmentChoice& choice,
                            const platform::StringList& statementEnvironments, bool smartKeyboardOn,
                            int savedCharset);

// Inserts a command from the list. An entry whose last character is "}" is a template:
// it goes in whole and the caret is put just after its first "{" (in front of it all
// when it has none). Any other entry, the empty one included, is followed by one space
// and the caret stays after it. With the Smart Keyboard on, the entry is Latin and the
// template's last "}" or the space takes savedCharset.
bool insertCommandText(InsertionTarget& target, std::string_view entry, bool smartKeyboardOn,
                       int savedCharset);

} // namespace insertion
