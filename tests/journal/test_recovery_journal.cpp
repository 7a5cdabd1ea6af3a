#include <gtest/gtest.h>

#include <QString>
#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <filesystem>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "journal/journal_format.h"
#include "journal/journal_store.h"
#include "journal/recovery_journal.h"
#include "platform/codepage.h"
#include "support/text.h"

extern char** environ;

namespace fs = std::filesystem;
using namespace journal;
using support::cp1251;
using support::readBytes;
using support::writeBytes;

namespace {

JournalRecord record(const QString& path, const std::string& text, int caret = 0) {
    return JournalRecord{path, platform::TextEncoding::Cp866, {}, 1714566896789, caret, text};
}

JournalSnapshot snapshot(const char* path, int caret, const std::string& text) {
    return {QString::fromUtf8(path),
            platform::TextEncoding::Utf8,
            {},
            caret,
            QString::fromStdString(text)};
}

// Every test works in its own folder, and so does anything that looks at XDG_STATE_HOME.
class Journal : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "kolbax-journal-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        root_ = pattern;
        folder_ = (root_ / "kolbax").string();
        ::setenv("XDG_STATE_HOME", root_.c_str(), 1);
    }
    void TearDown() override { fs::remove_all(root_); }

    std::vector<std::string> files() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder_))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path root_;
    std::string folder_;
};

} // namespace

TEST(JournalFormat, EveryFieldRoundTrips) {
    EXPECT_EQ(crc32("123456789"), 0xCBF43926u);
    EXPECT_EQ(isoTimeUtc(1714566896789), "2024-05-01T12:34:56.789Z");
    EXPECT_EQ(parseIsoTimeUtc("2000-02-29T23:59:59.999Z"), 951868799999);

    std::string everyCharacter;
    for (char32_t c = 1; c < 0x800; ++c)
        everyCharacter += QString::fromUcs4(&c, 1).toStdString();
    everyCharacter += "😀\n\r";
    // A name may hold a line break, "%", and any character at all.
    JournalRecord named{QStringLiteral("/home/u/статья ёЁ α 😀\n%41\u0098\u007F.bib"),
                        platform::TextEncoding::Koi8r,
                        {true, platform::LineEnd::Cr, false, 3},
                        951868799999,
                        INT_MAX,
                        everyCharacter};
    JournalRecord untitled{"", platform::TextEncoding::Cp866, {}, 0, 0, ""};
    for (const JournalRecord& original : {named, untitled}) {
        std::string bytes = serializeJournal(original);
        EXPECT_EQ(parseJournal(bytes), original);
    }
    // The header is readable text: the name in UTF-8, the time in UTC.
    std::string bytes = serializeJournal(named);
    EXPECT_NE(bytes.find("path /home/u/статья ёЁ α 😀%0A%2541\xC2\x98%7F.bib\n"), std::string::npos);
    EXPECT_NE(bytes.find("encoding koi8-r\nlayout cr 0 1 3\nwritten 2000-02-29T23:59:59.999Z\n"
                         "caret 2147483647\n"),
              std::string::npos);
}

// Journals an earlier editor left (CP1251 text with CR LF breaks, no layout) are offered
// back as well.
TEST(JournalFormat, FirstFormJournalsAreRead) {
    const std::string text = cp1251("Ёж\r\nи $x$");
    std::string body = "KolBAX journal 1\npath /home/u/статья.tex\nencoding cp866\n"
                       "written 2024-05-01T12:34:56.789Z\ncaret 3\ntext " +
                       std::to_string(text.size()) + "\n" + text + "\n";
    char check[32];
    std::snprintf(check, sizeof check, "crc32 %08x\n", crc32(body));
    const auto read = parseJournal(body + check);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->path, QStringLiteral("/home/u/статья.tex"));
    EXPECT_EQ(read->text, "Ёж\nи $x$");
    EXPECT_EQ(read->caret, 3);
}

