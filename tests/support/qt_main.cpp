// Test entry for window tests: one QApplication for the whole program (offscreen).
#include <QApplication>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    std::signal(SIGXFSZ, SIG_IGN);
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    // Recovery journals of the editors the tests make go to a folder of this run, never
    // into the user's state folder.
    char state[] = "/tmp/kolbax-test-state-XXXXXX";
    if (::mkdtemp(state)) ::setenv("XDG_STATE_HOME", state, 1);
    // The personal dictionaries likewise.
    char data[] = "/tmp/kolbax-test-data-XXXXXX";
    if (::mkdtemp(data)) ::setenv("XDG_DATA_HOME", data, 1);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    std::error_code ignored;
    std::filesystem::remove_all(state, ignored);
    std::filesystem::remove_all(data, ignored);
    return result;
}
