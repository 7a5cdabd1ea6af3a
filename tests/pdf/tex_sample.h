#pragma once
// A small Russian document compiled by the real pdflatex with SyncTeX, for the tests of
// the jumps and the pane: thesis.tex (page 1) and, attached, chapter.tex (page 2). The
// tests that need it are skipped where TeX Live is not installed.
#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QTemporaryDir>

#include "support/text.h"

namespace pdftest {

struct TexSample {
    QTemporaryDir dir;
    QString main, chapter, pdf;
    bool built = false;

    TexSample() {
        main = dir.filePath(QStringLiteral("thesis.tex"));
        chapter = dir.filePath(QStringLiteral("chapter.tex"));
        pdf = dir.filePath(QStringLiteral("thesis.pdf"));
        support::writeBytes(main.toStdString(),
                            "\\documentclass{article}\n\\usepackage[T2A]{fontenc}\n"
                            "\\usepackage[utf8]{inputenc}\n\\usepackage[russian]{babel}\n"
                            "\\begin{document}\nПервая страница.\n\n%comment\n\n"
                            "\\newpage\n\\input{chapter}\n\\end{document}\n");
        support::writeBytes(chapter.toStdString(), "Глава.\n\nВторая строка главы.\n");
        // The project: thesis the main file, chapter attached to it.
        support::writeBytes(dir.filePath(QStringLiteral("thesis.sts")).toStdString(),
                            "*\r\n0\r\n0\r\n");
        support::writeBytes(dir.filePath(QStringLiteral("chapter.sts")).toStdString(),
                            "thesis\r\n0\r\n0\r\n");
        if (QStandardPaths::findExecutable(QStringLiteral("pdflatex")).isEmpty()) return;
        QProcess tex;
        tex.setWorkingDirectory(dir.path());
        tex.start(QStringLiteral("pdflatex"),
                  {QStringLiteral("-synctex=1"), QStringLiteral("-interaction=nonstopmode"),
                   QStringLiteral("thesis.tex")});
        built = tex.waitForFinished(120000) && tex.exitCode() == 0;
    }
};

} // namespace pdftest
