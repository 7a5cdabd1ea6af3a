#include "platform/prompts.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QStringList>

#include "platform/codepage.h"

namespace platform {

QStringList qtNameFilters(const std::string& filter) {
    const QStringList parts = fromCp1251(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& pattern : patterns)
            if (pattern == QLatin1String("*.*")) pattern = QStringLiteral("*");
        QString description = parts[i].trimmed();
        // "Файлы TEX (*.tex)" already names its patterns: they are given once, from the pair.
        if (description.endsWith(QLatin1Char(')'))) {
            const qsizetype open = description.lastIndexOf(QLatin1Char('('));
            if (open >= 0) description = description.left(open).trimmed();
        }
        filters << QStringLiteral("%1 (%2)").arg(description, patterns.join(QLatin1Char(' ')));
    }
    return filters;
}

void Prompts::unicodeError(const std::string& caption, const QString& message) {
    error(caption, toCp1251(message));
}

void QtPrompts::information(const std::string& message) {
    QMessageBox box(QMessageBox::Information, QStringLiteral("Information"), fromCp1251(message),
                    QMessageBox::Ok, parentWindow());
    box.exec();
}

void QtPrompts::error(const std::string& caption, const std::string& message) {
    QMessageBox box(QMessageBox::Critical, fromCp1251(caption), fromCp1251(message),
                    QMessageBox::Ok, parentWindow());
    box.exec();
}

void QtPrompts::unicodeError(const std::string& caption, const QString& message) {
    QMessageBox box(QMessageBox::Critical, fromCp1251(caption), message, QMessageBox::Ok,
                    parentWindow());
    box.exec();
}

bool QtPrompts::question(const std::string& caption, const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, fromCp1251(caption), fromCp1251(text),
                    QMessageBox::Yes | QMessageBox::No, parentWindow());
    return box.exec() == QMessageBox::Yes;
}

std::optional<std::string> QtPrompts::inputBox(const std::string& caption,
                                               const std::string& prompt, const std::string& text) {
    bool ok = false;
    QString answer = QInputDialog::getText(parentWindow(), fromCp1251(caption), fromCp1251(prompt),
                                           QLineEdit::Normal, fromCp1251(text), &ok);
    if (!ok) return std::nullopt;
    return toCp1251(answer);
}

std::optional<QString> QtPrompts::openFile(const std::string& title, const std::string& filter) {
    QFileDialog dialog(parentWindow(), fromCp1251(title));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile); // a name that does not exist is accepted
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setDirectory(QDir::current());
    dialog.setNameFilters(qtNameFilters(filter));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().first();
}

std::optional<QString> QtPrompts::saveFile(const std::string& title, const std::string& filter,
                                           const std::string& defaultExtension) {
    QFileDialog dialog(parentWindow(),
                       title.empty() ? QStringLiteral("Сохранить как") : fromCp1251(title));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setDirectory(QDir::current());
    dialog.setNameFilters(qtNameFilters(filter));
    QString suffix = fromCp1251(defaultExtension);
    if (suffix.startsWith(QLatin1Char('.'))) suffix.remove(0, 1);
    dialog.setDefaultSuffix(suffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().first();
}

void QtPrompts::beep() {
    QApplication::beep();
}

int QtPrompts::showModal(QDialog& dialog) {
    return dialog.exec();
}

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

} // namespace platform
