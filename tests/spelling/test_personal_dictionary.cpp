#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "spelling/personal_dictionary.h"

using spelling::PersonalDictionary;

namespace {

QString u(const char* utf8) {
    return QString::fromUtf8(utf8);
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

class PersonalDictionaryTest : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("kolbax/dictionary.txt"));
};

TEST_F(PersonalDictionaryTest, AWordAddedIsAppendedAndFoundByTheNextReader) {
    PersonalDictionary dictionary(path);
    dictionary.load(); // no file yet: an empty dictionary, nothing to note
    EXPECT_TRUE(dictionary.words().isEmpty());
    EXPECT_TRUE(dictionary.note().isEmpty());
    ASSERT_TRUE(dictionary.add(u("кукарямба")));
    // Another editor adds a word meanwhile; the next addition keeps it.
    PersonalDictionary other(path);
    other.load();
    ASSERT_TRUE(other.add(u("Петрофф")));
    ASSERT_TRUE(dictionary.add(u("тензорный-анализ")));
    EXPECT_EQ(readAll(path), u("кукарямба\nПетрофф\nтензорный-анализ\n").toUtf8());
    EXPECT_TRUE(dictionary.words().contains(u("Петрофф")));
    EXPECT_TRUE(dictionary.add(u("Петрофф"))); // already there: nothing written twice
    EXPECT_EQ(readAll(path).count('\n'), 3);
}

TEST_F(PersonalDictionaryTest, LinesThatAreNoWordsAreKeptAndNoted) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    const QByteArray held = "\xEF\xBB\xBF" + u("ёлочка\r\n\r\nLaTeX\n").toUtf8() +
                            "\xC3\x28 bad\n" + QByteArray(10 * 1024 * 1024, 'a') + "\n" +
                            u("  интеграл  ").toUtf8();
    writeAll(path, held);
    PersonalDictionary dictionary(path);
    dictionary.load();
    EXPECT_EQ(dictionary.words(), (QStringList{u("ёлочка"), u("интеграл")}));
    EXPECT_TRUE(dictionary.note().contains(u("3"))) << dictionary.note().toStdString();
    // Everything it held is written back, the new word after it.
    ASSERT_TRUE(dictionary.add(u("кукарямба")));
    EXPECT_EQ(readAll(path), held + "\n" + u("кукарямба\n").toUtf8());
}

TEST_F(PersonalDictionaryTest, AFileNotReadWholeIsNeverWritten) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    const QByteArray binary = u("слово\n").toUtf8() + QByteArray("\x00\x01\x02", 3) + "\n";
    const QByteArray large =
        u("слово\n").toUtf8() + QByteArray(PersonalDictionary::kLargestFile, 'x');
    for (const QByteArray& held : {binary, large}) {
        writeAll(path, held);
        PersonalDictionary dictionary(path);
        dictionary.load();
        EXPECT_EQ(dictionary.words(), QStringList{u("слово")});
        EXPECT_FALSE(dictionary.note().isEmpty());
        EXPECT_FALSE(dictionary.add(u("кукарямба")));
        EXPECT_TRUE(dictionary.words().contains(u("кукарямба"))); // for this session
        EXPECT_EQ(readAll(path), held);
    }
    // A folder where the file should be cannot be read, nor replaced.
    QFile::remove(path);
    QDir().mkpath(path);
    PersonalDictionary folder(path);
    folder.load();
    EXPECT_FALSE(folder.note().isEmpty());
    EXPECT_FALSE(folder.add(u("кукарямба")));
    EXPECT_TRUE(QFileInfo(path).isDir());
}

TEST_F(PersonalDictionaryTest, AFileThatCannotBeWrittenLeavesTheWordForTheSession) {
    writeAll(dir.filePath(QStringLiteral("kolbax")), "a file where the folder should be");
    PersonalDictionary dictionary(path);
    dictionary.load();
    EXPECT_FALSE(dictionary.add(u("кукарямба")));
    EXPECT_FALSE(dictionary.note().isEmpty());
    EXPECT_TRUE(dictionary.words().contains(u("кукарямба")));
}

TEST(PersonalDictionaryPath, FollowsTheDataFolder) {
    qputenv("XDG_DATA_HOME", "/data");
    EXPECT_EQ(spelling::personalDictionaryPath(), QStringLiteral("/data/kolbax/dictionary.txt"));
    qputenv("XDG_DATA_HOME", "relative");
    qputenv("HOME", "/home/user");
    EXPECT_EQ(spelling::personalDictionaryPath(),
              QStringLiteral("/home/user/.local/share/kolbax/dictionary.txt"));
    qunsetenv("XDG_DATA_HOME");
}

} // namespace
