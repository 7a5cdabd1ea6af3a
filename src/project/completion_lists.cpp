#include "project/completion_lists.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QSet>
#include <algorithm>

namespace project {
namespace {

// The name of an entry of the editor's command list: "\\frac{}{}" gives "\\frac".
QString commandName(const QString& entry) {
    if (!entry.startsWith(u'\\')) return {};
    int end = 1;
    while (end < entry.size() && entry[end].isLetter())
        ++end;
    if (end < entry.size() && entry[end] == u'*') ++end;
    return end > 1 ? entry.left(end) : QString();
}

void add(std::vector<Candidate>& list, QSet<QString>& seen, const QString& text,
         const QString& detail = {}) {
    if (text.isEmpty() || seen.contains(text)) return;
    seen.insert(text);
    list.push_back({text, detail});
}

QString bibDetail(const BibEntry& entry) {
    QStringList parts;
    if (!entry.author.isEmpty()) parts << entry.author.simplified();
    if (!entry.year.isEmpty()) parts << entry.year.simplified();
    if (!entry.title.isEmpty()) parts << entry.title.simplified();
    return parts.join(QStringLiteral(", "));
}

QString rootFolder(const Snapshot& snapshot) {
    return snapshot.root.isEmpty() ? QString() : QFileInfo(snapshot.root).absolutePath();
}

} // namespace

CompletionLists::CompletionLists(SnapshotPtr snapshot, NameSources names)
    : snapshot_(snapshot ? std::move(snapshot) : std::make_shared<const Snapshot>()),
      names_(std::move(names)) {}

const std::vector<Candidate>& CompletionLists::Of(CompletionKind kind) {
    const std::lock_guard lock(mutexes_[static_cast<size_t>(kind)]);
    auto& list = lists_[static_cast<size_t>(kind)];
    if (!list) list = make(kind);
    return *list;
}

void CompletionLists::Prepare() {
    for (CompletionKind kind : {CompletionKind::Label, CompletionKind::Citation,
                                CompletionKind::Command, CompletionKind::Environment})
        (void)Of(kind);
}

std::vector<Candidate> CompletionLists::make(CompletionKind kind) const {
    const Snapshot& snapshot = *snapshot_;
    std::vector<Candidate> list;
    QSet<QString> seen;
    switch (kind) {
    case CompletionKind::None:
        break;
    case CompletionKind::Command:
        for (const FileIndex& file : snapshot.files)
            for (const Definition& definition : file.definitions)
                if (!definition.environment)
                    add(list, seen, definition.name, QFileInfo(file.path).fileName());
        for (const QString& entry : names_.editorCommands)
            add(list, seen, commandName(entry));
        for (const QString& name : names_.packageCommands)
            add(list, seen, name);
        break;
    case CompletionKind::Environment:
        for (const FileIndex& file : snapshot.files)
            for (const Definition& definition : file.definitions)
                if (definition.environment)
                    add(list, seen, definition.name, QFileInfo(file.path).fileName());
        for (const QString& name : names_.editorEnvironments)
            add(list, seen, name.trimmed());
        for (const QString& name : names_.packageEnvironments)
            add(list, seen, name);
        break;
    case CompletionKind::Label:
        for (const FileIndex& file : snapshot.files)
            for (const Label& label : file.labels)
                add(list, seen, label.key, label.context.simplified());
        break;
    case CompletionKind::Citation:
        for (const BibFile& bib : snapshot.bibs)
            for (const BibEntry& entry : bib.entries)
                add(list, seen, entry.key, bibDetail(entry));
        for (const FileIndex& file : snapshot.files)
            for (const Label& item : file.bibitems)
                add(list, seen, item.key,
                    QStringLiteral("\\bibitem, ") + QFileInfo(file.path).fileName());
        break;
    case CompletionKind::InputFile:
        for (const QString& name : filesUnder(rootFolder(snapshot), {QStringLiteral("tex")}, true))
            add(list, seen, name);
        break;
    case CompletionKind::GraphicsFile:
        for (const QString& name :
             filesUnder(rootFolder(snapshot),
                        {QStringLiteral("png"), QStringLiteral("jpg"), QStringLiteral("jpeg"),
                         QStringLiteral("pdf"), QStringLiteral("eps"), QStringLiteral("svg")},
                        false))
            add(list, seen, name);
        break;
    case CompletionKind::BibliographyFile:
        for (const QString& name : filesUnder(rootFolder(snapshot), {QStringLiteral("bib")}, false))
            add(list, seen, name);
        break;
    }
    std::stable_sort(list.begin(), list.end(), [](const Candidate& a, const Candidate& b) {
        return QString::compare(a.text, b.text, Qt::CaseInsensitive) < 0;
    });
    return list;
}

std::vector<int> narrowCandidates(const std::vector<Candidate>& candidates, QStringView typed) {
    std::vector<int> starts;
    std::vector<int> holds;
    const QStringView inner = typed.startsWith(u'\\') ? typed.mid(1) : typed;
    for (int i = 0; i < static_cast<int>(candidates.size()); ++i) {
        const QString& text = candidates[static_cast<size_t>(i)].text;
        if (text.startsWith(typed, Qt::CaseInsensitive))
            starts.push_back(i);
        else if (!inner.isEmpty() && text.contains(inner, Qt::CaseInsensitive))
            holds.push_back(i);
    }
    starts.insert(starts.end(), holds.begin(), holds.end());
    return starts;
}

QStringList filesUnder(const QString& folder, const QStringList& suffixes, bool dropSuffix,
                       int limit) {
    QStringList names;
    if (folder.isEmpty()) return names;
    const QDir base(folder);
    QDirIterator it(folder, QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    int seen = 0;
    while (it.hasNext() && seen++ < limit * 4) {
        const QFileInfo info = it.nextFileInfo();
        const QString relative = base.relativeFilePath(info.filePath());
        if (relative.startsWith(u'.') || relative.contains(QStringLiteral("/."))) continue;
        if (!suffixes.contains(info.suffix(), Qt::CaseInsensitive)) continue;
        names << (dropSuffix ? relative.left(relative.size() - info.suffix().size() - 1)
                             : relative);
        if (names.size() >= limit) break;
    }
    return names;
}

} // namespace project
