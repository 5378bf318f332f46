#include "command_line.h"

#include "codetables/import_codes.h"
#include "db/connection.h"
#include "purchase/item_import.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdio>

namespace app {

namespace {

const QString kImportCodes = QStringLiteral("import-codes");
const QString kImportItems = QStringLiteral("import-items");

// Only these options leave the windows unstarted; any other argument is left to the toolkit.
bool asksForCommand(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        if (argument.startsWith("--import-codes") || argument.startsWith("--import-items") ||
            argument == "--help" || argument == "-h")
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

// Imports the purchase items of a CSV file into the record of the report key, printing how many
// were imported; on any fault nothing is imported, every fault is printed on the error output
// and saved beside the file, and the exit status is 1.
int importItems(const QString& file, const QStringList& keyParts) {
    if (keyParts.size() != 3) {
        print(stderr, QStringLiteral("Az --import-items után a CSV-fájl, majd az adószám, az év és "
                                     "a negyedév következik."));
        return 1;
    }
    const QString csvPath = QFileInfo(file).absoluteFilePath();
    const purchase::ReportKey key{keyParts[0], keyParts[1], keyParts[2]};
    QDir::setCurrent(QCoreApplication::applicationDirPath());
    try {
        db::openConnection();
        const auto result = purchase::importItemFile(csvPath, key);
        db::closeConnection();
        for (const QString& line : purchase::faultLines(result.faults))
            print(stderr, line);
        purchase::saveFaultList(csvPath, result);
        if (!result.faults.isEmpty()) {
            print(stderr, QStringLiteral("Nem történt importálás. A hibalista: ") +
                              QDir::toNativeSeparators(purchase::faultListPath(csvPath)));
            return 1;
        }
        print(stdout, purchase::importSummary(result, key));
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
    parser.addOption({kImportItems,
                      QStringLiteral("A CSV-fájl beszerzési tételeit az ADÓSZÁM ÉV NEGYEDÉV "
                                     "adatlaphoz importálja; hiba esetén semmit sem tárol."),
                      QStringLiteral("CSV-FÁJL")});
    parser.addPositionalArgument(QStringLiteral("ADÓSZÁM ÉV NEGYEDÉV"),
                                 QStringLiteral("Az --import-items adatlapja."));
    parser.process(application);
    if (parser.isSet(kImportItems))
        return importItems(parser.value(kImportItems), parser.positionalArguments());
    return importCodes(parser.value(kImportCodes));
}

}  // namespace app
