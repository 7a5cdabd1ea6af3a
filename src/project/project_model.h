#pragma once
// What the project index knows of a project: each file's sections, labels, floats, uses of
// labels, keys and files, definitions and packages, and the entries of its .bib files. A
// snapshot is made whole in the background and never changed after: the windows read it
// without locks, and a newer one replaces it.
#include <QHash>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

namespace project {

// A place in a file: lines and columns from 0, in characters of the file's text.
struct Place {
    int file = -1; // index into Snapshot::files
    int line = 0;
    int column = 0;
    int length = 0;
};

struct Heading {
    int level = 0; // 0 \part, 1 \chapter, 2 \section ... 6 \subparagraph
    QString title; // as written, markup and all
    Place at;      // the command
};

enum class FloatKind { Figure, Table };
struct Float {
    FloatKind kind = FloatKind::Figure;
    QString caption;
    QString label; // empty when it has none
    Place at;      // its \begin
};

struct Label {
    QString key;
    QString context; // the caption of the float around it, else the heading it stands under
    Place at;        // the key inside the braces
};

enum class UseKind { Reference, Citation, Input, Bibliography, Graphics };
struct Use {
    UseKind kind = UseKind::Reference;
    QString command; // "ref", "eqref", "cite", "input", "addbibresource" ...
    QString key;     // one label, key or file name as written
    Place at;        // the key inside the braces
    QString folder;  // \import / \subimport: the folder argument, as written
};

struct Definition {
    QString name;             // "\\foo" for commands, "theorem" for environments
    bool environment = false; // \newenvironment, \newtheorem
    Place at;
};

struct FileIndex {
    QString path;      // absolute, clean
    bool live = false; // read from an open document's text, not from disk
    QString note;      // why it could not be read (missing, unreadable, binary ...); empty if read
    std::vector<Heading> headings;
    std::vector<Float> floats;
    std::vector<Label> labels;
    std::vector<Use> uses;
    std::vector<Definition> definitions;
    QStringList packages;  // \usepackage / \RequirePackage names
    QString documentClass; // \documentclass name; empty when the file has none
    // \bibitem keys of a thebibliography environment: citation keys defined in the text.
    std::vector<Label> bibitems;
};

struct BibEntry {
    QString key;
    QString type; // "article", "book" ...
    QString author;
    QString year;
    QString title;
    Place at; // the key; its file is an index into Snapshot::bibs, not files
};

struct BibError {
    int line = 0; // from 0
    QString message;
};

struct BibFile {
    QString path;
    QString note; // why it could not be read; empty if read
    std::vector<BibEntry> entries;
    std::vector<BibError> errors;
};

// A problem of the references, marked in the text.
enum class ProblemKind { UndefinedReference, DuplicateLabel, UnknownCitation, MissingFile };
struct Problem {
    ProblemKind kind = ProblemKind::UndefinedReference;
    Place at;
    QString reason; // the tooltip
};

struct BibRef {
    int bib = -1; // index into Snapshot::bibs
    int entry = -1;
};

struct Snapshot {
    QString root;                 // the main file the tree was followed from
    std::vector<FileIndex> files; // the root first, then in the order TeX reads them
    std::vector<BibFile> bibs;
    std::vector<Problem> problems;
    // Lookups, built with the snapshot.
    QHash<QString, std::vector<Place>> labels; // key -> where defined (more than one: twice)
    QHash<QString, BibRef> bibKeys;            // key -> its (first) entry
    QHash<QString, Place> definitions;         // "\\foo" or environment name -> where
    QHash<QString, int> fileNumbers;           // path -> index into files
    QHash<QString, Place> bibItems;            // \bibitem key -> where (in files)

    // The file's index in files, or -1.
    int FileIndexOf(const QString& path) const;
};

using SnapshotPtr = std::shared_ptr<const Snapshot>;

} // namespace project