TEST(JournalFormat, DamagedOrForeignFilesAreRefused) {
    std::string bytes = serializeJournal(record("/a.tex", "\\documentclass{article}\r\n", 3));
    for (size_t length = 0; length < bytes.size(); ++length)
        EXPECT_FALSE(parseJournal(bytes.substr(0, length))) << length;
    for (size_t i = 0; i < bytes.size(); ++i) {
        std::string flipped = bytes;
        flipped[i] ^= 0x04;
        EXPECT_FALSE(parseJournal(flipped)) << i;
    }
    EXPECT_FALSE(parseJournal(bytes + "\n"));

    // Well-formed, checked, and still not a journal this program can take.
    auto withCheck = [](std::string body) {
        char check[32];
        std::snprintf(check, sizeof check, "crc32 %08x\n", crc32(body));
        return body + check;
    };
    std::string body = bytes.substr(0, bytes.find("crc32 "));
    EXPECT_TRUE(parseJournal(withCheck(body)));
    auto replaced = [&](const std::string& from, const std::string& to) {
        std::string changed = body;
        changed.replace(changed.find(from), from.size(), to);
        return withCheck(changed);
    };
    EXPECT_FALSE(parseJournal(replaced("journal 2", "journal 3")));
    EXPECT_FALSE(parseJournal(replaced("2024-05-01", "2023-02-29")));
    EXPECT_FALSE(parseJournal(replaced("caret 3", "caret 03")));
    EXPECT_FALSE(parseJournal(replaced("caret 3", "caret 2147483648")));
    EXPECT_FALSE(parseJournal(replaced("cp866", "koi8")));
    EXPECT_FALSE(parseJournal(replaced("/a.tex", "/\xE4\xB8.tex"))); // not UTF-8
    EXPECT_FALSE(parseJournal(replaced("layout crlf 1 0 0", "layout crlf 1 0 01")));
    EXPECT_FALSE(parseJournal(replaced("layout crlf 1 0 0", "layout lfcr 1 0 0")));
    EXPECT_FALSE(parseJournal(replaced("/a.tex", "/a%00.tex")));
}

TEST_F(Journal, TornWriteLeavesThePreviousJournalToRestore) {
    std::string journalFile, tornJournal;
    {
        JournalStore crashed(folder_);
        JournalId id = crashed.newId();
        ASSERT_EQ(crashed.write(id, record("/doc.tex", "first text", 5)), 0);
        journalFile = crashed.filePath(id);
        // The process died while writing the next version: half a temporary file.
        std::string next = serializeJournal(record("/doc.tex", "second text"));
        // Appended rather than "." + name: GCC 12 takes that for an overlapping copy.
        std::string temporaryName(1, '.');
        temporaryName.append(fs::path(journalFile).filename().string()).append(".a1B2c3");
        writeBytes(fs::path(folder_) / temporaryName, next.substr(0, next.size() / 2));
        // Another journal torn in place (a file system that reordered the writes).
        JournalId other = crashed.newId();
        ASSERT_EQ(crashed.write(other, record("/other.tex", "other")), 0);
        tornJournal = crashed.filePath(other);
        fs::resize_file(tornJournal, fs::file_size(tornJournal) - 3);
    } // the lock goes with the store, as with an ended process

    JournalStore next(folder_);
    std::vector<OrphanJournal> orphans = next.listOrphans();
    ASSERT_EQ(orphans.size(), 1u);
    EXPECT_EQ(orphans[0].record, record("/doc.tex", "first text", 5));
    // The ended session's temporary file is cleared; the torn journal is kept as it is.
    EXPECT_TRUE(fs::exists(tornJournal));
    EXPECT_EQ(files().size(), 3u); // two journals and the lock of the ended session

    JournalId taken;
    ASSERT_EQ(next.takeOver(orphans[0], taken), 0);
    EXPECT_FALSE(fs::exists(journalFile));
    EXPECT_EQ(parseJournal(readBytes(next.filePath(taken))), orphans[0].record);
}

TEST_F(Journal, ForeignAndCorruptFilesAreIgnoredAndKept) {
    {
        JournalStore ended(folder_);
        ASSERT_EQ(ended.write(ended.newId(), record("/kept.tex", "text")), 0);
    }
    fs::path folder(folder_);
    std::string valid = serializeJournal(record("/x.tex", "x"));
    writeBytes(folder / "notes.txt", valid);
    writeBytes(folder / "12-0123456789abcdef-1.journal", "garbage");
    writeBytes(folder / "12-0123456789ABCDEF-2.journal", valid); // not a name this program makes
    writeBytes(folder / ".12-0123456789abcdef-3.journal.tmp", valid);
    fs::create_directory(folder / "12-0123456789abcdef-4.journal");
    fs::create_symlink(folder / "notes.txt", folder / "12-0123456789abcdef-5.journal");
    ASSERT_EQ(::mkfifo((folder / "12-0123456789abcdef-6.journal").c_str(), 0600), 0);
    writeBytes(folder / "12-0123456789abcdef.lock", "");
    std::vector<std::string> before = files();

    JournalStore store(folder_);
    std::vector<OrphanJournal> orphans = store.listOrphans();
    ASSERT_EQ(orphans.size(), 1u);
    EXPECT_EQ(orphans[0].record.path, "/kept.tex");
    EXPECT_EQ(files(), before);
}

