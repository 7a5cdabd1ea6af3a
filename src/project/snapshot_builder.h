#pragma once
// Makes a snapshot of a project: follows the tree of files from the root in the order TeX
// reads them, each file once (a circle of includes is followed once round), and keeps what it
// read of each file for the next snapshot: a file whose stamp has not changed is not read
// again, an open document's text is scanned again only when it has changed.
#include <QHash>
#include <QString>
#include <atomic>
#include <memory>

#include "platform/file_stamp.h"
#include "project/project_model.h"

namespace project {

// An open document's text; version grows with every change.
struct LiveText {
    QString text;
    quint64 version = 0;
};
// By normalPath.
using LiveTexts = QHash<QString, LiveText>;

class SnapshotBuilder {
  public:
    // Once *cancel is set the build ends early; what it made is then of no use.
    SnapshotPtr build(const QString& root, const LiveTexts& live,
                      const std::atomic<bool>* cancel = nullptr);

  private:
    struct CachedTex {
        platform::FileStamp stamp;
        bool live = false;
        quint64 version = 0;
        std::shared_ptr<const FileIndex> index;
    };
    struct CachedBib {
        platform::FileStamp stamp;
        std::shared_ptr<const BibFile> bib;
    };

    std::shared_ptr<const FileIndex> texFile(const QString& path, const LiveTexts& live);
    std::shared_ptr<const BibFile> bibFile(const QString& path, const std::atomic<bool>* cancel);

    QHash<QString, CachedTex> tex_;
    QHash<QString, CachedBib> bibs_;
};

} // namespace project
