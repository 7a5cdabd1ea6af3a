#include "project/snapshot_builder.h"

#include <QFileInfo>
#include <QSet>
#include <functional>

#include "project/bib_reader.h"
#include "project/project_checks.h"
#include "project/project_files.h"
#include "project/tex_scanner.h"

namespace project {
namespace {

// The file's index with every place pointing at its number in the snapshot.
FileIndex numbered(const FileIndex& index, int file) {
    FileIndex copy = index;
    for (Heading& h : copy.headings)
        h.at.file = file;
    for (Float& f : copy.floats)
        f.at.file = file;
    for (Label& l : copy.labels)
        l.at.file = file;
    for (Label& l : copy.bibitems)
        l.at.file = file;
    for (Use& u : copy.uses)
        u.at.file = file;
    for (Definition& d : copy.definitions)
        d.at.file = file;
    return copy;
}

class Walk {
  public:
    Walk(Snapshot& snapshot, std::vector<MissingTarget>& missing,
         std::function<std::shared_ptr<const FileIndex>(const QString&)> tex,
         std::function<std::shared_ptr<const BibFile>(const QString&)> bib)
        : snapshot_(snapshot), missing_(missing), tex_(std::move(tex)), bib_(std::move(bib)) {}

    void visit(const QString& path, const QString& base) {
        if (seen_.contains(path)) return; // a file read again, or a circle: followed once
        seen_.insert(path);
        const std::shared_ptr<const FileIndex> index = tex_(path);
        const int number = static_cast<int>(snapshot_.files.size());
        snapshot_.files.push_back(numbered(*index, number));
        snapshot_.files.back().path = path;
        snapshot_.fileNumbers.insert(path, number);
        // The uses are copied: the vector of files grows while the children are visited.
        const std::vector<Use> uses = snapshot_.files.back().uses;
        for (const Use& use : uses) {
            switch (use.kind) {
            case UseKind::Input:
                input(use, base);
                break;
            case UseKind::Bibliography:
                bibliography(use);
                break;
            default:
                break;
            }
        }
    }

    QString rootFolder;

  private:
    void input(const Use& use, const QString& base) {
        QString folder = base;
        if (use.command == QLatin1String("import") || use.command == QLatin1String("inputfrom") ||
            use.command == QLatin1String("includefrom")) {
            folder = folderOf(rootFolder, use.folder);
        } else if (!use.folder.isEmpty()) {
            folder = folderOf(base, use.folder);
        }
        const bool include = use.command.startsWith(QLatin1String("include")) ||
                             use.command.startsWith(QLatin1String("subinclude"));
        const QString path = normalPath(texFileOf(folder, use.key, include));
        visit(path, folder);
        const int number = snapshot_.FileIndexOf(path);
        if (number >= 0 && snapshot_.files[static_cast<size_t>(number)].note == missingNote())
            missing_.push_back({use.at, use.key});
    }

    void bibliography(const Use& use) {
        const QString path = normalPath(
            bibFileOf(rootFolder, use.key, use.command == QLatin1String("bibliography")));
        if (bibsSeen_.contains(path)) return;
        bibsSeen_.insert(path);
        const std::shared_ptr<const BibFile> bib = bib_(path);
        if (bib->note == missingNote()) missing_.push_back({use.at, use.key});
        const int number = static_cast<int>(snapshot_.bibs.size());
        snapshot_.bibs.push_back(*bib);
        for (BibEntry& entry : snapshot_.bibs.back().entries)
            entry.at.file = number;
    }

    Snapshot& snapshot_;
    std::vector<MissingTarget>& missing_;
    std::function<std::shared_ptr<const FileIndex>(const QString&)> tex_;
    std::function<std::shared_ptr<const BibFile>(const QString&)> bib_;
    QSet<QString> seen_;
    QSet<QString> bibsSeen_;
};

} // namespace

std::shared_ptr<const FileIndex> SnapshotBuilder::texFile(const QString& path,
                                                          const LiveTexts& live) {
    const auto open = live.constFind(path);
    CachedTex& cached = tex_[path];
    if (open != live.constEnd()) {
        if (!cached.index || !cached.live || cached.version != open->version) {
            auto index = std::make_shared<FileIndex>(scanTex(open->text));
            index->live = true;
            cached = CachedTex{{}, true, open->version, std::move(index)};
        }
        return cached.index;
    }
    const platform::FileStamp stamp = platform::fileStampOf(path);
    if (!cached.index || cached.live || cached.stamp != stamp) {
        SourceText source = readSource(path);
        auto index =
            std::make_shared<FileIndex>(source.note.isEmpty() ? scanTex(source.text) : FileIndex{});
        index->note = source.note;
        cached = CachedTex{stamp, false, 0, std::move(index)};
    }
    return cached.index;
}

std::shared_ptr<const BibFile> SnapshotBuilder::bibFile(const QString& path,
                                                        const std::atomic<bool>* cancel) {
    const platform::FileStamp stamp = platform::fileStampOf(path);
    CachedBib& cached = bibs_[path];
    if (!cached.bib || cached.stamp != stamp)
        cached = CachedBib{stamp, std::make_shared<BibFile>(readBib(path, cancel))};
    std::shared_ptr<const BibFile> bib = cached.bib;
    if (cancel != nullptr && *cancel) bibs_.remove(path); // read in part: not kept
    return bib;
}

SnapshotPtr SnapshotBuilder::build(const QString& root, const LiveTexts& live,
                                   const std::atomic<bool>* cancel) {
    auto snapshot = std::make_shared<Snapshot>();
    snapshot->root = root;
    if (root.isEmpty()) return snapshot;
    std::vector<MissingTarget> missing;
    QSet<QString> usedTex;
    QSet<QString> usedBibs;
    Walk walk(
        *snapshot, missing,
        [&](const QString& path) {
            usedTex.insert(path);
            return texFile(path, live);
        },
        [&](const QString& path) {
            usedBibs.insert(path);
            return bibFile(path, cancel);
        });
    walk.rootFolder = QFileInfo(root).absolutePath();
    walk.visit(root, walk.rootFolder);
    // What the tree no longer reaches is not kept.
    tex_.removeIf([&](auto it) { return !usedTex.contains(it.key()); });
    bibs_.removeIf([&](auto it) { return !usedBibs.contains(it.key()); });
    completeSnapshot(*snapshot, missing);
    return snapshot;
}

} // namespace project
