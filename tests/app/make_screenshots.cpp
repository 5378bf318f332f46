// Not a test: makes the screenshots of docs/ on a fresh copy of the shipped database, as a user
// would see the windows. Run by scripts/screenshots.sh under a virtual X server; the folder to
// write into is its one argument.

#include "app/UnitFo.h"
#include "db/query.h"
#include "db/widgets/bound_line_edit.h"
#include "db/widgets/bound_lookup_combo_box.h"
#include "institution/UnitAdatlapInt.h"
#include "support/program_folder.h"
#include "support/user_input.h"
#include "tools/UnitEllenorzes.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include <cstdio>

namespace {

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

// A data file of an earlier period that the user marked read-only: the save run keeps it and
// says so in its log.
void protectOldFile() {
    QFile old(QStringLiteral("text/2007_2_12345676_BI.txt"));
    if (old.open(QIODevice::WriteOnly))
        old.close();
    old.setPermissions(QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
}

bool save(QWidget& window, const QString& path) {
    QTest::qWait(100);  // the window takes the size its menu asks for
    const bool saved = window.grab().save(path);
    std::printf("%s %s\n", saved ? "wrote" : "could not write", qPrintable(path));
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

bool institutionEditorEditing(const QString& path) {
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
    return save(editor, path);
}

// The period check of the period inserted above, with its list of problems.
bool periodCheckListed(const QString& path) {
    TFormEllenorzes window;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return false;
    window.ComboBox_negyedev->setCurrentText(QStringLiteral("3"));
    window.Button_ellenorzes->click();
    return save(window, path);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Hungarian, QLocale::Hungary));
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs"));
    const QString mainWindowPath =
        out.absoluteFilePath(QStringLiteral("main_window_after_save.png"));
    const QString editorPath =
        out.absoluteFilePath(QStringLiteral("institution_editor_editing.png"));
    testsupport::ProgramFolder folder;
    insertPeriod();
    protectOldFile();
    const bool made = mainWindowAfterSave(mainWindowPath) && institutionEditorEditing(editorPath) &&
                      periodCheckListed(out.absoluteFilePath(QStringLiteral("period_check.png")));
    return made ? 0 : 1;
}
