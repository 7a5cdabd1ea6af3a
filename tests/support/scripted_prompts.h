#pragma once
// Prompts for tests: every prompt is recorded and answered from queues, so every command
// runs headless.
#include <QString>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/prompts.h"

namespace support {

// Records every prompt and answers from queues. An empty queue answers No, Cancel, or a
// dialog closed without a choice.
class ScriptedPrompts : public platform::Prompts {
  public:
    struct Shown {
        std::string kind; // "information", "error", "question", "choice", "input", "open", "save",
                          // "modal"
        std::string caption;
        std::string text;
    };

    std::vector<Shown> shown;
    // The messages of unicodeError, unicodeQuestion and unicodeInformation as they were
    // given; shown has them in CP1251.
    std::vector<QString> unicodeErrors;
    std::vector<QString> unicodeQuestions;
    std::vector<QString> unicodeInformations;
    int beeps = 0;

    std::deque<bool> questionAnswers;
    // Yes, No or Cancel (nullopt); without one the question is cancelled.
    std::deque<std::optional<bool>> choiceAnswers;
    std::deque<std::optional<std::string>> inputAnswers;
    std::deque<std::optional<QString>> fileAnswers; // open and save dialogs alike
    // Each modal dialog shown takes the next action, which may operate its controls and
    // close it; without one the dialog is rejected as if closed by its title bar.
    std::deque<std::function<void(QDialog&)>> modalActions;

    void information(const std::string& message) override;
    void error(const std::string& caption, const std::string& message) override;
    void unicodeError(const std::string& caption, const QString& message) override;
    bool question(const std::string& caption, const std::string& text) override;
    std::optional<bool> questionOrCancel(const std::string& caption,
                                         const std::string& text) override;
    bool unicodeQuestion(const std::string& caption, const QString& text) override;
    void unicodeInformation(const QString& message) override;
    std::optional<std::string> inputBox(const std::string& caption, const std::string& prompt,
                                        const std::string& text) override;
    std::optional<QString> openFile(const std::string& title, const std::string& filter) override;
    std::optional<QString> saveFile(const std::string& title, const std::string& filter,
                                    const std::string& defaultExtension) override;
    void beep() override { ++beeps; }
    int showModal(QDialog& dialog) override;

    // The shown prompts of one kind, in order.
    std::vector<Shown> ofKind(const std::string& kind) const;

  private:
    std::optional<QString> nextFileAnswer();
};

// Every prompt shown so far, one a line, for failure messages.
std::string describe(const ScriptedPrompts& prompts);

} // namespace support
