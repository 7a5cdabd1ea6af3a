#include "insertion/insertion_blocks.h"

#include <vector>

#include "platform/charsets.h"

namespace insertion {

namespace {

constexpr std::string_view kLineBreak = "\r\n";

// A part of a block: Latin markup, or characters the user's typing continues after, which
// take the set last shown to the user.
struct Piece {
    std::string text;
    bool markup;
};

// Inserts the pieces one after another and puts the caret caretOffset characters after
// the block's start (-1: leaves it after the block). Each piece states its own set with the
// Smart Keyboard on: after an insertion the set follows the text at the caret, which at the
// start of a line is the text the block pushed ahead of it.
bool insertPieces(InsertionTarget& target, const std::vector<Piece>& pieces, bool smartKeyboardOn,
                  int savedCharset, int caretOffset) {
    size_t length = 0;
    for (const Piece& piece : pieces)
        length += piece.text.size();
    if (!target.hasRoomFor(static_cast<int>(length))) return false;
    const int start = target.selStart();
    for (const Piece& piece : pieces) {
        if (smartKeyboardOn)
            target.setInsertCharset(piece.markup ? platform::kLatinCharset : savedCharset);
        target.insertText(piece.text);
    }
    if (caretOffset >= 0) target.placeCaret(start + caretOffset);
    return true;
}

int lengthOf(std::string_view text) {
    return static_cast<int>(text.size());
}

} // namespace

bool insertPictureText(InsertionTarget& target, std::string_view text, int& shownCharset) {
    if (!target.hasRoomFor(lengthOf(text))) return false;
    shownCharset = target.insertCharset();
    target.setInsertCharset(platform::kLatinCharset);
    target.insertText(text);
    target.setInsertCharset(shownCharset);
    return true;
}

std::string environmentName(const EnvironmentChoice& choice,
                            const platform::StringList& statementEnvironments) {
    if (choice.kind == kStatements) return statementEnvironments.value(choice.entry);
    return choice.entry;
}

bool insertEnvironmentBlock(InsertionTarget& target, const EnvironmentChoice& choice,
                            const platform::StringList& statementEnvironments, bool smartKeyboardOn,
                            int savedCharset) {
    if (choice.kind != kFormulas && choice.kind != kStatements && choice.kind != kOthers)
        return true;
    const std::string name = environmentName(choice, statementEnvironments);
    const std::string lineBreak(kLineBreak);
    std::vector<Piece> pieces;
    int caret = 0;
    if (choice.kind == kFormulas) {
        const std::string starred = name + (choice.star ? "*" : "");
        std::string markup = "\\begin{" + starred + "}";
        caret = choice.label ? lengthOf(markup + "\\label{") : lengthOf(markup + lineBreak);
        if (choice.label) markup += "\\label{}";
        markup += lineBreak + lineBreak + "\\end{" + starred;
        pieces = {{markup, true}, {"}" + lineBreak, false}};
    } else {
        // The rest of the begin line and the body line are typed on in the user's set.
        std::string markup = "\\begin{" + name;
        if (choice.label) markup += "}\\label{";
        caret = choice.label ? lengthOf(markup) : lengthOf(markup + "}" + lineBreak);
        pieces = {{markup, true},
                  {"}" + lineBreak + lineBreak, false},
                  {"\\end{" + name, true},
                  {"}" + lineBreak, false}};
    }
    return insertPieces(target, pieces, smartKeyboardOn, savedCharset, caret);
}

bool insertCommandText(InsertionTarget& target, std::string_view entry, bool smartKeyboardOn,
                       int savedCharset) {
    if (!entry.empty() && entry.back() == '}') {
        const size_t brace = entry.find('{');
        const int caret = brace == std::string_view::npos ? 0 : static_cast<int>(brace) + 1;
        return insertPieces(target,
                            {{std::string(entry.substr(0, entry.size() - 1)), true}, {"}", false}},
                            smartKeyboardOn, savedCharset, caret);
    }
    return insertPieces(target, {{std::string(entry), true}, {" ", false}}, smartKeyboardOn,
                        savedCharset, -1);
}

} // namespace insertion
