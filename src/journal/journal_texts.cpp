#include "journal/journal_texts.h"

#include <QDateTime>
#include <QFile>
#include <cerrno>

namespace journal {
namespace {

QString reason(int errorNumber) {
    switch (errorNumber) {
    case ENOSPC:
    case EDQUOT:
        return QString::fromUtf8("нет места на диске");
    case EACCES:
    case EPERM:
    case EROFS:
        return QString::fromUtf8("нет доступа");
    case ENOTDIR:
    case EEXIST:
        return QString::fromUtf8("на пути к ней файл, а не папка");
    default:
        return QString::fromUtf8("ошибка %1").arg(errorNumber);
    }
}

QString timeText(const JournalRecord& record) {
    return QDateTime::fromMSecsSinceEpoch(record.writtenAtMs, Qt::LocalTime)
        .toString(QStringLiteral("dd.MM.yyyy HH:mm"));
}

} // namespace

QString journalErrorMessage(const JournalError& error) {
    return QString::fromUtf8("Несохранённые изменения не удаётся записать в папку %1 (%2). "
                             "Работа продолжается, но после сбоя их не восстановить: "
                             "сохраняйте документ.")
        .arg(QFile::decodeName(QByteArray::fromStdString(error.folder)), reason(error.errorNumber));
}

QString journalDocumentName(const JournalRecord& record) {
    return record.path.isEmpty() ? QString::fromUtf8("(без имени)") : record.path;
}

QString restoreQuestion(const JournalRecord& record, bool documentNewer) {
    QString text = QString::fromUtf8("Найдены несохранённые изменения файла %1 от %2. ")
                       .arg(journalDocumentName(record), timeText(record));
    if (documentNewer) text += QString::fromUtf8("Файл на диске изменён позже. ");
    return text + QString::fromUtf8("Восстановить?");
}

QString deleteQuestion(const JournalRecord& record) {
    return QString::fromUtf8("Удалить несохранённые изменения файла %1 от %2? Если не "
                             "удалять, они будут предложены при следующем запуске.")
        .arg(journalDocumentName(record), timeText(record));
}

} // namespace journal
