#include "layout.h"

#include "failure.h"
#include "settings.h"
#include "whole_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <filesystem>
#include <optional>
#include <system_error>

namespace platform {

namespace fs = std::filesystem;

namespace {

std::optional<Layout>& layoutInUse() {
    static std::optional<Layout> layout;
    return layout;
}

fs::path pathOf(const QString& path) {
    return fs::path(path.toStdString());
}

QString reasonOf(const std::error_code& error) {
    return QString::fromLocal8Bit(error.message().c_str());
}

Failure cannotMake(const QString& path, const QString& reason) {
    return Failure(QStringLiteral("Nem hozható létre az adatmappa: %1 (%2)").arg(path, reason));
}

Failure cannotMake(const QString& path, const std::error_code& error) {
    return cannotMake(path, reasonOf(error));
}

// Copies the shipped database files, writable for the user; the error of a listing that failed.
// A missing or empty shipped folder is a Failure naming it, a file that cannot be copied a
// FileFailure.
std::error_code copyShippedDatabase(const fs::path& shipped, const fs::path& into) {
    std::error_code error;
    fs::directory_iterator files(shipped, error);
    if (error || files == fs::directory_iterator())
        throw Failure(QStringLiteral("Hiányzik a program adatbázisa: %1 (%2)")
                          .arg(QString::fromStdString(shipped.string()),
                               error ? reasonOf(error) : QStringLiteral("üres mappa")));
    fs::create_directory(into, error);
    for (; !error && files != fs::directory_iterator(); files.increment(error)) {
        QFile source(QString::fromStdString(files->path().string()));
        if (!source.open(QIODevice::ReadOnly))
            throw FileFailure(QStringLiteral("Cannot open file"), source.fileName(),
                              source.errorString());
        const QByteArray bytes = source.readAll();
        writeWhole(QString::fromStdString((into / files->path().filename()).string()),
                   {bytes.constData(), static_cast<size_t>(bytes.size())});
    }
    return error;
}

// Assembles the data folder under a name of its own beside it and renames it into place last.
void makeDataFolder(const Layout& layout) {
    const fs::path target = pathOf(layout.workingFolder);
    const fs::path parent = target.parent_path();
    std::error_code error;
    fs::create_directories(parent, error);
    if (error)
        throw cannotMake(layout.workingFolder, error);
    const fs::path draft = parent / (target.filename().string() + ".new-" +
                                     std::to_string(QCoreApplication::applicationPid()));
    fs::remove_all(draft, error);
    try {
        fs::create_directory(draft, error);
        if (!error)
            error = copyShippedDatabase(pathOf(layout.shippedFolder) / pathOf(kDataFolder),
                                        draft / pathOf(kDataFolder));
        for (const QString& folder : {kTextFolder, kListingFolder, kCoverNoteFolder}) {
            if (!error)
                fs::create_directories(draft / pathOf(folder), error);
        }
        if (error)
            throw cannotMake(layout.workingFolder, error);
        renameIntoPlace(QString::fromStdString(draft.string()), layout.workingFolder,
                        {.syncFolder = true});
    } catch (const FileFailure& failure) {
        fs::remove_all(draft, error);
        throw cannotMake(layout.workingFolder, failure.reason());
    } catch (...) {
        fs::remove_all(draft, error);
        throw;
    }
}

}  // namespace

Layout layoutFor(const QString& programFolder) {
    const QDir program(programFolder);
    if (program.exists(kDataFolder))
        return {false, program.absolutePath(), {}};
    return {true,
            QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                QStringLiteral("/velkor"),
            QDir::cleanPath(program.absoluteFilePath(QStringLiteral("../share/velkor")))};
}

Layout currentLayout() {
    return layoutInUse().value_or(Layout{false, QDir::currentPath(), {}});
}

QString workingPath(const QString& relative) {
    return QDir(currentLayout().workingFolder).filePath(relative);
}

void setCurrentLayout(const Layout& layout) {
    layoutInUse() = layout;
}

void enterWorkingFolder(const Layout& layout) {
    if (layout.installed && !QFileInfo::exists(layout.workingFolder))
        makeDataFolder(layout);
    if (!QDir::setCurrent(layout.workingFolder))
        throw Failure(QStringLiteral("Az adatmappa nem érhető el: %1").arg(layout.workingFolder));
    setCurrentLayout(layout);
    checkSettingsReadable();
}

QString whereDataLives(const Layout& layout) {
    const QStringList settings = settingsFilePaths(layout);
    if (!layout.installed)
        return QStringLiteral(
                   "Az adatok és a beállítások a program mappájában vannak: %1 "
                   "(Adatok/, text/, Listak/, kuldes/, %2).")
            .arg(layout.workingFolder, QFileInfo(settings.constFirst()).fileName());
    return QStringLiteral(
               "Az adatok helye: %1 (az első induláskor készül a(z) %2 adatbázisának "
               "másolatából).\nA beállítások: %3, a hiányzó kulcsok a(z) %4 fájlból.")
        .arg(layout.workingFolder, layout.shippedFolder, settings.value(0), settings.value(1));
}

QString shippedCodeTablesFolder() {
    const Layout layout = currentLayout();
    return layout.installed ? layout.shippedFolder + QStringLiteral("/codes") : QString();
}

}  // namespace platform
