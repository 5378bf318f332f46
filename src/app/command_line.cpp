#include "command_line.h"

#include "backup/backups.h"
#include "backup/database_check.h"
#include "codetables/import_codes.h"
#include "command_names.h"
#include "db/connection.h"
#include "db/query.h"
#include "export/common.h"
#include "export/listing_workbook.h"
#include "export/save_run.h"
#include "export/saved_report.h"
#include "overview/quarter_steps.h"
#include "platform/folder_lock.h"
#include "platform/layout.h"
#include "platform/settings.h"
#include "platform/stop_signals.h"
#include "platform/translation.h"
#include "purchase/item_import.h"
#include "toolsmenu/carry_forward.h"
#include "toolsmenu/period_check.h"
#include "transmission/floppy_copy.h"
#include "transmission/send_run.h"
#include "working_database.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <cstdio>
#include <functional>
#include <memory>

namespace app {

namespace {

const QString kImportCodes = QStringLiteral("import-codes");
const QString kForce = QStringLiteral("force");
const QString kImportItems = QStringLiteral("import-items");
const QString kAllowDuplicates = QStringLiteral("allow-duplicates");
const QString kCarryForward = QStringLiteral("carry-forward");
const QString kCheck = QStringLiteral("check");
const QString kBackup = QStringLiteral("backup");
const QString kRestore = QStringLiteral("restore");
const QString kSend = QStringLiteral("send");
const QString kPrint = QStringLiteral("print");
const QString kCopy = QStringLiteral("copy");
const QString kSave = QStringLiteral("save");
const QString kAgain = QStringLiteral("again");
const QString kListing = QStringLiteral("listing");
const QString kHelp = QStringLiteral("help");
const QString kVersion = QStringLiteral("version");

// The exit status of a command line that names no period or a wrong one.
constexpr int kUsageStatus = 2;

void print(std::FILE* stream, const QString& text) {
    std::fprintf(stream, "%s\n", text.toUtf8().constData());
}

// Runs a command and gives its exit status; a failure is printed on the error output with exit
// status 1.
int reportingFailure(const std::function<int()>& command) {
    try {
        return command();
    } catch (const std::exception& failure) {
        db::closeConnection();
        print(stderr, QString::fromUtf8(failure.what()));
        return 1;
    }
}

void printBackupFailure(const QString& text) {
    print(stderr, text);
}

// Runs operation in the working folder of the program's layout while this instance holds the
// folder's lock; a folder another instance works in is refused with exit status 1. Every
// operation on the database writes (the database itself, a list, a backup), so each takes it.
int inLockedWorkingFolder(const std::function<int()>& operation) {
    enterWorkingFolder();
    const platform::WorkingFolderLock lock(QDir::currentPath());
    return operation();
}

// Brings the working folder's database up to this program, then runs operation on it.
int onUpgradedDatabase(const std::function<int()>& operation) {
    const codetables::ImportReport refreshed = enterAndUpgrade(printBackupFailure);
    if (!refreshed.replaced.isEmpty()) {
        print(stderr, QStringLiteral("A program új kódtáblái bekerültek az adatbázisba:"));
        for (const QString& line : codetables::reportLines(refreshed))
            print(stderr, line);
    }
    db::openConnection();
    const int status = operation();
    db::closeConnection();
    return status;
}

// Runs an operation on the working folder's database and gives its exit status; a failure is
// printed on the error output with exit status 1. Paths on the command line are resolved
// before, relative to where the program was started; the database is found relative to the
// working folder of the program's layout.
int onDatabase(const std::function<int()>& operation) {
    return reportingFailure(
        [&] { return inLockedWorkingFolder([&] { return onUpgradedDatabase(operation); }); });
}

int usageError(const QString& usage, int status = 1) {
    print(stderr, QStringLiteral("Használat: velkor ") + usage);
    return status;
}

// The working database's check before a change: a write that was interrupted is rolled back.
backup::Finding examinedDatabase() {
    enterWorkingFolder();
    return backup::examineDatabase(QString::fromLatin1(db::kDatabasePath));
}

// An operation that writes many rows: a database that is damaged, held by another program or
// not readable and writable is refused with exit status 1 before anything is changed; a sound one
// is backed up first, and a failed backup is printed on the error output while the operation
// goes on.
int changingDatabase(const std::function<int()>& operation) {
    return reportingFailure([&] {
        return inLockedWorkingFolder([&] {
            if (const backup::Finding finding = examinedDatabase();
                finding.kind != backup::Finding::Kind::Sound) {
                print(stderr, finding.text);
                return 1;
            }
            return onUpgradedDatabase([&] {
                backup::backUpBeforeChange(printBackupFailure);
                return operation();
            });
        });
    });
}

// Writes a backup of the database into FILE, or into the backup folder when none is given.
int backUp(const QStringList& files) {
    if (files.size() > 1)
        return usageError(QStringLiteral("--backup [FÁJL]"));
    const QString target = files.isEmpty() ? QString() : QFileInfo(files[0]).absoluteFilePath();
    return onDatabase([&] {
        QString written = target;
        if (target.isEmpty())
            written = backup::backUpNow().path;
        else
            backup::writeBackup(target);
        print(stdout, QStringLiteral("Biztonsági mentés: ") + QDir::toNativeSeparators(written));
        return 0;
    });
}

// Puts a checked backup file in the database's place. A damaged database is kept beside it, as
// at start; a sound one is backed up first; one held by another program or not readable and
// writable is refused with exit status 1, unchanged.
int restore(const QString& file) {
    const QString source = QFileInfo(file).absoluteFilePath();
    const auto restored = [&] {
        print(stdout, QStringLiteral("Visszatöltve: %1 (%2).")
                          .arg(QDir::toNativeSeparators(source),
                               backup::describe(backup::contentsOf(source))));
        return 0;
    };
    return reportingFailure([&] {
        return inLockedWorkingFolder([&] {
            const backup::Finding finding = examinedDatabase();
            if (finding.kind == backup::Finding::Kind::Sound)
                return onUpgradedDatabase([&] {
                    backup::restoreFrom(source, printBackupFailure);
                    return restored();
                });
            if (finding.kind != backup::Finding::Kind::Damaged) {
                print(stderr, finding.text);
                return 1;
            }
            backup::checkRestorable(source);
            const QString kept = backup::replaceDamagedDatabase(source);
            print(stdout, QStringLiteral("A sérült adatbázis megmaradt: ") +
                              QDir::toNativeSeparators(kept));
            return restored();
        });
    });
}

// Replaces the code tables of the database with the code-table files in folder, printing what
// was replaced and the stored data that refers to codes no longer present; losing a code still
// referred to is refused unless forced.
int importCodes(const QString& folder, bool force) {
    const QString absoluteFolder = QFileInfo(folder).absoluteFilePath();
    return changingDatabase([&] {
        const auto report = codetables::importCodeTables(absoluteFolder, force);
        for (const QString& line : codetables::reportLines(report))
            print(stdout, line);
        return 0;
    });
}

// Imports the purchase items of a CSV file into the record of the report key, printing how many
// were imported; on any fault nothing is imported, every fault is printed on the error output
// and saved beside the file, and the exit status is 1. Rows alike to a stored item of the record
// are such a fault unless options allow them.
int importItems(const QString& file, const QStringList& keyParts,
                const purchase::ImportOptions& options) {
    if (keyParts.size() != 3) {
        print(stderr, QStringLiteral("Az --import-items után a CSV-fájl, majd az adószám, az év és "
                                     "a negyedév következik."));
        return 1;
    }
    const QString csvPath = QFileInfo(file).absoluteFilePath();
    const purchase::ReportKey key{keyParts[0], keyParts[1], keyParts[2]};
    return changingDatabase([&] {
        const auto result = purchase::importItemFile(csvPath, key, options);
        for (const QString& line : purchase::faultLines(result))
            print(stderr, line);
        const bool listSaved = purchase::saveFaultList(csvPath, result);
        if (!result.faults.isEmpty()) {
            print(stderr, listSaved ? QStringLiteral("Nem történt importálás. A hibalista: ") +
                                          QDir::toNativeSeparators(purchase::faultListPath(csvPath))
                                    : QStringLiteral("Nem történt importálás."));
            return 1;
        }
        print(stdout, purchase::importSummary(result, key));
        return 0;
    });
}

// Carries the record of the key with its items into the next quarter, printing the new key.
int carryForward(const institution::ReportKey& key) {
    return changingDatabase([&] {
        const toolsmenu::Carried carried = toolsmenu::carryForward(key);
        print(stdout, QStringLiteral("%1 %2/%3: %4 tétel")
                          .arg(carried.key.adosajat, carried.key.year, carried.key.quarter)
                          .arg(carried.items));
        return 0;
    });
}

// Lists every problem of the period and saves the list; exit status 1 when any is an error.
int checkPeriod(const QString& year, const QString& quarter) {
    return onDatabase([&] {
        const QList<toolsmenu::Problem> problems = toolsmenu::checkPeriod(year, quarter);
        for (const toolsmenu::Problem& problem : problems)
            print(stdout, toolsmenu::problemLine(problem));
        if (problems.isEmpty())
            print(stdout, toolsmenu::kNoProblem);
        toolsmenu::saveProblemList(year, quarter, problems);
        return toolsmenu::anyError(problems) ? 1 : 0;
    });
}

// The send run's log on the standard output. No one is there to be asked about a certificate:
// one that does not verify and is not pinned fails the run.
class PrintedSendLog : public transmission::SendRunObserver {
    void logLine(const QString& line) override { print(stdout, line); }
};

// A period as the command line names it: a year of four digits and a quarter of Torzs_Negyedev.
bool isPeriod(const QString& year, const QString& quarter) {
    static const QRegularExpression fourDigits(QStringLiteral("^[0-9]{4}$"));
    return fourDigits.match(year).hasMatch() && quarter.size() == 1 &&
           !db::Query(QStringLiteral("select id from Torzs_Negyedev where id = ?"), {quarter})
                .eof();
}

// Runs an operation on the period in the working folder's database; a period that is none is
// refused with the usage and exit status 2 before anything is done.
int onPeriod(const QString& usage, const QString& year, const QString& quarter,
             const std::function<int()>& operation) {
    return onDatabase([&] {
        if (!isPeriod(year, quarter))
            return usageError(usage, kUsageStatus);
        return operation();
    });
}

// The period's report when it is ready to leave; otherwise the reason is printed and nothing is
// given. action: what cannot be done ("küldhető el").
std::optional<exporting::SavedReport> readyReport(const QString& year, const QString& quarter,
                                                  const QString& action) {
    const exporting::Readiness readiness = exporting::reportReadiness(year, quarter);
    if (readiness.ready())
        return readiness.report;
    print(stderr, exporting::notReadyText(year, quarter, action, readiness));
    return std::nullopt;
}

// Sends the period's report files and archives them as the send window does; exit status 0 only
// when every file went. A report that is not ready is refused, and one already sent as it is
// is not sent again unless asked, so that a nightly job may save and send every night.
int send(const QString& year, const QString& quarter, bool again) {
    // The toolkit's own texts that reach the output (a certificate's reasons) in Hungarian, as in
    // the windows; no other command prints any.
    platform::installToolkitTranslation();
    return onPeriod(QStringLiteral("--send ÉV NEGYEDÉV [--again]"), year, quarter, [&] {
        const auto report = readyReport(year, quarter, QStringLiteral("küldhető el"));
        if (!report)
            return 1;
        if (const auto sent = overview::sentReport(*report); sent && !again) {
            print(stdout, QStringLiteral("A(z) %1. év %2. negyedév jelentését %3-kor már "
                                         "elküldte (%4); újra az --again kapcsolóval küldhető.")
                              .arg(year, quarter, sent->at.toString(u"yyyy.MM.dd. hh:mm"),
                                   QDir::toNativeSeparators(sent->path)));
            return 0;
        }
        PrintedSendLog log;
        transmission::SendRun run(year, quarter, log);
        run.run();
        print(run.failed() ? stderr : stdout, run.closingMessage());
        return run.failed() ? 1 : 0;
    });
}

// Prints the period's cover notes on the default printer as the send window's print button does,
// with a warning on the error output while the addressee is the shipped placeholder.
int printCoverNotes(const QString& year, const QString& quarter,
                    const CoverNotePrinting& printing) {
    return onPeriod(QStringLiteral("--print ÉV NEGYEDÉV"), year, quarter, [&] {
        if (!readyReport(year, quarter, QStringLiteral("nyomtatható")))
            return 1;
        if (const auto placeholders = platform::addresseePlaceholderWarning())
            print(stderr, QStringLiteral("Figyelmeztetés: ") + *placeholders);
        print(stdout, printing.print(year, quarter));
        return 0;
    });
}

// The copy's log on the standard output, its warnings on the error output; no one is there to be
// asked for a medium.
class PrintedCopyLog : public transmission::MediaCopyObserver {
    void logLine(const QString& line) override { print(stdout, line); }
    void warn(const QString& text) override { print(stderr, text); }
};

// Copies the period's report files into folder as the copy to the removable medium does; exit
// status 0 when every one was copied.
int copyToFolder(const QString& year, const QString& quarter, const QString& folder) {
    const QString medium = QFileInfo(folder).absoluteFilePath();
    return onPeriod(QStringLiteral("--copy ÉV NEGYEDÉV MAPPA"), year, quarter, [&] {
        if (!readyReport(year, quarter, QStringLiteral("másolható")))
            return 1;
        PrintedCopyLog log;
        transmission::FloppyCopy copy(year, quarter, log, medium);
        if (!copy.FloppyPresent()) {
            print(stderr,
                  QStringLiteral("A mappa nem érhető el: ") + QDir::toNativeSeparators(medium));
            return 1;
        }
        return copy.MasolasFloppyra() ? 0 : 1;
    });
}

// The save run's log on the standard output, each line as the main window shows it.
class PrintedSaveRun : public exporting::SaveRunObserver {
public:
    void logLine(const QString& line, bool /*error*/) override { print(stdout, line); }
    void finished(bool sendable) override { sendable_ = sendable; }
    bool sendable() const { return sendable_; }

private:
    bool sendable_ = false;
};

// Writes the period's report files as the main window's save item does, printing its log; exit
// status 0 only when the run ended with its files ready to be sent. A period without any
// data-provider record is refused before the files of the last run are deleted.
int savePeriod(const QString& year, const QString& quarter) {
    return onPeriod(QStringLiteral("--save ÉV NEGYEDÉV"), year, quarter, [&] {
        if (db::Query(QStringLiteral("select 1 from AdatlapInt where Adatszolgev = ? and "
                                     "Adatszolgnegyedev = ? limit 1"),
                      {year, quarter})
                .eof()) {
            print(stderr, QStringLiteral("A(z) %1. év %2. negyedévére nincs adatlap; nem történt "
                                         "mentés.")
                              .arg(year, quarter));
            return 1;
        }
        PrintedSaveRun printed;
        exporting::Ment(printed, year, quarter);
        return printed.sendable() ? 0 : 1;
    });
}

// Writes the period's listings as workbooks into Listak/, printing each file's path; a period
// without a data provider is refused with exit status 1.
int writeWorkbooks(const QString& year, const QString& quarter) {
    return onDatabase([&] {
        const QStringList written = exporting::writeListingWorkbooks(year, quarter);
        for (const QString& name : written)
            print(stdout, QDir::toNativeSeparators(exporting::kListingFolder + name));
        if (written.isEmpty())
            print(stderr, exporting::noListingText(year, quarter));
        return written.isEmpty() ? 1 : 0;
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

// A command of the command line: its option, the operands its usage line shows after it and
// what it does.
struct Command {
    const QString& option;
    const char* valueName;  // of the option's first operand; none for a flag
    const char* usage;      // the operands after the option
    const char* description;
};

const QList<Command>& commands() {
    static const QList<Command> all{
        {kSave, "ÉV NEGYEDÉV", "ÉV NEGYEDÉV",
         "Elkészíti az ÉV NEGYEDÉV jelentésfájljait, mint a Mentés menü, és kiírja a naplóját; "
         "1-es kóddal lép ki, ha a mentés hibával végződött."},
        {kCheck, "ÉV NEGYEDÉV", "ÉV NEGYEDÉV",
         "Kilistázza az ÉV NEGYEDÉV minden hibáját (a lista a Listak mappába is kikerül); hiba "
         "esetén 1-es kóddal lép ki."},
        {kListing, "ÉV NEGYEDÉV", "ÉV NEGYEDÉV",
         "Az ÉV NEGYEDÉV beszerzési listáit táblázatkezelőben megnyitható munkafüzetként "
         "(.xlsx) is kiírja a Listak mappába, adatszolgáltatónként egyet."},
        {kSend, "ÉV NEGYEDÉV", "ÉV NEGYEDÉV [--again]",
         "Elküldi az ÉV NEGYEDÉV kész jelentésének állományait az FTP szerverre, és archiválja "
         "őket a kuldes mappában; ha valamelyik nem ment el, 1-es kóddal lép ki. A változatlanul "
         "már elküldött jelentést csak az --again kapcsolóval küldi el újra."},
        {kPrint, "ÉV NEGYEDÉV", "ÉV NEGYEDÉV",
         "Kinyomtatja az ÉV NEGYEDÉV kísérőjegyzékeit a beállított vagy az alapértelmezett "
         "nyomtatón; ha nincs nyomtató, vagy az nem fogadja a feladatot, 1-es kóddal lép ki."},
        {kCopy, "ÉV NEGYEDÉV MAPPA", "ÉV NEGYEDÉV MAPPA",
         "Az ÉV NEGYEDÉV jelentésállományait tömörítés nélkül a MAPPA-ba másolja, mint a "
         "floppyra másolás."},
        {kCarryForward, "ADÓSZÁM ÉV NEGYEDÉV", "ADÓSZÁM ÉV NEGYEDÉV",
         "Az ADÓSZÁM ÉV NEGYEDÉV adatlapját beszerzési tételeivel együtt átveszi a következő "
         "negyedévre."},
        {kImportItems, "CSV-FÁJL", "CSV-FÁJL ADÓSZÁM ÉV NEGYEDÉV [--allow-duplicates]",
         "A CSV-fájl beszerzési tételeit az ADÓSZÁM ÉV NEGYEDÉV adatlaphoz importálja; hiba "
         "esetén semmit sem tárol. Az --allow-duplicates az adatlapon már szereplő tételekkel "
         "egyező sorokat is importálja."},
        {kImportCodes, "MAPPA", "MAPPA [--force]",
         "A program adatbázisának kódtábláit lecseréli a MAPPA kódtábla-fájljaira (<tábla>.tsv); "
         "a tárolt adatok megmaradnak. A --force akkor is lecseréli őket, ha tárolt adat "
         "hivatkozik a belőlük elhagyott kódokra."},
        {kBackup, nullptr, "[FÁJL]",
         "Biztonsági mentést készít az adatbázisról a FÁJL-ba, vagy ha nincs megadva, az "
         "Adatok/mentes mappába."},
        {kRestore, "FÁJL", "FÁJL",
         "Ellenőrzi a FÁJL-t, és ha ép adatbázisa a programnak, az adatbázis mentése után a "
         "helyére tölti."},
        {kForce, nullptr, nullptr, nullptr},
        {kAllowDuplicates, nullptr, nullptr, nullptr},
        {kAgain, nullptr, nullptr, nullptr},
        {kHelp, nullptr, "", "Kiírja ezt a leírást."},
        {kVersion, nullptr, "", "Kiírja a program változatát."},
    };
    return all;
}

// The text split into lines of at most width characters, each indented.
QString wrapped(const QString& text, qsizetype indent, qsizetype width) {
    QString lines;
    QString line;
    for (const QString& word : text.split(u' ')) {
        if (!line.isEmpty() && line.size() + 1 + word.size() > width) {
            lines += QString(indent, u' ') + line + u'\n';
            line.clear();
        }
        line += (line.isEmpty() ? QString() : QStringLiteral(" ")) + word;
    }
    return lines + QString(indent, u' ') + line + u'\n';
}

// The help in the program's words: one usage line per command, then what each does.
QString helpText() {
    QString usage = QStringLiteral("Használat:\n  velkor  (az ablakok)\n");
    QString described = QStringLiteral("\nParancsok:\n");
    for (const Command& command : commands()) {
        if (command.usage == nullptr)
            continue;
        const QString line = QStringLiteral("velkor --") + command.option +
                             (*command.usage ? u' ' + QString::fromUtf8(command.usage) : QString());
        usage += QStringLiteral("  ") + line + u'\n';
        described += QStringLiteral("  ") + line + u'\n' +
                     wrapped(QString::fromUtf8(command.description), 6, 72);
    }
    return QStringLiteral("Vélkor statisztika %1\n\n").arg(QCoreApplication::applicationVersion()) +
           usage + described + u'\n' +
           platform::whereDataLives(platform::layoutFor(QCoreApplication::applicationDirPath())) +
           u'\n';
}

// What was wrong with the command line, in the program's words, and where the help is.
int commandLineError(const QCommandLineParser& parser) {
    const QStringList unknown = parser.unknownOptionNames();
    const QString dashes = unknown.value(0).size() > 1 ? QStringLiteral("--") : QStringLiteral("-");
    print(stderr,
          (unknown.isEmpty()
               ? QStringLiteral("Hiányzó érték a parancssorban.")
               : QStringLiteral("Ismeretlen kapcsoló: %1%2.").arg(dashes, unknown.first())) +
              QStringLiteral(" A parancsok leírása: velkor --help"));
    return 1;
}

// A command's output is read by scripts and scheduled jobs: it holds the program's own lines, not
// the toolkit's remarks on the session it runs in (no runtime folder, no display). Its critical
// messages still go to the error output.
void toolkitCriticalOnly(QtMsgType type, const QMessageLogContext& /*context*/,
                         const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        print(stderr, message);
}

}  // namespace

std::optional<int> runCommandLine(int argc, char* argv[], const CoverNotePrinting* printing) {
    if (!asksForCommand(argc, argv) || (asksToPrint(argc, argv) && printing == nullptr))
        return std::nullopt;
    // A scheduled job's log shows each line as it comes, and stopping the job ends the run at
    // its next safe point.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    platform::installStopSignals();
    qInstallMessageHandler(toolkitCriticalOnly);
    const auto application = printing && asksToPrint(argc, argv)
                                 ? printing->application(argc, argv)
                                 : std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication::setApplicationVersion(QStringLiteral(VK_VERSION));
    QCommandLineParser parser;
    for (const Command& command : commands()) {
        QCommandLineOption option(command.option);
        if (command.valueName)
            option.setValueName(QString::fromUtf8(command.valueName));
        parser.addOption(option);
    }
    parser.addOption(QCommandLineOption(QStringLiteral("h")));
    parser.addOption(QCommandLineOption(QStringLiteral("v")));
    if (!parser.parse(QCoreApplication::arguments()))
        return commandLineError(parser);
    if (parser.isSet(kHelp) || parser.isSet(QStringLiteral("h"))) {
        std::fputs(helpText().toUtf8().constData(), stdout);
        return 0;
    }
    if (parser.isSet(kVersion) || parser.isSet(QStringLiteral("v"))) {
        print(stdout, QStringLiteral("velkor ") + QCoreApplication::applicationVersion());
        return 0;
    }
    if (parser.isSet(kBackup))
        return backUp(parser.positionalArguments());
    if (parser.isSet(kRestore))
        return restore(parser.value(kRestore));
    if (parser.isSet(kImportItems))
        return importItems(parser.value(kImportItems), parser.positionalArguments(),
                           {.allowDuplicates = parser.isSet(kAllowDuplicates)});
    if (parser.isSet(kCheck)) {
        const auto period = operands(parser, kCheck, 2);
        if (!period)
            return usageError(QStringLiteral("--check ÉV NEGYEDÉV"));
        return checkPeriod(period->at(0), period->at(1));
    }
    if (parser.isSet(kSend)) {
        const auto period = operands(parser, kSend, 2);
        if (!period)
            return usageError(QStringLiteral("--send ÉV NEGYEDÉV [--again]"), kUsageStatus);
        return send(period->at(0), period->at(1), parser.isSet(kAgain));
    }
    if (parser.isSet(kPrint)) {
        const auto period = operands(parser, kPrint, 2);
        if (!period)
            return usageError(QStringLiteral("--print ÉV NEGYEDÉV"), kUsageStatus);
        return printCoverNotes(period->at(0), period->at(1), *printing);
    }
    if (parser.isSet(kCopy)) {
        const auto operand = operands(parser, kCopy, 3);
        if (!operand)
            return usageError(QStringLiteral("--copy ÉV NEGYEDÉV MAPPA"), kUsageStatus);
        return copyToFolder(operand->at(0), operand->at(1), operand->at(2));
    }
    if (parser.isSet(kSave)) {
        const auto period = operands(parser, kSave, 2);
        if (!period)
            return usageError(QStringLiteral("--save ÉV NEGYEDÉV"), kUsageStatus);
        return savePeriod(period->at(0), period->at(1));
    }
    if (parser.isSet(kCarryForward)) {
        const auto key = operands(parser, kCarryForward, 3);
        if (!key)
            return usageError(QStringLiteral("--carry-forward ADÓSZÁM ÉV NEGYEDÉV"));
        return carryForward({key->at(0), key->at(1), key->at(2)});
    }
    if (parser.isSet(kListing)) {
        const auto period = operands(parser, kListing, 2);
        if (!period)
            return usageError(QStringLiteral("--listing ÉV NEGYEDÉV"));
        return writeWorkbooks(period->at(0), period->at(1));
    }
    return importCodes(parser.value(kImportCodes), parser.isSet(kForce));
}

}  // namespace app
