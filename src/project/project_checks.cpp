#include "project/project_checks.h"

#include <QFileInfo>
#include <algorithm>
#include <tuple>

namespace project {
namespace {

QString quoted(const QString& key) {
    return u'«' + key + u'»';
}

QString placeName(const Snapshot& snapshot, const Place& at) {
    return QStringLiteral("%1, строка %2")
        .arg(QFileInfo(snapshot.files[static_cast<size_t>(at.file)].path).fileName())
        .arg(at.line + 1);
}

void addLookups(Snapshot& snapshot) {
    for (const FileIndex& file : snapshot.files) {
        for (const Label& label : file.labels)
            snapshot.labels[label.key].push_back(label.at);
        for (const Label& item : file.bibitems)
            if (!snapshot.bibItems.contains(item.key)) snapshot.bibItems.insert(item.key, item.at);
        for (const Definition& definition : file.definitions)
            if (!snapshot.definitions.contains(definition.name))
                snapshot.definitions.insert(definition.name, definition.at);
    }
    for (size_t b = 0; b < snapshot.bibs.size(); ++b) {
        const auto& entries = snapshot.bibs[b].entries;
        for (size_t e = 0; e < entries.size(); ++e)
            if (!snapshot.bibKeys.contains(entries[e].key))
                snapshot.bibKeys.insert(entries[e].key,
                                        BibRef{static_cast<int>(b), static_cast<int>(e)});
    }
}

void addLabelProblems(Snapshot& snapshot) {
    for (auto it = snapshot.labels.cbegin(); it != snapshot.labels.cend(); ++it) {
        const std::vector<Place>& places = it.value();
        if (places.size() < 2 || !checkableKey(it.key())) continue;
        const QString times = places.size() == 2 ? QStringLiteral("дважды")
                                                 : QStringLiteral("%1 раз").arg(places.size());
        for (size_t i = 0; i < places.size(); ++i) {
            const Place& other = places[i == 0 ? 1 : 0];
            snapshot.problems.push_back(
                Problem{ProblemKind::DuplicateLabel, places[i],
                        QStringLiteral("Метка %1 определена %2 (ещё: %3)")
                            .arg(quoted(it.key()), times, placeName(snapshot, other))});
        }
    }
}

// A .bib file that could not be read may hold any key: citations are then not checked.
bool allBibsRead(const Snapshot& snapshot) {
    return std::all_of(snapshot.bibs.begin(), snapshot.bibs.end(), [](const BibFile& bib) {
        return bib.note.isEmpty() || !QFileInfo::exists(bib.path);
    });
}

void addUseProblems(Snapshot& snapshot) {
    const bool checkCitations = allBibsRead(snapshot);
    for (const FileIndex& file : snapshot.files) {
        for (const Use& use : file.uses) {
            if (!checkableKey(use.key)) continue;
            if (use.kind == UseKind::Reference && !snapshot.labels.contains(use.key)) {
                snapshot.problems.push_back(
                    Problem{ProblemKind::UndefinedReference, use.at,
                            QStringLiteral("Метка %1 нигде не определена").arg(quoted(use.key))});
            } else if (use.kind == UseKind::Citation && checkCitations &&
                       !snapshot.bibKeys.contains(use.key) &&
                       !snapshot.bibItems.contains(use.key)) {
                snapshot.problems.push_back(Problem{
                    ProblemKind::UnknownCitation, use.at,
                    QStringLiteral("Ключа %1 нет ни в одном файле .bib").arg(quoted(use.key))});
            }
        }
    }
}

} // namespace

bool checkableKey(const QString& key) {
    return !key.isEmpty() && !key.contains(u'\\') && !key.contains(u'#');
}

void completeSnapshot(Snapshot& snapshot, const std::vector<MissingTarget>& missing) {
    addLookups(snapshot);
    addLabelProblems(snapshot);
    addUseProblems(snapshot);
    for (const MissingTarget& target : missing)
        snapshot.problems.push_back(
            Problem{ProblemKind::MissingFile, target.at,
                    QStringLiteral("Нет файла %1").arg(quoted(target.name))});
    std::sort(snapshot.problems.begin(), snapshot.problems.end(),
              [](const Problem& a, const Problem& b) {
                  return std::tie(a.at.file, a.at.line, a.at.column) <
                         std::tie(b.at.file, b.at.line, b.at.column);
              });
}

} // namespace project
