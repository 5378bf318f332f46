// Not a test: makes the screenshots of docs/ (the user guide's and the reference's) on a fresh copy
// of the shipped database, as a user would see the windows. Run by scripts/screenshots.sh under a
// virtual X server; the folder to write into is its one argument. Message boxes are answered
// without being shown, their texts printed.

#include "app/UnitAbout.h"
#include "app/UnitFo.h"
#include "backup/backups.h"
#include "db/query.h"
#include "db/widgets/bound_line_edit.h"
#include "db/widgets/bound_lookup_combo_box.h"
#include "ftp_test_server.h"
#include "institution/widgets/UnitAdatlapInt.h"
#include "overview/widgets/UnitAttekintes.h"
#include "pickers/UnitFa.h"
#include "pickers/UnitLista.h"
#include "platform/message_box.h"
#include "platform/settings.h"
#include "purchase/widgets/UnitBeszerzesImport.h"
#include "support/program_folder.h"
#include "support/user_input.h"
#include "toolsmenu/widgets/UnitAtvetel.h"
#include "toolsmenu/widgets/UnitEllenorzes.h"
#include "toolsmenu/widgets/UnitMentesek.h"
#include "transmission/ftp_client.h"
#include "transmission/widgets/UnitKuldes.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <cstdio>

namespace {

// Answers every box with its first button, OK where it has one.
class AnsweringMessages : public platform::MessageService {
public:
    platform::Button show(platform::MessageKind, const QString& text,
                          const platform::Buttons& buttons) override {
        std::printf("box: %s\n", qPrintable(text));
        const bool ok =
            std::find(buttons.begin(), buttons.end(), platform::Button::Ok) != buttons.end();
        return ok || buttons.empty() ? platform::Button::Ok : buttons.front();
    }
};

void insertPeriod() {
    const QList<std::pair<QString, QString>> providers{
        {QStringLiteral("12345676"), QStringLiteral("Városi Rendelőintézet")},
        {QStringLiteral("15489306"), QStringLiteral("Szent Lázár Kórház")}};
    for (const auto& [adosajat, name] : providers) {
        db::execute(QStringLiteral("insert into AdatlapInt (Adosajat, Intnev, Telepules, "
                                   "Adatszolgev, Adatszolgnegyedev) values (?, ?, 'Karcag', "
                                   "2007, '3')"),
                    {adosajat, name});
        db::execute(QStringLiteral("insert into AdatlapBR (Adosajat, Beszerzev, Beszerznegyedev, "
                                   "Tetelsorszam, Termszolgnev) values (?, 2007, '3', 1, "
                                   "'Fűtőolaj')"),
                    {adosajat});
    }
}

// The scaling factor the screenshots are made at; empty at 100 %.
QString scale() {
    return qEnvironmentVariable("QT_SCALE_FACTOR");
}

// The window alone; under a scaling factor the whole screen, the window on it, named with the
// factor.
bool save(QWidget& window, const QString& path) {
    QTest::qWait(100);  // the window takes the size its menu asks for
    const QString scaled = QFileInfo(path).path() + u'/' + QFileInfo(path).completeBaseName() +
                           QStringLiteral("-scale-") + scale() + QStringLiteral(".png");
    const bool saved =
        scale().isEmpty() ? window.grab().save(path) : window.screen()->grabWindow(0).save(scaled);
    std::printf("%s %s\n", saved ? "wrote" : "could not write",
                qPrintable(scale().isEmpty() ? path : scaled));
    return saved;
}

bool mainWindowAfterSave(const QString& path) {
    TFormFo window;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return false;
    Q_EMIT window.TMenuItem_Mentes->aboutToShow();
    QMenu* year = window.TMenuItem_Mentes->actions().value(0)->menu();
    Q_EMIT year->aboutToShow();
    year->actions().value(0)->trigger();
    return save(window, path);
}

// The picker a button of the institution editor opens, as it is shown.
bool pickerOpened(QPushButton* button, const QString& path) {
    bool saved = false;
    QTimer::singleShot(0, [&] {
        QWidget* picker = QApplication::activeModalWidget();
        if (auto* tree = picker->findChild<QTreeWidget*>()) {
            // Down to a sector of health care, chosen.
            const auto health = tree->findItems(QStringLiteral("Egészségügyi"),
                                                Qt::MatchStartsWith | Qt::MatchRecursive);
            for (QTreeWidgetItem* item = health.value(0); item && item->childCount() > 0;
                 item = item->child(0)) {
                tree->expandItem(item);
                tree->setCurrentItem(item->child(0));
            }
        }
        saved = save(*picker, path);
        picker->close();
    });
    button->click();
    return saved;
}

// The institution editor adding a record, then the pickers its buttons open.
bool institutionEditorAndPickers(const QDir& out) {
    TFormAszolgInt editor;
    editor.show();
    editor.activateWindow();
    if (!QTest::qWaitForWindowActive(&editor))
        return false;
    editor.Button_felvitel->click();
    testsupport::type(editor.DBEdit_adosajat, QStringLiteral("15489306"));
    testsupport::type(editor.DBEdit_Adatszolgev, QStringLiteral("2007"));
    testsupport::chooseKey(editor.DBLookupComboBox_adatszolgnegyedev, QStringLiteral("4"));
    testsupport::type(editor.DBEdit_intnev, QStringLiteral("Szent Lázár Kórház"));
    testsupport::chooseKey(editor.DBLookupComboBox_sz_megyekod, QStringLiteral("16"));
    testsupport::type(editor.DBEdit_sz_telepuleskod, QStringLiteral("04923"));
    testsupport::chooseKey(editor.DBLookupComboBox_irsz, QStringLiteral("5300"));
    testsupport::type(editor.DBEdit_utca, QStringLiteral("Kossuth tér"));
    testsupport::type(editor.DBEdit_hsz, QStringLiteral("12"));
    testsupport::type(editor.DBEdit_intag, QStringLiteral("8511"));
    testsupport::chooseKey(editor.DBLookupComboBox_gazdfor, QStringLiteral("11"));
    testsupport::type(editor.DBEdit_I_ANTSZkod, QStringLiteral("160100"));
    testsupport::type(editor.DBEdit_toltnev, QStringLiteral("Kiss Anna"));
    testsupport::type(editor.DBEdit_tolttel, QStringLiteral("06-59-312-456"));
    testsupport::type(editor.DBEdit_toltmail, QStringLiteral("kiss.anna@korhaz.hu"));
    testsupport::type(editor.DBEdit_vezetonev, QStringLiteral("Dr. Nagy Béla"));
    testsupport::type(editor.DBEdit_vezetotel, QStringLiteral("06-59-312-400"));
    testsupport::type(editor.DBEdit_vezetomail, QStringLiteral("nincs"));
    return save(editor, out.absoluteFilePath(u"institution_editor_editing.png"_qs)) &&
           (!scale().isEmpty() ||
            (pickerOpened(editor.Button_telepules, out.absoluteFilePath(u"list_picker.png"_qs)) &&
             pickerOpened(editor.Button_szakag, out.absoluteFilePath(u"tree_picker.png"_qs))));
}

// The send window after a run to a server that took every file, and after one to no server.
bool sendWindows(const QDir& out) {
    const auto account = transmission::collectingServerAccount();
    testsupport::FtpTestServer server(QStringLiteral("normal"), account.user, account.password);
    if (!server.isRunning())
        return std::printf("%s\n", qPrintable(server.error())), false;
    server.writeSettingsFile();
    const auto sendAndSave = [](const QString& path) {
        TFormKuldes window(nullptr, QStringLiteral("2007"), QStringLiteral("3"));
        window.show();
        return QTest::qWaitForWindowExposed(&window) && save(window, path);
    };
    if (!sendAndSave(out.absoluteFilePath(u"send_window_success.png"_qs)))
        return false;
    QFile::remove(platform::settingsFilePath());
    return sendAndSave(out.absoluteFilePath(u"send_window_failure.png"_qs));
}

// The import window after a file with a wrong row, listing the fault.
bool importWindowListed(const QString& path) {
    // In the program folder, so that the picture is the same at every run.
    const QString csv = QStringLiteral("tetelek.csv");
    QFile file(csv);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(
        QStringLiteral(
            "Beszerzés hónapja;Termék, vagyszolgáltatás;Azonosító;Termék/szolgáltatás "
            "megnevezése;Mennyiségi egység;Vásárolt mennyiség;Beszerzésiforrás;"
            "Felhasználási terület;Ártípus;Termék nettó egységára (Ft);Termék bázis "
            "egységára (Ft)\r\n"
            "július;Termék;1010;Amoxicillin 500 mg;darab (db);1 200;1;01;1;1 250,50;1 180\r\n"
            "augusztus;Termék;1010;Paracetamol 500 mg;darab (db);sok;1;01;1;80;75\r\n")
            .toUtf8());
    file.close();
    TFormBeszerzesImport window;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return false;
    window.ComboBox_intezmenyid->setCurrentIndex(0);
    window.Edit_fajl->setText(csv);
    window.Button_importalas->click();
    return save(window, path);
}

template <typename Window>
bool shown(const QString& path) {
    Window window;
    window.show();
    return QTest::qWaitForWindowExposed(&window) && save(window, path);
}

// The period check of the period inserted above, with its list of problems.
bool periodCheckListed(const QString& path) {
    // A seat whose postal code is not its settlement's is warned of.
    db::execute(
        QStringLiteral("update AdatlapInt set Sz_megyekod = '16', Sz_telepuleskod = "
                       "'04923', Irsz = '5000' where Adosajat = '12345676'"));
    TFormEllenorzes window;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return false;
    window.ComboBox_negyedev->setCurrentText(QStringLiteral("3"));
    window.Button_ellenorzes->click();
    return save(window, path);
}

// The quarter's overview over two quarters with priced items of three groups, after the period
// check.
bool quarterOverview(const QString& path) {
    struct Priced {
        int quarter;
        int number;
        const char* kind;
        const char* group;
        double price, basePrice;
        int quantity;
    };
    const Priced items[] = {
        {2, 2, "1", "1010", 1180, 1100, 1200},  {2, 3, "1", "1020", 640, 600, 300},
        {2, 4, "2", "2010", 185000, 180000, 3}, {3, 2, "1", "1010", 1250.5, 1100, 1200},
        {3, 3, "1", "1020", 655, 600, 320},     {3, 4, "2", "2010", 192000, 180000, 3}};
    for (const Priced& item : items)
        db::execute(QStringLiteral("insert into AdatlapBR (Adosajat, Beszerzev, Beszerznegyedev, "
                                   "Tetelsorszam, Termekszolg, Vtszszolgkod, Termszolgnev, "
                                   "Mennyisegiegyseg, Vasaroltmenny, Tegysegar, Bazisegysegar) "
                                   "values ('12345676', 2007, ?, ?, ?, ?, 'Tétel', '01', ?, ?, ?)"),
                    {QString::number(item.quarter), item.number, QString::fromLatin1(item.kind),
                     QString::fromLatin1(item.group), item.quantity, item.price, item.basePrice});
    QAction command;  // every step's button is shown as it is in the program
    TFormAttekintes window(
        nullptr, [&command](auto, auto&) { return &command; }, overview::Quarter{2007, 3});
    window.show();
    return QTest::qWaitForWindowExposed(&window) && save(window, path);
}

// The backups window over a backup taken just before.
bool backupsListed(const QString& path) {
    backup::backUpNow();
    return shown<TFormMentesek>(path);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Hungarian, QLocale::Hungary));
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs"));
    const QString mainWindowPath =
        out.absoluteFilePath(QStringLiteral("main_window_after_save.png"));
    testsupport::ProgramFolder folder;
    platform::MessageService::install(std::make_unique<AnsweringMessages>());
    insertPeriod();
    // Under a scaling factor the three key windows only.
    if (!scale().isEmpty())
        return mainWindowAfterSave(mainWindowPath) && institutionEditorAndPickers(out) &&
                       quarterOverview(out.absoluteFilePath(u"quarter_overview.png"_qs))
                   ? 0
                   : 1;
    const bool made = mainWindowAfterSave(mainWindowPath) && institutionEditorAndPickers(out) &&
                      periodCheckListed(out.absoluteFilePath(QStringLiteral("period_check.png"))) &&
                      sendWindows(out) &&
                      importWindowListed(out.absoluteFilePath(u"import_window.png"_qs)) &&
                      shown<TFormAtvetel>(out.absoluteFilePath(u"carry_forward.png"_qs)) &&
                      backupsListed(out.absoluteFilePath(u"backups.png"_qs)) &&
                      quarterOverview(out.absoluteFilePath(u"quarter_overview.png"_qs)) &&
                      shown<TAboutBox>(out.absoluteFilePath(u"about_box.png"_qs));
    return made ? 0 : 1;
}
