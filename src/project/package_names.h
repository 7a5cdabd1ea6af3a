#pragma once
// The commands and environments of the packages a document loads, read from the package
// files TeX Live installs (found with kpsewhich), never from a list of our own. Each
// package is looked up and read once per run, in the background; the packages it requires
// are read with it.
#include <QHash>
#include <QMutex>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

namespace project {

// What a package file defines for the user: command names with their backslash ("\\foo"),
// environment names, and the packages it loads. Names with "@" are the package's own.
struct PackageNames {
    QStringList commands;
    QStringList environments;
    QStringList required;
};
PackageNames scanPackageText(const QString& text);

class PackageCatalog final : public QObject {
    Q_OBJECT

  public:
    // findFile: the path of a file TeX would load ("amsmath.sty"), empty when none; by
    // default kpsewhich. It runs on a worker thread.
    using FileFinder = std::function<QString(const QString& fileName)>;
    explicit PackageCatalog(QObject* parent = nullptr, FileFinder findFile = {});
    ~PackageCatalog() override;

    // Starts reading the packages not read yet (and those they require): package names, or
    // class files with their extension ("report.cls"). Returns at once.
    void Want(const QStringList& packages);
    // The names the packages define, as far as they are read: commands, environments.
    void NamesOf(const QStringList& packages, QStringList& commands,
                 QStringList& environments) const;
    // Waits for the reading under way (tests and benchmarks).
    void WaitForIdle();

    static QString kpsewhich(const QString& fileName);

  signals:
    // More packages were read.
    void loaded();

  private:
    struct Shared;
    std::shared_ptr<Shared> shared_;
};

} // namespace project
