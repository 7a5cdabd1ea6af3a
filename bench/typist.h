#pragma once
// A Russian user's keystrokes, for the benchmarks that type into the main window: physical
// keys named by what they type on the US layout, pressed with Shift around shifted keys.
#include <QString>
#include <QTest>
#include <QWidget>
#include <ctime>
#include <string>

#include "platform/codepage.h"

namespace bench {

// Physical keys named by what they type on the US layout, and the Russian layout's
// characters on the same keys.
inline const std::string kUsKeys = "`1234567890-=qwertyuiop[]\\asdfghjkl;'zxcvbnm,./ ";
inline const std::string kUsShifted = "~!@#$%^&*()_+QWERTYUIOP{}|ASDFGHJKL:\"ZXCVBNM<>? ";

inline std::string cp(const char* utf8) {
    return platform::toCp1251(QString::fromUtf8(utf8));
}

// The keys a Russian user presses for a Russian text.
inline std::string russianKeys(const char* utf8) {
    static const std::string ru = cp("ё1234567890-=йцукенгшщзхъ\\фывапролджэячсмитьбю. ");
    static const std::string ruShifted = cp("Ё!\"№;%:?*()_+ЙЦУКЕНГШЩЗХЪ/ФЫВАПРОЛДЖЭЯЧСМИТЬБЮ, ");
    std::string keys;
    for (char c : cp(utf8)) {
        if (auto i = ru.find(c); i != std::string::npos)
            keys += kUsKeys[i];
        else if (auto j = ruShifted.find(c); j != std::string::npos)
            keys += kUsShifted[j];
        else
            keys += c;
    }
    return keys;
}

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
