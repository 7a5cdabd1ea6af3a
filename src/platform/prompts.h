#pragma once
// The one seam for everything modal: message boxes, the yes/no question, the input box,
// the open and save file dialogs, the beep and ShowModal of the editor's own dialogs.
// The Qt implementation shows real dialogs; tests install their own, which record what was
// shown and answer from queues, so every command runs headless.
#include <QString>
#include <QStringList>
#include <optional>
#include <string>

class QDialog;
class QWidget;

namespace platform {

class Prompts {
  public:
    virtual ~Prompts() = default;

    // Information box: title "Information", one OK button.
    virtual void information(const std::string& message) = 0;
    // Error box of the runtime guard, captioned with the application title.
    virtual void error(const std::string& caption, const std::string& message) = 0;
    // The same box for a message holding characters the editor's code page lacks; without
    // its own way to show them a seam shows the message in CP1251 ("?" for them).
    virtual void unicodeError(const std::string& caption, const QString& message);
    // Yes/No question without icon; true for Yes.
    virtual bool question(const std::string& caption, const std::string& text) = 0;
    // The same question with a third answer, Cancel (nullopt): go back, nothing done.
    virtual std::optional<bool> questionOrCancel(const std::string& caption,
                                                 const std::string& text) = 0;
    // The same question and the information box for a text holding characters the editor's
    // code page lacks (a file's name as the file system has it); without its own way to
    // show them a seam shows the text in CP1251 ("?" for them).
    virtual bool unicodeQuestion(const std::string& caption, const QString& text);
    virtual void unicodeInformation(const QString& message);
    // Input box with OK and Cancel; nullopt on Cancel.
    virtual std::optional<std::string>
    inputBox(const std::string& caption, const std::string& prompt, const std::string& text) = 0;
    // The same box for a text that may hold characters the editor's code page lacks (a
    // label in any script); without its own way a seam asks through inputBox, in CP1251.
    virtual std::optional<QString> unicodeInputBox(const QString& caption, const QString& prompt,
                                                   const QString& text);
    // Open dialog; the filter is in the form "Файлы TEX (*.tex)|*.tex|Все файлы|*.*", its
    // first pair initial. Accepts a name that does not exist. Full path as the file system
    // names it, or nullopt.
    virtual std::optional<QString> openFile(const std::string& title,
                                            const std::string& filter) = 0;
    // Save dialog with a default extension (".tex"); an empty title is the platform's
    // default. Replaces an existing file without asking. Full path or nullopt.
    virtual std::optional<QString> saveFile(const std::string& title, const std::string& filter,
                                            const std::string& defaultExtension) = 0;
    virtual void beep() = 0;
    // Shows one of the editor's own dialogs modally; returns its result code.
    virtual int showModal(QDialog& dialog) = 0;

    // The window that the dialogs belong to.
    void setParentWindow(QWidget* parent) { parent_ = parent; }
    QWidget* parentWindow() const { return parent_; }

  private:
    QWidget* parent_ = nullptr;
};

class QtPrompts : public Prompts {
  public:
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
    std::optional<QString> unicodeInputBox(const QString& caption, const QString& prompt,
                                           const QString& text) override;
    std::optional<QString> openFile(const std::string& title, const std::string& filter) override;
    std::optional<QString> saveFile(const std::string& title, const std::string& filter,
                                    const std::string& defaultExtension) override;
    void beep() override;
    int showModal(QDialog& dialog) override;
};

// The Qt name filters of a filter in the "description|patterns|..." form: each pair once,
// as "description (patterns)" (a description's own pattern list is replaced, not repeated),
// with "*.*" meaning every file ("*": a name need not have a dot).
QStringList qtNameFilters(const std::string& filter);

} // namespace platform
