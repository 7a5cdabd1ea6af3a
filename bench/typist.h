#pragma once
// A Russian user's keystrokes, for the benchmarks that type into the main window: physical
// keys named by what they type on the US layout, pressed with Shift around shifted keys.
#include <QTest>
#include <QWidget>
#include <ctime>
#include <string>

#include "keyboard/typist.h"

namespace bench {

// The keys and the Russian user's keystrokes of the typing rules' tests.
using keyboard_test::cp;
using keyboard_test::kUsKeys;
using keyboard_test::kUsShifted;
using keyboard_test::russianKeys;

// One sentence of keys; '\n' stands for Enter.
inline std::string sentenceKeys() {
    return russianKeys("Теорема. Пусть ") + "$x^2+y^2=z^2$" + russianKeys(", тогда ") + "\\alpha" +
           russianKeys(" и ") + "\\beta" + russianKeys(".") + "\n";
}

inline void typeKey(QWidget* editor, char us) {
    if (us == '\n') {
        QTest::keyClick(editor, Qt::Key_Return);
        return;
    }
    const bool shifted = kUsKeys.find(us) == std::string::npos;
    if (shifted) QTest::keyPress(editor, Qt::Key_Shift);
    const int qtKey = us >= 'a' && us <= 'z' ? Qt::Key_A + (us - 'a') : QChar(us).unicode();
    QTest::keyClick(editor, static_cast<Qt::Key>(qtKey),
                    shifted ? Qt::ShiftModifier : Qt::NoModifier);
    if (shifted) QTest::keyRelease(editor, Qt::Key_Shift);
}

// CPU time of this thread: the figure a busy machine disturbs least.
inline qint64 threadCpuNanos() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

} // namespace bench
