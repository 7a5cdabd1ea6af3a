#include "project/package_names.h"

#include <QFile>
#include <QMetaObject>
#include <QMutexLocker>
#include <QPointer>
#include <QProcess>
#include <QRegularExpression>
#include <QThreadPool>
#include <QWaitCondition>

namespace project {
namespace {

// Package files are read up to this size; the rest of a larger one is left out.
constexpr qint64 kMaxPackageBytes = 4 * 1024 * 1024;
// How deep the packages a package requires are followed.
constexpr int kRequireDepth = 3;

void addName(QStringList& names, QSet<QString>& seen, const QString& name) {
    if (name.isEmpty() || name.contains(u'@') || seen.contains(name)) return;
    seen.insert(name);
    names.append(name);
}

} // namespace

PackageNames scanPackageText(const QString& text) {
    // \newcommand{\foo}, \newcommand*\foo, \DeclareRobustCommand\foo, \def\foo, \let\foo,
    // \NewDocumentCommand{\foo}, \DeclareMathOperator{\foo}, \DeclareTextSymbol{\foo} ...
    static const QRegularExpression command(QStringLiteral(
        R"(\\(?:(?:re)?newcommand|providecommand|DeclareRobustCommand|(?:New|Renew|Provide|Declare)DocumentCommand|DeclareMathOperator|DeclareMathSymbol|DeclareTextCommand|DeclareTextSymbol|DeclareMathAlphabet|DeclareSymbolFontAlphabet|[gex]?def|let)\*?\s*\{?\s*\\([A-Za-z@]+))"));
    static const QRegularExpression environment(QStringLiteral(
        R"(\\(?:(?:re)?newenvironment|(?:New|Renew|Provide|Declare)DocumentEnvironment|newtheorem)\*?\s*\{([A-Za-z@*]+)\})"));
    static const QRegularExpression required(
        QStringLiteral(R"(\\(?:RequirePackage|usepackage)\s*(?:\[[^\]]*\])?\s*\{([^}]*)\})"));
    PackageNames names;
    QSet<QString> seen;
    for (auto it = command.globalMatch(text); it.hasNext();)
        addName(names.commands, seen, u'\\' + it.next().captured(1));
    for (auto it = environment.globalMatch(text); it.hasNext();)
        addName(names.environments, seen, it.next().captured(1));
    for (auto it = required.globalMatch(text); it.hasNext();)
        for (const QString& name : it.next().captured(1).split(u',', Qt::SkipEmptyParts))
            addName(names.required, seen, name.trimmed());
    return names;
}

struct PackageCatalog::Shared {
    mutable QMutex mutex;
    QWaitCondition idle;
    int running = 0;
    QHash<QString, PackageNames> read; // by package name; an empty entry: not found
    QSet<QString> asked;
    FileFinder findFile;
};

PackageCatalog::PackageCatalog(QObject* parent, FileFinder findFile)
    : QObject(parent), shared_(std::make_shared<Shared>()) {
    shared_->findFile = findFile ? std::move(findFile) : FileFinder(&PackageCatalog::kpsewhich);
}

PackageCatalog::~PackageCatalog() = default;

QString PackageCatalog::kpsewhich(const QString& fileName) {
    QProcess process;
    process.start(QStringLiteral("kpsewhich"), {fileName});
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
}

void PackageCatalog::Want(const QStringList& packages) {
    QStringList fresh;
    {
        QMutexLocker lock(&shared_->mutex);
        for (const QString& name : packages)
            if (!shared_->asked.contains(name)) {
                shared_->asked.insert(name);
                fresh.append(name);
            }
        if (fresh.isEmpty()) return;
        ++shared_->running;
    }
    QPointer<PackageCatalog> self(this);
    std::shared_ptr<Shared> shared = shared_;
    QThreadPool::globalInstance()->start([shared, self, fresh] {
        QStringList wave = fresh;
        for (int depth = 0; depth <= kRequireDepth && !wave.isEmpty(); ++depth) {
            QStringList next;
            for (const QString& name : wave) {
                PackageNames names;
                // A package by its name, a class by its file's ("report.cls").
                const QString path =
                    shared->findFile(name.contains(u'.') ? name : name + QStringLiteral(".sty"));
                QFile file(path);
                if (!path.isEmpty() && file.open(QIODevice::ReadOnly))
                    names = scanPackageText(QString::fromLatin1(file.read(kMaxPackageBytes)));
                QMutexLocker lock(&shared->mutex);
                for (const QString& required : names.required)
                    if (!shared->asked.contains(required)) {
                        shared->asked.insert(required);
                        next.append(required);
                    }
                shared->read.insert(name, std::move(names));
            }
            wave = next;
        }
        {
            QMutexLocker lock(&shared->mutex);
            --shared->running;
            shared->idle.wakeAll();
        }
        if (PackageCatalog* catalog = self.data())
            QMetaObject::invokeMethod(
                catalog,
                [self] {
                    if (self) emit self->loaded();
                },
                Qt::QueuedConnection);
    });
}

void PackageCatalog::NamesOf(const QStringList& packages, QStringList& commands,
                             QStringList& environments) const {
    QMutexLocker lock(&shared_->mutex);
    QSet<QString> visited;
    QStringList queue = packages;
    while (!queue.isEmpty()) {
        const QString name = queue.takeFirst();
        if (visited.contains(name)) continue;
        visited.insert(name);
        const auto found = shared_->read.constFind(name);
        if (found == shared_->read.constEnd()) continue;
        commands += found->commands;
        environments += found->environments;
        queue += found->required;
    }
}

void PackageCatalog::WaitForIdle() {
    QMutexLocker lock(&shared_->mutex);
    while (shared_->running > 0)
        shared_->idle.wait(&shared_->mutex);
}

} // namespace project
