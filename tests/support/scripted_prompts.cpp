#include "support/scripted_prompts.h"

#include <QDialog>

#include "platform/codepage.h"

namespace support {

using platform::toCp1251;

void ScriptedPrompts::information(const std::string& message) {
    shown.push_back({"information", "Information", message});
}

void ScriptedPrompts::error(const std::string& caption, const std::string& message) {
    shown.push_back({"error", caption, message});
}

void ScriptedPrompts::unicodeError(const std::string& caption, const QString& message) {
    shown.push_back({"error", caption, toCp1251(message)});
    unicodeErrors.push_back(message);
}

bool ScriptedPrompts::question(const std::string& caption, const std::string& text) {
    shown.push_back({"question", caption, text});
    if (questionAnswers.empty()) return false;
    bool answer = questionAnswers.front();
    questionAnswers.pop_front();
    return answer;
}

std::optional<bool> ScriptedPrompts::questionOrCancel(const std::string& caption,
                                                      const std::string& text) {
    shown.push_back({"choice", caption, text});
    if (choiceAnswers.empty()) return std::nullopt;
    const std::optional<bool> answer = choiceAnswers.front();
    choiceAnswers.pop_front();
    return answer;
}

bool ScriptedPrompts::unicodeQuestion(const std::string& caption, const QString& text) {
    unicodeQuestions.push_back(text);
    return question(caption, toCp1251(text));
}

void ScriptedPrompts::unicodeInformation(const QString& message) {
    unicodeInformations.push_back(message);
    information(toCp1251(message));
}

std::optional<std::string> ScriptedPrompts::inputBox(const std::string& caption,
                                                     const std::string& prompt,
                                                     const std::string& text) {
    shown.push_back({"input", caption, prompt + "|" + text});
    if (inputAnswers.empty()) return std::nullopt;
    auto answer = inputAnswers.front();
    inputAnswers.pop_front();
    return answer;
}

std::optional<QString> ScriptedPrompts::openFile(const std::string& title,
                                                 const std::string& filter) {
    shown.push_back({"open", title, filter});
    return nextFileAnswer();
}

std::optional<QString> ScriptedPrompts::saveFile(const std::string& title,
                                                 const std::string& filter,
                                                 const std::string& defaultExtension) {
    shown.push_back({"save", title, filter + "|" + defaultExtension});
    return nextFileAnswer();
}

std::optional<QString> ScriptedPrompts::nextFileAnswer() {
    if (fileAnswers.empty()) return std::nullopt;
    const bool chosen = fileAnswers.front().has_value();
    const QString path = chosen ? *fileAnswers.front() : QString();
    fileAnswers.pop_front();
    if (!chosen) return std::nullopt;
    return path;
}

int ScriptedPrompts::showModal(QDialog& dialog) {
    shown.push_back({"modal", toCp1251(dialog.windowTitle()), toCp1251(dialog.objectName())});
    dialog.setResult(QDialog::Rejected);
    if (!modalActions.empty()) {
        auto action = std::move(modalActions.front());
        modalActions.pop_front();
        action(dialog);
    }
    dialog.hide();
    return dialog.result();
}

std::vector<ScriptedPrompts::Shown> ScriptedPrompts::ofKind(const std::string& kind) const {
    std::vector<Shown> result;
    for (const Shown& s : shown)
        if (s.kind == kind) result.push_back(s);
    return result;
}

std::string describe(const ScriptedPrompts& prompts) {
    std::string text;
    for (const auto& shown : prompts.shown)
        text += shown.kind + ": " + shown.caption + " / " + shown.text + "\n";
    return text;
}

} // namespace support
