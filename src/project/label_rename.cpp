#include "project/label_rename.h"

#include <QMap>
#include <algorithm>
#include <tuple>

namespace project {
namespace {

QString quoted(const QString& key) {
    return u'«' + key + u'»';
}

// A key's characters: no blank, brace, comma, comment or macro.
QString badCharacterOf(const QString& name) {
    for (const QChar c : name)
        if (c.isSpace() || QStringLiteral("{}[],%#\\~").contains(c)) return QString(c);
    return {};
}

bool usedAs(const Snapshot& snapshot, UseKind kind, const QString& key) {
    for (const FileIndex& file : snapshot.files)
        for (const Use& use : file.uses)
            if (use.kind == kind && use.key == key) return true;
    return false;
}

bool isCitationKey(const Snapshot& snapshot, const QString& key) {
    return snapshot.bibKeys.contains(key) || snapshot.bibItems.contains(key);
}

} // namespace

RenamePlan planRename(const Snapshot& snapshot, const QString& oldName, const QString& newName) {
    RenamePlan plan;
    const bool label =
        snapshot.labels.contains(oldName) || usedAs(snapshot, UseKind::Reference, oldName);
    plan.citation = !label && (isCitationKey(snapshot, oldName) ||
                               usedAs(snapshot, UseKind::Citation, oldName));
    if (oldName.isEmpty() || (!label && !plan.citation)) {
        plan.refusal = QStringLiteral("Метки или ключа %1 нет в проекте").arg(quoted(oldName));
        return plan;
    }
    if (newName.isEmpty()) {
        plan.refusal = QStringLiteral("Новое имя пусто");
        return plan;
    }
    if (const QString bad = badCharacterOf(newName); !bad.isEmpty()) {
        plan.refusal =
            QStringLiteral("В имени %1 недопустимый знак %2")
                .arg(quoted(newName), quoted(bad == u" " ? QStringLiteral("пробел") : bad));
        return plan;
    }
    if (newName == oldName) {
        plan.refusal = QStringLiteral("Новое имя то же, что и старое");
        return plan;
    }
    if (label ? snapshot.labels.contains(newName) : isCitationKey(snapshot, newName)) {
        plan.refusal = label ? QStringLiteral("Метка %1 уже есть в проекте").arg(quoted(newName))
                             : QStringLiteral("Ключ %1 уже есть в проекте").arg(quoted(newName));
        return plan;
    }

    QMap<QString, std::vector<Place>> byPath; // in the order of paths: a stable plan
    const auto add = [&](const QString& path, Place at) { byPath[path].push_back(at); };
    const UseKind kind = label ? UseKind::Reference : UseKind::Citation;
    for (const FileIndex& file : snapshot.files) {
        for (const Label& l : label ? file.labels : file.bibitems)
            if (l.key == oldName) add(file.path, l.at);
        for (const Use& use : file.uses)
            if (use.kind == kind && use.key == oldName) add(file.path, use.at);
    }
    if (!label) {
        for (const BibFile& bib : snapshot.bibs) {
            for (const BibEntry& entry : bib.entries) {
                if (entry.key != oldName) continue;
                if (entry.at.length == 0) {
                    plan.refusal = QStringLiteral("Ключ %1 в файле %2 не найден на своём месте")
                                       .arg(quoted(oldName), quoted(bib.path));
                    return plan;
                }
                add(bib.path, entry.at);
            }
        }
    }
    for (auto it = byPath.begin(); it != byPath.end(); ++it) {
        std::vector<Place>& places = it.value();
        std::sort(places.begin(), places.end(), [](const Place& a, const Place& b) {
            return std::tie(a.line, a.column) < std::tie(b.line, b.column);
        });
        plan.files.push_back(FileEdits{it.key(), std::move(places)});
    }
    return plan;
}

QString keyAt(const Snapshot& snapshot, int file, int line, int column) {
    if (file < 0 || static_cast<size_t>(file) >= snapshot.files.size()) return {};
    const FileIndex& index = snapshot.files[static_cast<size_t>(file)];
    const auto covers = [&](const Place& at) {
        return at.line == line && column >= at.column && column <= at.column + at.length;
    };
    for (const Label& l : index.labels)
        if (covers(l.at)) return l.key;
    for (const Label& l : index.bibitems)
        if (covers(l.at)) return l.key;
    for (const Use& use : index.uses)
        if ((use.kind == UseKind::Reference || use.kind == UseKind::Citation) && covers(use.at))
            return use.key;
    return {};
}

} // namespace project
