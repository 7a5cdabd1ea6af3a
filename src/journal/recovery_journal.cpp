#include "journal/recovery_journal.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <system_error>

namespace journal {
namespace {

std::int64_t nowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

} // namespace

RecoveryJournal::RecoveryJournal(std::string folder, ErrorHandler onError)
    : store_(std::move(folder)), onError_(std::move(onError)) {}

RecoveryJournal::~RecoveryJournal() {
    stopWriter(true);
}

void RecoveryJournal::report(int errorNumber) {
    if (!reported_.exchange(true) && onError_) onError_(JournalError{errorNumber, store_.folder()});
}

std::optional<JournalId> RecoveryJournal::takeOver(const OrphanJournal& orphan) {
    JournalId id;
    int error = store_.takeOver(orphan, id);
    if (error == 0) return id;
    // Taken by another editor (gone, or its lock held just now): not a failure to show.
    if (error != ENOENT && error != EBUSY && error != EINVAL) report(error);
    return std::nullopt;
}

void RecoveryJournal::settle(std::unique_lock<std::mutex>& lock, JournalId id) {
    std::erase_if(queue_, [id](const auto& entry) { return entry.first == id; });
    settled_.wait(lock, [&] { return writing_ != id; });
}

void RecoveryJournal::release(JournalId id) {
    std::unique_lock lock(mutex_);
    settle(lock, id);
    int error = store_.release(id);
    lock.unlock();
    if (error != 0 && error != EINVAL) report(error);
}

void RecoveryJournal::remove(JournalId id) {
    std::unique_lock lock(mutex_);
    settle(lock, id);
    int error = store_.remove(id);
    lock.unlock();
    if (error != 0) report(error);
}

void RecoveryJournal::submit(JournalId id, JournalSnapshot snapshot) {
    bool running = true;
    {
        std::lock_guard lock(mutex_);
        auto queued = std::find_if(queue_.begin(), queue_.end(),
                                   [id](const auto& entry) { return entry.first == id; });
        if (queued != queue_.end())
            queued->second = std::move(snapshot);
        else
            queue_.emplace_back(id, std::move(snapshot));
        if (!writer_.joinable()) {
            try {
                writer_ = std::thread(&RecoveryJournal::writeLoop, this);
            } catch (const std::system_error&) {
                queue_.clear();
                running = false;
            }
        }
    }
    if (running)
        wake_.notify_one();
    else
        report(EAGAIN);
}

void RecoveryJournal::flush() {
    std::unique_lock lock(mutex_);
    settled_.wait(lock, [&] { return queue_.empty() && !writing_; });
}

void RecoveryJournal::endSession() {
    stopWriter(false);
    if (int error = store_.endSession()) report(error);
}

void RecoveryJournal::stopWriter(bool writePending) {
    {
        std::lock_guard lock(mutex_);
        if (!writePending) queue_.clear();
        stop_ = true;
    }
    wake_.notify_all();
    settled_.notify_all();
    if (writer_.joinable()) writer_.join();
    std::lock_guard lock(mutex_);
    stop_ = false; // a later submit starts the writer again
}

void RecoveryJournal::writeLoop() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [&] { return stop_ || !queue_.empty(); });
        if (queue_.empty()) return;
        auto [id, snapshot] = std::move(queue_.front());
        queue_.erase(queue_.begin());
        writing_ = id;
        lock.unlock();
        int error = 0;
        {
            JournalRecord record{std::move(snapshot.path), snapshot.encoding,
                                 snapshot.layout,          nowMs(),
                                 snapshot.caret,           snapshot.text.toStdString()};
            error = store_.write(id, record);
        }
        if (error != 0) report(error);
        lock.lock();
        writing_.reset();
        settled_.notify_all();
    }
}

} // namespace journal
