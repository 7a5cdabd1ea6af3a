#pragma once
// The project index: from the current document's main file it follows the tree of files
// TeX would read (\input, \include, \subfile, \import, \bibliography, \addbibresource,
// \includegraphics) and indexes each of them in the background, each in its own encoding.
// Open documents are indexed from their live text; files changed on disk are read again (the
// files of the latest snapshot are watched).
// It never writes a file.
#include <QObject>
#include <QString>
#include <memory>

#include "project/project_model.h"

class QFileSystemWatcher;

namespace project {

class ProjectIndex final : public QObject {
    Q_OBJECT

  public:
    explicit ProjectIndex(QObject* parent = nullptr);
    ~ProjectIndex() override;

    // The root of the tree: the main file of the document shown (its status file's main
    // file, else its "% !TeX root = FILE", else the document itself).
    void SetRoot(const QString& mainFile);
    // An open document's text, which stands for its file on disk until Forget.
    void SetLiveText(const QString& path, const QString& text);
    void Forget(const QString& path);
    // Looks again at the files on disk (a document was saved, a file changed).
    void Refresh();

    // The latest complete snapshot (never null; empty before the first one).
    SnapshotPtr Current() const;
    // Waits for the indexing under way (tests and benchmarks; the window never waits).
    void WaitForIdle();

  signals:
    // A newer snapshot is current.
    void updated();

  private:
    // Watches the files of the latest snapshot: a change on disk makes the next one.
    void watchFiles(const Snapshot& snapshot);

    struct Worker;
    std::unique_ptr<Worker> worker_;
    QFileSystemWatcher* watcher_ = nullptr;
};

} // namespace project
