#include "command_line.h"

#include "codetables/import_codes.h"
#include "db/connection.h"
#include "platform/folder_lock.h"
#include "purchase/item_import.h"
#include "tools/carry_forward.h"
#include "tools/period_check.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdio>
#include <functional>

namespace app {

namespace {

const QString kImportCodes = QStringLiteral("import-codes");
const QString kImportItems = QStringLiteral("import-items");
const QString kCarryForward = QStringLiteral("carry-forward");
const QString kCheck = QStringLiteral("check");

// Only these options leave the windows unstarted; any other argument is left to the toolkit.
bool asksForCommand(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        if (argument.startsWith("--import-codes") || argument.startsWith("--import-items") ||
            argument.startsWith("--carry-forward") || argument.startsWith("--check") ||
            argument == "--help" || argument == "-h")
            return true;
    }
    return false;
}

void print(std::FILE* stream, const QString& text) {
    std::fprintf(stream, "%s\n", text.toUtf8().constData());
}

// Runs an operation on the program folder's database and gives its exit status; a failure is
// printed on the error output with exit status 1. Paths on the command line are resolved
// before, relative to where the program was started; the database is found relative to the
// program's own folder. Every operation writes, so it runs only while no other instance works
// in the folder.
int onDatabase(const std::function<int()>& operation) {
    QDir::setCurrent(QCoreApplication::applicationDirPath());
    const platform::WorkingFolderLock lock(QDir::currentPath());
    if (const auto& refusal = lock.refusal()) {
        print(stderr, *refusal);
        return 1;
    }
    try {
        db::openConnection();
        const int status = operation();
        db::closeConnection();
        return status;
    } catch (const std::exception& failure) {
        db::closeConnection();
        print(stderr, QString::fromUtf8(failure.what()));
        return 1;
    }
}

// Replaces the code tables of the database with the code-table files in folder, printing what
// was replaced and the stored data that refers to codes no longer present.
int importCodes(const QString& folder) {
    const QString absoluteFolder = QFileInfo(folder).absoluteFilePath();
    return onDatabase([&] {
        const auto report = codetables::importCodeTables(absoluteFolder);
        for (const QString& line : codetables::reportLines(report))
            print(stdout, line);
        return 0;
    });
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
    return onDatabase([&] {
        const auto result = purchase::importItemFile(csvPath, key);
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
    });
}

// Carries the record of the key with its items into the next quarter, printing the new key.
int carryForward(const institution::ReportKey& key) {
    return onDatabase([&] {
        const tools::Carried carried = tools::carryForward(key);
        print(stdout, QStringLiteral("%1 %2/%3: %4 tétel")
                          .arg(carried.key.adosajat, carried.key.year, carried.key.quarter)
                          .arg(carried.items));
        return 0;
    });
}

// Lists every problem of the period and saves the list; exit status 1 when any is an error.
int checkPeriod(const QString& year, const QString& quarter) {
    return onDatabase([&] {
        const QList<tools::Problem> problems = tools::checkPeriod(year, quarter);
        for (const tools::Problem& problem : problems)
            print(stdout, tools::problemLine(problem));
        if (problems.isEmpty())
            print(stdout, tools::kNoProblem);
        tools::saveProblemList(year, quarter, problems);
        return tools::anyError(problems) ? 1 : 0;
    });
}

// The option's value followed by the positional arguments, when they are count in all.
std::optional<QStringList> operands(const QCommandLineParser& parser, const QString& option,
                                    qsizetype count) {
    const QStringList values = QStringList{parser.value(option)} + parser.positionalArguments();
    if (values.size() != count)
        return std::nullopt;
    return values;
}

int usageError(const QString& usage) {
    print(stderr, QStringLiteral("Használat: velkor ") + usage);
    return 1;
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
    parser.addOption({kCarryForward,
                      QStringLiteral("Az ADOSZÁM ÉV NEGYEDÉV adatlapját beszerzési tételeivel "
                                     "együtt átveszi a következő negyedévre."),
                      QStringLiteral("ADOSZÁM ÉV NEGYEDÉV")});
    parser.addOption({kCheck,
                      QStringLiteral("Kilistázza az ÉV NEGYEDÉV minden hibáját (a lista a "
                                     "Listak mappába is kikerül); hiba esetén 1-es kóddal lép "
                                     "ki."),
                      QStringLiteral("ÉV NEGYEDÉV")});
    parser.process(application);
    if (parser.isSet(kImportItems))
        return importItems(parser.value(kImportItems), parser.positionalArguments());
    if (parser.isSet(kCheck)) {
        const auto period = operands(parser, kCheck, 2);
        if (!period)
            return usageError(QStringLiteral("--check ÉV NEGYEDÉV"));
        return checkPeriod(period->at(0), period->at(1));
    }
    if (parser.isSet(kCarryForward)) {
        const auto key = operands(parser, kCarryForward, 3);
        if (!key)
            return usageError(QStringLiteral("--carry-forward ADOSZÁM ÉV NEGYEDÉV"));
        return carryForward({key->at(0), key->at(1), key->at(2)});
    }
    return importCodes(parser.value(kImportCodes));
}

}  // namespace app
