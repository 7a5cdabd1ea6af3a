#include "project/definitions.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace project {
namespace {

QString pathOf(const Snapshot& snapshot, int file) {
    if (file < 0 || file >= static_cast<int>(snapshot.files.size())) return {};
    return snapshot.files[static_cast<size_t>(file)].path;
}

Destination destination(const QString& path, const Place& at) {
    return {path, at.line, at.column, at.length};
}

} // namespace

QString fileNamed(const Snapshot& snapshot, const QString& name, ArgumentKind kind) {
    if (name.isEmpty() || snapshot.root.isEmpty()) return {};
    const QDir folder = QFileInfo(snapshot.root).absoluteDir();
    const QString given = QDir::cleanPath(folder.absoluteFilePath(name));
    const QString added =
        kind == ArgumentKind::Bibliography ? QStringLiteral(".bib") : QStringLiteral(".tex");
    // TeX tries the name with the extension first, then as written.
    for (const QString& candidate : {given + added, given})
        if (QFileInfo(candidate).isFile()) return candidate;
    return {};
}

std::optional<Destination> definitionOf(const Snapshot& snapshot, const PositionTarget& target) {
    if (target.IsCommand()) {
        const auto found = snapshot.definitions.constFind(u'\\' + target.command);
        if (found == snapshot.definitions.constEnd()) return std::nullopt;
        return destination(pathOf(snapshot, found->file), *found);
    }
    switch (target.kind) {
    case ArgumentKind::Reference:
    case ArgumentKind::Label: {
        const auto found = snapshot.labels.constFind(target.key);
        if (found == snapshot.labels.constEnd() || found->empty()) return std::nullopt;
        return destination(pathOf(snapshot, found->front().file), found->front());
    }
    case ArgumentKind::Citation: {
        // A \bibitem of the text, else the .bib entry.
        const auto item = snapshot.bibItems.constFind(target.key);
        if (item != snapshot.bibItems.constEnd())
            return destination(pathOf(snapshot, item->file), *item);
        const auto found = snapshot.bibKeys.constFind(target.key);
        if (found == snapshot.bibKeys.constEnd() || found->bib < 0 ||
            found->bib >= static_cast<int>(snapshot.bibs.size()))
            return std::nullopt;
        const BibFile& bib = snapshot.bibs[static_cast<size_t>(found->bib)];
        if (found->entry < 0 || found->entry >= static_cast<int>(bib.entries.size()))
            return std::nullopt;
        return destination(bib.path, bib.entries[static_cast<size_t>(found->entry)].at);
    }
    case ArgumentKind::Input:
    case ArgumentKind::Bibliography: {
        const QString path = fileNamed(snapshot, target.key, target.kind);
        if (path.isEmpty()) return std::nullopt;
        return Destination{path, 0, 0, 0};
    }
    case ArgumentKind::Environment: {
        const auto found = snapshot.definitions.constFind(target.key);
        if (found == snapshot.definitions.constEnd()) return std::nullopt;
        return destination(pathOf(snapshot, found->file), *found);
    }
    case ArgumentKind::Graphics:
    case ArgumentKind::None:
        break;
    }
    return std::nullopt;
}

std::vector<Destination> referencesOf(const Snapshot& snapshot, const QString& key) {
    std::vector<Destination> found;
    if (key.isEmpty()) return found;
    for (const FileIndex& file : snapshot.files) {
        const size_t first = found.size();
        for (const std::vector<Label>* defined : {&file.labels, &file.bibitems})
            for (const Label& label : *defined)
                if (label.key == key) found.push_back(destination(file.path, label.at));
        for (const Use& use : file.uses)
            if ((use.kind == UseKind::Reference || use.kind == UseKind::Citation) && use.key == key)
                found.push_back(destination(file.path, use.at));
        std::sort(found.begin() + static_cast<std::ptrdiff_t>(first), found.end(),
                  [](const Destination& a, const Destination& b) {
                      return a.line != b.line ? a.line < b.line : a.column < b.column;
                  });
    }
    const auto entry = snapshot.bibKeys.constFind(key);
    if (entry != snapshot.bibKeys.constEnd() && entry->bib >= 0 &&
        entry->bib < static_cast<int>(snapshot.bibs.size())) {
        const BibFile& bib = snapshot.bibs[static_cast<size_t>(entry->bib)];
        if (entry->entry >= 0 && entry->entry < static_cast<int>(bib.entries.size()))
            found.push_back(
                destination(bib.path, bib.entries[static_cast<size_t>(entry->entry)].at));
    }
    return found;
}

} // namespace project
