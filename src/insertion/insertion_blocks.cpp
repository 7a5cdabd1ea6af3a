#include "insertion/insertion_blocks.h"

namespace insertion {

namespace {

constexpr std::string_view kLineBreak = "\r\n";

} // namespace

void insertPictureText(InsertionTarget& target, std::string_view text, int& shownCharset) {
    shownCharset = target.insertCharset();
    target.setInsertCharset(kLatin);
    target.insertText(text);
    target.setInsertCharset(shownCharset);
}

std::string environmentName(const EnvironmentChoice& choice,
                            const platform::StringList& statementEnvironments) {
    if (choice.kind == kStatements) return statementEnvironments.value(choice.entry);
    return choice.entry;
}

void insertEnvironmentBlock(InsertionTarget& target, const EnvironmentChoice& choice,
                            const platform::StringList& statementEnvironments, bool smartKeyboardOn,
                            int savedCharset) {
    if (choice.kind != kFormulas && choice.kind != kStatements && choice.kind != kOthers) return;
    auto latin = [&] {
        if (smartKeyboardOn) target.setInsertCharset(kLatin);
    };
    auto saved = [&] {
        if (smartKeyboardOn) target.setInsertCharset(savedCharset);
    };
    const std::string name = environmentName(choice, statementEnvironments);
    int caretTarget = -1;

    latin();
    if (choice.kind == kFormulas) {
        const std::string starred = name + (choice.star ? "*" : "");
        target.insertText("\\begin{" + starred + "}");
        if (choice.label) {
            target.insertText("\\label{}");
            caretTarget = target.selStart() - 1;
        }
        target.insertText(kLineBreak);
        if (caretTarget < 0) caretTarget = target.selStart();
        target.insertText(std::string(kLineBreak) + "\\end{" + starred);
    } else {
        target.insertText("\\begin{" + name);
        if (choice.label) {
            target.insertText("}\\label{");
            caretTarget = target.selStart();
        }
        // The rest of the begin line and the body line are typed on in the user's set.
        saved();
        target.insertText(std::string("}") + std::string(kLineBreak));
        if (caretTarget < 0) caretTarget = target.selStart();
        target.insertText(kLineBreak);
        latin();
        target.insertText("\\end{" + name);
    }
    saved();
    target.insertText(std::string("}") + std::string(kLineBreak));
    target.placeCaret(caretTarget);
}

void insertCommandText(InsertionTarget& target, std::string_view entry, bool smartKeyboardOn,
                       int savedCharset) {
    if (smartKeyboardOn) target.setInsertCharset(kLatin);
    if (!entry.empty() && entry.back() == '}') {
        const size_t brace = entry.find('{');
        const int caretTarget =
            target.selStart() + (brace == std::string_view::npos ? 0 : static_cast<int>(brace) + 1);
        target.insertText(entry.substr(0, entry.size() - 1));
        if (smartKeyboardOn) target.setInsertCharset(savedCharset);
        target.insertText("}");
        target.placeCaret(caretTarget);
    } else {
        target.insertText(entry);
        if (smartKeyboardOn) target.setInsertCharset(savedCharset);
        target.insertText(" ");
    }
}

} // namespace insertion
