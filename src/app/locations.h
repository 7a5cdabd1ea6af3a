#pragma once
// Where the editor finds its files.
//  - data: the read-only files (env1-3.dat, comm.dat, default.tex, the grids, the shipped
//    commands.set). A portable copy keeps them beside the program; an installed one reads
//    them from ../share/kolbax relative to the program, so a relocated or unpacked tree
//    works as well as /usr.
//  - settings: the files the editor writes (filelist.ini, commands.set). Beside the
//    program for a portable copy whose folder is writable, else $XDG_CONFIG_HOME/kolbax.
// The recovery journals keep their own folder ($XDG_STATE_HOME/kolbax, see
// defaultJournalFolder in journal_store.h) for a portable copy too.
// Paths are the file system's own (QString), never passed through a code page.
#include <QString>
#include <array>
#include <functional>

namespace app {

// The variables the folders depend on; an empty value stands for an unset one.
struct LocationEnvironment {
    QString home;
    QString xdgConfigHome;
};

struct Locations {
    QString dataFolder;
    QString settingsFolder;
    bool portable = false; // the data files are beside the program
};

// The files whose presence beside the program makes a portable copy: any one of them, so
// that a copy missing one data file stays portable and names that file beside the program
// as missing, instead of looking for every file in ../share/kolbax.
inline constexpr std::array<const char*, 9> kPortableFiles = {
    "comm.dat",    "env1.dat",    "env2.dat",     "env3.dat",    "default.tex",
    "letters.grd", "symbols.grd", "commands.set", "filelist.ini"};
inline constexpr const char* kCommandSetName = "commands.set";

// programFolder: the folder of the running binary. folderIsWritable: whether the editor
// may create files in a folder (a parameter so that a test can answer it).
Locations findLocations(const QString& programFolder, const LocationEnvironment& environment,
                        const std::function<bool(const QString&)>& folderIsWritable);

// The running process's home (HOME when it is absolute, else the user's home in the
// password database, as the journal folder takes it) and XDG_CONFIG_HOME.
LocationEnvironment processEnvironment();

// Whether the current user may create files in a folder.
bool isWritableFolder(const QString& folder);

// Makes the settings folder ready on first use: creates it and puts a copy of the shipped
// commands.set into it, unless one is there already. A portable copy has nothing to make.
// False when the folder or the copy could not be made: the editor then starts with the
// shipped commands, and writing the settings at exit reports the failure.
bool prepareSettingsFolder(const Locations& locations);

// The locations of the running program: its own folder and the process's environment.
Locations programLocations();

// Creates a folder and its missing parents. Throws InOutError with the errno of the part
// that could not be made (EACCES where the user may not create it).
void makeFolder(const QString& folder);

} // namespace app
