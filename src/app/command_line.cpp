#include "command_line.h"

#include "codetables/import_codes.h"
#include "db/connection.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdio>

namespace app {

namespace {

const QString kImportCodes = QStringLiteral("import-codes");

// Only these options leave the windows unstarted; any other argument is left to the toolkit.
bool asksForCommand(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        if (argument.startsWith("--import-codes") || argument == "--help" || argument == "-h")
            return true;
    }
    return false;
}

void print(std::FILE* stream, const QString& text) {
    std::fprintf(stream, "%s\n", text.toUtf8().constData());
}

// Replaces the code tables of the program folder's database with the code-table files in
// folder, printing what was replaced and the stored data that refers to codes no longer present.
// Exit status 0, or 1 with the reason on the error output when nothing was changed.
int importCodes(const QString& folder) {
    // The folder is named relative to where the program was started, the database relative to
    // the program's own folder.
    const QString absoluteFolder = QFileInfo(folder).absoluteFilePath();
    QDir::setCurrent(QCoreApplication::applicationDirPath());
    try {
        db::openConnection();
        const auto report = codetables::importCodeTables(absoluteFolder);
        db::closeConnection();
        for (const QString& line : codetables::reportLines(report))
            print(stdout, line);
        return 0;
    } catch (const std::exception& failure) {
        db::closeConnection();
        print(stderr, QString::fromUtf8(failure.what()));
        return 1;
    }
}

}  // namespace

std::optional<int> runCommandLine(int argc, char* argv[]) {
    if (!asksForCommand(argc, argv))
        return std::nullopt;
    QCoreApplication application(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Vélkor statisztika"));
    parser.addHelpOption();
    parser.addOption({kImportCodes,
                      QStringLiteral("A program adatbázisának kódtábláit lecseréli a MAPPA "
                                     "kódtábla-fájljaira (<tábla>.tsv); a tárolt adatok "
                                     "megmaradnak."),
                      QStringLiteral("MAPPA")});
    parser.process(application);
    return importCodes(parser.value(kImportCodes));
}

}  // namespace app
