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

bool Prompts::unicodeQuestion(const std::string& caption, const QString& text) {
    return question(caption, toCp1251(text));
}

void Prompts::unicodeInformation(const QString& message) {
    information(toCp1251(message));
}

void QtPrompts::information(const std::string& message) {
    unicodeInformation(fromCp1251(message));
}

std::optional<QString> Prompts::unicodeInputBox(const QString& caption, const QString& prompt,
                                                const QString& text) {
    const auto answer = inputBox(toCp1251(caption), toCp1251(prompt), toCp1251(text));
    if (!answer) return std::nullopt;
    return fromCp1251(*answer);
}

void QtPrompts::unicodeInformation(const QString& message) {
    QMessageBox box(QMessageBox::Information, QStringLiteral("Information"), message,
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
    return unicodeQuestion(caption, fromCp1251(text));
}

bool QtPrompts::unicodeQuestion(const std::string& caption, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, fromCp1251(caption), text,
                    QMessageBox::Yes | QMessageBox::No, parentWindow());
    return box.exec() == QMessageBox::Yes;
}

std::optional<bool> QtPrompts::questionOrCancel(const std::string& caption,
                                                const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, fromCp1251(caption), fromCp1251(text),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parentWindow());
    box.setEscapeButton(QMessageBox::Cancel);
    const int answer = box.exec();
    if (answer == QMessageBox::Cancel) return std::nullopt;
    return answer == QMessageBox::Yes;
}

std::optional<std::string> QtPrompts::inputBox(const std::string& caption,
                                               const std::string& prompt, const std::string& text) {
    bool ok = false;
    QString answer = QInputDialog::getText(parentWindow(), fromCp1251(caption), fromCp1251(prompt),
                                           QLineEdit::Normal, fromCp1251(text), &ok);
    if (!ok) return std::nullopt;
    return toCp1251(answer);
}

std::optional<QString> QtPrompts::unicodeInputBox(const QString& caption, const QString& prompt,
                                                  const QString& text) {
    QInputDialog dialog(parentWindow());
    dialog.setWindowTitle(caption);
    dialog.setLabelText(prompt);
    dialog.setTextValue(text);
    // Wide enough for its caption in the title bar, which the window manager would cut (the
    // dialog takes the width of its field).
    if (auto* field = dialog.findChild<QLineEdit*>())
        field->setMinimumWidth(dialog.fontMetrics().horizontalAdvance(caption) + 120);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.textValue();
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

} // namespace platform
