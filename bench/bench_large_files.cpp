// Files of ten megabytes, as a reference manager exports a bibliography: a UTF-8 and a CP1251
// .bib of 10 MB opened through the File menu's own path (read, recognised, decoded, loaded
// into the control and shown) against QPlainTextEdit::setPlainText of the same text read and
// decoded by Qt (Latin-1 standing in for the one-byte code page); typing 1,000 keys at the end and
// in the middle of the opened file against typing into a short document that fills the view with
// the caret on its bottom row; saving it against writing its bytes with QSaveFile. Times are this
// thread's CPU time, the median of rounds that take both sides in turn. Prints the figures and the
// ratios.
#include <QApplication>
#include <QFile>
#include <QPlainTextEdit>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTextBlock>
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/tform1.h"
#include "platform/text_encoding.h"
#include "support/data_folder.h"
#include "support/scripted_prompts.h"
#include "typist.h"

namespace {

using namespace bench;

constexpr qsizetype kFileBytes = 10 << 20;
constexpr int kTypedKeys = 1000;
constexpr int kRounds = 5;

// A bibliography of Russian entries, at least kFileBytes in the encoding given.
QString bibliography(platform::TextEncoding encoding) {
    QString text;
    qsizetype bytes = 0;
    for (int i = 0; bytes < kFileBytes; ++i) {
        const QString entry =
            QStringLiteral("@article{ivanov%1,\n  author = {Иванов, Пётр Сергеевич and "
                           "Smith, John},\n  title = {О сходимости рядов Фурье, часть %1},\n"
                           "  journal = {Математический сборник},\n  year = {1999},\n"
                           "  pages = {1--%1},\n}\n\n")
                .arg(i);
        bytes += encoding == platform::TextEncoding::Utf8 ? entry.toUtf8().size() : entry.size();
        text += entry;
    }
    return text;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

template <typename F> double cpuMillis(F&& f) {
    const qint64 start = threadCpuNanos();
    f();
    return double(threadCpuNanos() - start) / 1e6;
}

// The median CPU time of a key typed at the caret, in microseconds.
double typeKeys(platform::TRichEdit* edit) {
    edit->setFocus();
    edit->ensureCursorVisible();
    QCoreApplication::processEvents();
    const std::string keys = sentenceKeys();
    std::vector<double> times;
    for (int i = 0; i < kTypedKeys; ++i) {
        const qint64 start = threadCpuNanos();
        typeKey(edit, keys[size_t(i) % keys.size()]);
        QCoreApplication::processEvents();
        times.push_back(double(threadCpuNanos() - start) / 1e3);
    }
    return median(times);
}

// A short document that fills the view, the caret at the end of its bottom row.
void fillTheView(platform::TRichEdit* edit) {
    const int rows = edit->viewport()->height() / edit->fontMetrics().lineSpacing();
    QString text;
    for (int i = 0; i < rows; ++i)
        text += QStringLiteral("Пусть $f(x)=0$ на отрезке\n");
    text.chop(1);
    edit->setPlainText(text);
    edit->moveCursor(QTextCursor::End);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir state;
    qputenv("XDG_STATE_HOME", state.path().toLocal8Bit());
    const support::ProgramFolder folder;
    QTemporaryDir docs;

    for (const auto encoding : {platform::TextEncoding::Utf8, platform::TextEncoding::Cp1251}) {
        const std::string_view name = platform::encodingOf(encoding).name;
        const QString text = bibliography(encoding);
        const platform::FileBytes bytes =
            platform::writeText(text, encoding, platform::newFileLayout(encoding));
        const QString path = docs.filePath(QStringLiteral("refs.bib"));
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(bytes.bytes().data(), qint64(bytes.bytes().size()));
        file.close();
        QFile status(docs.filePath(QStringLiteral("refs.bib.sts")));
        status.open(QIODevice::WriteOnly);
        status.write("*\r\n0\r\n0\r\n");
        status.close();

        TForm1 form(folder.dir.string(), std::make_unique<support::ScriptedPrompts>());
        form.resize(900, 700);
        form.show();
        QPlainTextEdit baseline;
        baseline.resize(900, 600);
        baseline.show();
        QCoreApplication::processEvents();

        std::vector<double> open, plain, openRatios, save, saveBase, saveRatios;
        std::vector<double> end, middle, shortDoc, endRatios, middleRatios;
        for (int round = 0; round < kRounds; ++round) {
            const double o = cpuMillis([&] {
                form.OpenDocument(path);
                QCoreApplication::processEvents();
            });
            const double p = cpuMillis([&] {
                QFile in(path);
                in.open(QIODevice::ReadOnly);
                const QByteArray read = in.readAll();
                baseline.setPlainText(encoding == platform::TextEncoding::Utf8
                                          ? QString::fromUtf8(read)
                                          : QString::fromLatin1(read));
                QCoreApplication::processEvents();
            });
            open.push_back(o);
            plain.push_back(p);
            openRatios.push_back(o / p);
            if (form.RichEdit1->TextLength() < text.size()) {
                std::printf("%s: the file did not open\n", name.data());
                return 1;
            }

            platform::TRichEdit* edit = form.RichEdit1;
            edit->SetSel(edit->TextLength(), 0);
            const double e = typeKeys(edit);
            edit->SetSel(edit->TextLength() / 2, 0);
            const double m = typeKeys(edit);
            platform::TRichEdit shortEdit;
            shortEdit.resize(edit->size());
            shortEdit.show();
            fillTheView(&shortEdit);
            const double s = typeKeys(&shortEdit);
            end.push_back(e);
            middle.push_back(m);
            shortDoc.push_back(s);
            endRatios.push_back(e / s);
            middleRatios.push_back(m / s);

            const double sv = cpuMillis([&] { form.SaveDocument(); });
            const QByteArray saved = [&] {
                QFile in(path);
                in.open(QIODevice::ReadOnly);
                return in.readAll();
            }();
            const double sb = cpuMillis([&] {
                QSaveFile out(docs.filePath(QStringLiteral("copy.bib")));
                out.open(QIODevice::WriteOnly);
                out.write(saved);
                out.commit();
            });
            save.push_back(sv);
            saveBase.push_back(sb);
            saveRatios.push_back(sv / sb);
        }
        std::printf("%s, %.1f MB, %d lines:\n", name.data(), double(bytes.bytes().size()) / 1048576,
                    int(text.count(u'\n')));
        std::printf("  open: %.0f ms CPU; QPlainTextEdit::setPlainText of the same file %.0f ms; "
                    "median ratio %.2f\n",
                    median(open), median(plain), median(openRatios));
        std::printf("  typing, median CPU per key: at the end %.1f us, in the middle %.1f us, a "
                    "short document filling the view %.1f us; ratios %.2f and %.2f\n",
                    median(end), median(middle), median(shortDoc), median(endRatios),
                    median(middleRatios));
        std::printf("  save: %.0f ms CPU; QSaveFile of the same bytes %.0f ms; median ratio %.2f\n",
                    median(save), median(saveBase), median(saveRatios));
    }
    return 0;
}
