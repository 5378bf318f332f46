#pragma once

#include <QString>

namespace platform {

// The working folders and files, relative to the working folder: the database's folder, the
// data files and the error list, the purchase listings and lists, the archives of the send runs
// and the cover notes, and the log of the steps done for each period. text/, Listak/ and
// kuldes/temp/ must exist; the save run creates none of them.
inline const QString kDataFolder = QStringLiteral("Adatok/");
inline const QString kTextFolder = QStringLiteral("text/");
inline const QString kListingFolder = QStringLiteral("Listak/");
inline const QString kSendFolder = QStringLiteral("kuldes/");
inline const QString kCoverNoteFolder = QStringLiteral("kuldes/temp/");
inline const QString kStepLogPath = QStringLiteral("Adatok/lepesek.ini");

// Where the program keeps its data and its settings: the one place that tells the two layouts
// apart.
//
// Portable: the program's folder holds Adatok/. It is the working folder, and velkor.ini lies
// in it.
// Installed: the program's folder holds no Adatok/ (the program lies in <prefix>/bin). The
// working folder is the user's own data folder, ~/.local/share/velkor/, made on the first start
// from the shipped copy in <prefix>/share/velkor/. Settings come from the user's
// ~/.config/velkor/velkor.ini over the machine's /etc/xdg/velkor/velkor.ini.
struct Layout {
    bool installed = false;
    // The working folder, absolute.
    QString workingFolder;
    // Installed only: the read-only folder of the shipped database (Adatok/) and code tables
    // (codes/).
    QString shippedFolder;
};

// The layout of a program lying in programFolder.
Layout layoutFor(const QString& programFolder);

// The layout in use. Until one is set, the portable layout of the current folder.
Layout currentLayout();
// A working folder or file (kTextFolder, kStepLogPath, ...) in the working folder of the layout in
// use, whatever the current folder.
QString workingPath(const QString& relative);
void setCurrentLayout(const Layout& layout);

// Makes layout the one in use and its working folder the current folder. On the installed
// layout's first start the data folder is made: a copy of the shipped database in Adatok/ and the
// empty working folders text/, Listak/ and kuldes/temp/, assembled beside it and moved into place
// at once, so a start that fails leaves no data folder behind. A folder that cannot be made or a
// shipped database that is missing is a Failure naming the path and the reason.
void enterWorkingFolder(const Layout& layout);

// Where the data and the settings of a layout live, in a few lines for the user.
QString whereDataLives(const Layout& layout);

// The folder of the code-table files shipped with the program (<table>.tsv), whose tables the
// working database is to hold; empty when the working database is itself the shipped one.
QString shippedCodeTablesFolder();

}  // namespace platform
