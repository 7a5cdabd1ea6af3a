#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/errors.h"
#include "platform/textfile.h"

using namespace platform;

TEST(TextFileReader, LinesEndAtCrWithOptionalLf) {
    auto r = TextFileReader::fromBytes("one\r\ntwo\rthree\nstill three\r\n");
    EXPECT_EQ(r.readLine(), "one");
    EXPECT_EQ(r.readLine(), "two");
    EXPECT_EQ(r.readLine(), "three\nstill three");
    EXPECT_TRUE(r.eof());
    EXPECT_EQ(r.readLine(), "");
    EXPECT_EQ(r.readInteger(), 0);
}

TEST(TextFileReader, CtrlZEndsTheFile) {
    auto r = TextFileReader::fromBytes("a\r\nb\x1A"
                                       "c\r\n");
    EXPECT_EQ(r.readLine(), "a");
    EXPECT_EQ(r.readLine(), "b");
    EXPECT_TRUE(r.eof());
}

TEST(TextFileReader, NumbersSkipBlanksAcrossLines) {
    auto r = TextFileReader::fromBytes("  \r\n\t 257 rest\r\n-12\r\n$1F\r\n");
    EXPECT_EQ(r.readInteger(), 257);
    r.skipLine();
    EXPECT_EQ(r.readInteger(), -12);
    EXPECT_EQ(r.readInteger(), 31);
    EXPECT_EQ(r.readInteger(), 0);
}

TEST(TextFileReader, NonNumbersRaiseInvalidNumericInput) {
    auto r = TextFileReader::fromBytes("12abc\r\n");
    EXPECT_THROW(r.readInteger(), InvalidNumericInput);
    auto tooLong = TextFileReader::fromBytes(std::string(40, '1'));
    EXPECT_THROW(tooLong.readInteger(), InvalidNumericInput);
}

TEST(ParseInteger, AcceptsTheRuntimeForms) {
    int32_t v = 0;
    EXPECT_TRUE(parseInteger("  -5", v));
    EXPECT_EQ(v, -5);
    EXPECT_TRUE(parseInteger("0x10", v));
    EXPECT_EQ(v, 16);
    EXPECT_TRUE(parseInteger("x1f", v));
    EXPECT_EQ(v, 31);
    EXPECT_TRUE(parseInteger("-2147483648", v));
    EXPECT_EQ(v, INT32_MIN);
    EXPECT_FALSE(parseInteger("2147483648", v));
    EXPECT_FALSE(parseInteger("", v));
    EXPECT_FALSE(parseInteger("5 ", v));
    EXPECT_FALSE(parseInteger("-", v));
    EXPECT_FALSE(parseInteger("abc", v));
}

TEST(TextFileReader, MissingFileIsFileNotFound) {
    try {
        TextFileReader r("/nonexistent/folder/x.txt");
        FAIL();
    } catch (const InOutError& e) {
        EXPECT_STREQ(e.what(), "File not found");
    }
}

// Nothing but a regular file is read: a FIFO without a writer would block for ever and a
// device may never end. Each is refused at once, a symbolic link by what it points to.
TEST(ReadFileBytes, RefusesWhatIsNoRegularFileWithoutWaiting) {
    const std::string dir = ::testing::TempDir() + "kolbax-textfile-" + std::to_string(::getpid());
    ASSERT_EQ(::mkdir(dir.c_str(), 0700), 0);
    const std::string fifo = dir + "/x.tex";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string link = dir + "/link.tex";
    ASSERT_EQ(::symlink(fifo.c_str(), link.c_str()), 0);
    for (const std::string& path : {fifo, link, std::string("/dev/zero"), dir}) {
        try {
            readFileBytes(path);
            ADD_FAILURE() << path;
        } catch (const NotRegularFileError& e) {
            EXPECT_STREQ(e.what(), "File access denied") << path;
        }
    }
    EXPECT_THROW(TextFileReader{fifo}, NotRegularFileError);
    ::unlink(link.c_str());
    ::unlink(fifo.c_str());
    ::rmdir(dir.c_str());
}