TEST_F(Journal, LiveOwnerHidesItsJournalsAndAKilledOwnersAreOffered) {
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    pid_t owner = ::fork();
    if (owner == 0) {
        JournalStore store(folder_);
        JournalId id = store.newId();
        int error = store.write(id, record("/owned.tex", "typed"));
        // A program the editor started outlives it and must not keep its lock alive.
        pid_t program = 0;
        char sleep[] = "sleep", seconds[] = "60";
        char* argv[] = {sleep, seconds, nullptr};
        if (error == 0) error = ::posix_spawnp(&program, "sleep", nullptr, nullptr, argv, environ);
        pid_t message[2] = {error == 0 ? program : -1, 0};
        if (::write(ready[1], message, sizeof message) < 0) _exit(2);
        ::pause();
        _exit(0);
    }
    ::close(ready[1]);
    pid_t message[2] = {};
    ASSERT_EQ(::read(ready[0], message, sizeof message), static_cast<ssize_t>(sizeof message));
    ::close(ready[0]);
    pid_t program = message[0];
    ASSERT_GT(program, 0);

    JournalStore other(folder_);
    ASSERT_EQ(other.write(other.newId(), record("/mine.tex", "mine")), 0);
    EXPECT_TRUE(other.listOrphans().empty());
    std::string ownersJournal = std::to_string(owner) + "-";
    OrphanJournal guessed;
    for (const std::string& name : files())
        if (name.starts_with(ownersJournal) && name.ends_with(".journal")) guessed.fileName = name;
    ASSERT_FALSE(guessed.fileName.empty());
    JournalId id;
    EXPECT_EQ(other.takeOver(guessed, id), EBUSY);
    EXPECT_EQ(other.endSession(), 0);
    EXPECT_TRUE(fs::exists(fs::path(folder_) / guessed.fileName));

    ::kill(owner, SIGKILL);
    ::waitpid(owner, nullptr, 0);
    JournalStore next(folder_);
    std::vector<OrphanJournal> orphans = next.listOrphans();
    ::kill(program, SIGKILL);
    ::waitpid(program, nullptr, 0);
    ASSERT_EQ(orphans.size(), 1u);
    EXPECT_EQ(orphans[0].record.text, "typed");
    EXPECT_EQ(next.takeOver(orphans[0], id), 0);
}

TEST_F(Journal, TakingOverRemovingAndEndingTheSession) {
    {
        JournalStore ended(folder_);
        ASSERT_EQ(ended.write(ended.newId(), record("/a.tex", "a")), 0);
    }
    JournalStore first(folder_), second(folder_);
    std::vector<OrphanJournal> orphans = first.listOrphans();
    ASSERT_EQ(orphans.size(), 1u);
    // Taken over, it is the taker's: another editor neither lists nor takes it.
    JournalId taken;
    ASSERT_EQ(first.takeOver(orphans[0], taken), 0);
    EXPECT_TRUE(second.listOrphans().empty());
    EXPECT_EQ(second.takeOver(orphans[0], taken), ENOENT);
    // Given back, it is offered again.
    ASSERT_EQ(first.release(taken), 0);
    ASSERT_EQ(second.listOrphans().size(), 1u);

    JournalId kept = second.newId(), removed = second.newId();
    ASSERT_EQ(second.write(kept, record("/kept.tex", "k")), 0);
    ASSERT_EQ(second.write(removed, record("/removed.tex", "r")), 0);
    ASSERT_EQ(second.remove(removed), 0);
    EXPECT_FALSE(fs::exists(second.filePath(removed)));
    EXPECT_EQ(second.remove(removed), 0);

    // A normal exit clears this session only.
    ASSERT_EQ(first.write(first.newId(), record("/first.tex", "f")), 0);
    ASSERT_EQ(first.endSession(), 0);
    EXPECT_EQ(first.filePath(taken), "");
    std::vector<OrphanJournal> left = JournalStore(folder_).listOrphans();
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].record.path, "/a.tex");
    EXPECT_TRUE(fs::exists(second.filePath(kept)));
}

