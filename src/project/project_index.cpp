#include "project/project_index.h"

#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QSet>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "project/project_files.h"
#include "project/snapshot_builder.h"

namespace project {

// One thread makes the snapshots, one after another; requests that come while it works are
// gathered into the next one.
struct ProjectIndex::Worker {
    std::mutex lock;
    std::condition_variable wake;
    std::condition_variable idle;
    QString root;
    LiveTexts live;
    quint64 version = 0;
    bool pending = false;
    bool busy = false;
    bool stop = false;
    std::atomic<bool> stopping = false; // stop, seen by the build under way
    SnapshotPtr current = std::make_shared<Snapshot>();
    SnapshotBuilder builder; // the thread's alone
    std::thread thread;

    void request() {
        pending = true;
        wake.notify_one();
    }

    void run(ProjectIndex* owner) {
        std::unique_lock<std::mutex> held(lock);
        for (;;) {
            wake.wait(held, [&] { return stop || pending; });
            if (stop) return;
            pending = false;
            busy = true;
            const QString rootNow = root;
            const LiveTexts liveNow = live;
            held.unlock();
            SnapshotPtr made = builder.build(rootNow, liveNow, &stopping);
            held.lock();
            current = std::move(made);
            busy = false;
            if (!pending) idle.notify_all();
            QMetaObject::invokeMethod(
                owner,
                [owner] {
                    owner->watchFiles(*owner->Current());
                    emit owner->updated();
                },
                Qt::QueuedConnection);
        }
    }
};

ProjectIndex::ProjectIndex(QObject* parent) : QObject(parent), worker_(std::make_unique<Worker>()) {
    worker_->thread = std::thread([this] { worker_->run(this); });
}

void ProjectIndex::watchFiles(const Snapshot& snapshot) {
    if (watcher_ == nullptr) {
        // Made with the first snapshot announced, in the event loop that serves it.
        watcher_ = new QFileSystemWatcher(this);
        connect(watcher_, &QFileSystemWatcher::fileChanged, this, [this] { Refresh(); });
    }
    QSet<QString> wanted;
    for (const FileIndex& file : snapshot.files)
        if (!file.live && QFileInfo::exists(file.path)) wanted.insert(file.path);
    for (const BibFile& bib : snapshot.bibs)
        if (QFileInfo::exists(bib.path)) wanted.insert(bib.path);
    const QStringList watched = watcher_->files();
    QStringList gone;
    for (const QString& path : watched)
        if (!wanted.remove(path)) gone << path;
    if (!gone.isEmpty()) watcher_->removePaths(gone);
    if (!wanted.isEmpty()) watcher_->addPaths(QStringList(wanted.begin(), wanted.end()));
}

ProjectIndex::~ProjectIndex() {
    {
        std::lock_guard<std::mutex> held(worker_->lock);
        worker_->stop = true;
        worker_->stopping = true;
        worker_->wake.notify_one();
    }
    worker_->thread.join();
}

void ProjectIndex::SetRoot(const QString& mainFile) {
    const QString root = mainFile.isEmpty() ? QString() : normalPath(mainFile);
    std::lock_guard<std::mutex> held(worker_->lock);
    if (root == worker_->root) return;
    worker_->root = root;
    worker_->request();
}

void ProjectIndex::SetLiveText(const QString& path, const QString& text) {
    const QString key = normalPath(path);
    std::lock_guard<std::mutex> held(worker_->lock);
    worker_->live[key] = LiveText{text, ++worker_->version};
    worker_->request();
}

void ProjectIndex::Forget(const QString& path) {
    const QString key = normalPath(path);
    std::lock_guard<std::mutex> held(worker_->lock);
    if (worker_->live.remove(key) > 0) worker_->request();
}

void ProjectIndex::Refresh() {
    std::lock_guard<std::mutex> held(worker_->lock);
    worker_->request();
}

SnapshotPtr ProjectIndex::Current() const {
    std::lock_guard<std::mutex> held(worker_->lock);
    return worker_->current;
}

void ProjectIndex::WaitForIdle() {
    std::unique_lock<std::mutex> held(worker_->lock);
    worker_->idle.wait(held, [&] { return !worker_->pending && !worker_->busy; });
}

} // namespace project
