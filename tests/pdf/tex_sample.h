#pragma once
// A small Russian document compiled by the real pdflatex with SyncTeX, for the tests of
// the jumps and the pane: thesis.tex (page 1) and, attached, chapter.tex (page 2). The
// tests that need it are skipped where TeX Live is not installed.
#include <QDir>
#include <QFile>
#include <QFileInfo>
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

// Rewrites the SyncTeX file beside pdf, uncompressed, with the name of its input that ends
// in suffix replaced by name (as a SyncTeX file from elsewhere could hold any name), dated
// as the PDF so that it is not taken for a stale one.
inline bool forgeSyncTexInput(const QString& pdf, const QByteArray& suffix,
                              const QByteArray& name) {
    QString base = pdf;
    base.chop(4);
    QProcess gunzip;
    if (QFile::exists(base + QStringLiteral(".synctex.gz"))) {
        gunzip.start(QStringLiteral("gzip"), {QStringLiteral("-dc"), base + ".synctex.gz"});
        if (!gunzip.waitForFinished() || gunzip.exitCode() != 0) return false;
        QFile::remove(base + QStringLiteral(".synctex.gz"));
        support::writeBytes((base + ".synctex.orig").toStdString(),
                            gunzip.readAllStandardOutput().toStdString());
    }
    QByteArray text;
    for (const QByteArray& line :
         QByteArray::fromStdString(support::readBytes((base + ".synctex.orig").toStdString()))
             .split('\n')) {
        if (line.startsWith("Input:") && line.endsWith(suffix))
            text += line.left(line.indexOf(':', 6) + 1) + name + '\n';
        else
            text += line + '\n';
    }
    support::writeBytes((base + ".synctex").toStdString(), text.toStdString());
    QFile out(base + QStringLiteral(".synctex"));
    return out.open(QIODevice::ReadWrite) &&
           out.setFileTime(QFileInfo(pdf).lastModified(), QFileDevice::FileModificationTime);
}

} // namespace pdftest