TEST_F(Journal, FolderFollowsXdgAndIsMadePrivateOnFirstWrite) {
    EXPECT_EQ(defaultJournalFolder(), folder_);
    std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    ::setenv("XDG_STATE_HOME", "relative/state", 1); // not absolute: ignored
    ::setenv("HOME", root_.c_str(), 1);
    std::string fallback = defaultJournalFolder();
    ::setenv("HOME", home.c_str(), 1);
    EXPECT_EQ(fallback, (root_ / ".local/state/kolbax").string());

    JournalStore store(fallback);
    EXPECT_TRUE(store.listOrphans().empty());
    EXPECT_FALSE(fs::exists(root_ / ".local")); // nothing made before there is a journal
    mode_t mask = ::umask(0077 | 0200);
    int error = store.write(store.newId(), record("", "untitled"));
    ::umask(mask);
    ASSERT_EQ(error, 0);
    struct stat st {};
    ASSERT_EQ(::stat(fallback.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0700u);
    // The journal and the lock stay the owner's to read and write, whatever the umask.
    for (const auto& entry : fs::directory_iterator(fallback)) {
        ASSERT_EQ(::stat(entry.path().c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0600u) << entry.path();
    }
}

TEST_F(Journal, WriterKeepsTheNewestSnapshotAndARemovedJournalStaysRemoved) {
    RecoveryJournal journal(folder_);
    JournalId id = journal.newJournal();
    for (int i = 1; i <= 50; ++i)
        journal.submit(id, snapshot("/doc.tex", i, "text " + std::to_string(i)));
    journal.flush();
    JournalStore reader(folder_);
    std::vector<OrphanJournal> none = reader.listOrphans(); // the writer's session is live
    EXPECT_TRUE(none.empty());
    std::vector<std::string> names = files();
    ASSERT_EQ(names.size(), 2u); // the journal and the lock, no temporary file
    auto written = parseJournal(readBytes(fs::path(folder_) / names[0]));
    ASSERT_TRUE(written);
    EXPECT_EQ(written->text, "text 50");
    EXPECT_EQ(written->caret, 50);
    EXPECT_EQ(written->encoding, platform::TextEncoding::Utf8);

    // Saved while a write is queued or under way: the journal must not come back.
    journal.submit(id, snapshot("/doc.tex", 0, std::string(4 << 20, 'x')));
    journal.remove(id);
    journal.flush();
    EXPECT_EQ(files().size(), 1u);

    journal.submit(id, snapshot("", 0, "again"));
    journal.endSession();
    EXPECT_TRUE(files().empty());
}

TEST_F(Journal, FailedWritesAreReportedOnceAndKeepThePreviousJournal) {
    // The state folder's place is taken by a file: the folder cannot be made.
    writeBytes(root_ / "file", "");
    std::vector<JournalError> errors;
    {
        RecoveryJournal journal((root_ / "file/kolbax").string(),
                                [&](const JournalError& e) { errors.push_back(e); });
        JournalId id = journal.newJournal();
        for (int i = 0; i < 3; ++i) {
            journal.submit(id, snapshot("", 0, "typed"));
            journal.flush();
        }
    }
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].errorNumber, ENOTDIR);
    EXPECT_TRUE(journalErrorMessage(errors[0]).contains(
        QString::fromStdString((root_ / "file/kolbax").string())));

    // A full disk, in a child so the limit stays there.
    pid_t child = ::fork();
    if (child == 0) {
        std::atomic<int> reported{0}, lastError{0};
        RecoveryJournal journal(folder_, [&](const JournalError& e) {
            ++reported;
            lastError = e.errorNumber;
        });
        JournalId id = journal.newJournal();
        journal.submit(id, snapshot("/doc.tex", 0, "saved"));
        journal.flush();
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        for (int i = 0; i < 3; ++i) {
            journal.submit(id, snapshot("/doc.tex", 0, std::string(100000, 'y')));
            journal.flush();
        }
        _exit(reported == 1 && lastError == EFBIG ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    std::vector<OrphanJournal> orphans = JournalStore(folder_).listOrphans();
    ASSERT_EQ(orphans.size(), 1u);
    EXPECT_EQ(orphans[0].record.text, "saved");
}

TEST_F(Journal, QuestionsNameTheDocumentAndWhetherTheDiskIsNewer) {
    // The name as the file system has it, whatever its characters.
    fs::create_directories(root_ / "Σχέδιο 漢字 😀");
    fs::path document = root_ / "Σχέδιο 漢字 😀" / "глава 𝔸.tex";
    writeBytes(document, "on disk");
    const QString path = QString::fromUtf8(document.c_str());
    JournalRecord journal = record(path, "x");
    struct stat st {};
    ASSERT_EQ(::stat(document.c_str(), &st), 0);
    std::int64_t modifiedMs = std::int64_t(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000;
    journal.writtenAtMs = modifiedMs + 1000;
    EXPECT_FALSE(documentNewerThanJournal(journal));
    journal.writtenAtMs = modifiedMs - 1000;
    EXPECT_TRUE(documentNewerThanJournal(journal));
    EXPECT_TRUE(restoreQuestion(journal, true).contains(path + QString::fromUtf8(" от ")));
    EXPECT_TRUE(restoreQuestion(journal, true).contains(QString::fromUtf8("изменён позже")));
    EXPECT_FALSE(restoreQuestion(journal, false).contains(QString::fromUtf8("изменён позже")));
    EXPECT_TRUE(deleteQuestion(journal).contains(path + QString::fromUtf8(" от ")));

    JournalRecord untitled = record("", "x");
    EXPECT_FALSE(documentNewerThanJournal(untitled));
    EXPECT_TRUE(deleteQuestion(untitled).contains(QString::fromUtf8("(без имени)")));
    JournalRecord gone = record("/no/such/file.tex", "x");
    EXPECT_FALSE(documentNewerThanJournal(gone));
}
