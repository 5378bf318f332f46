#pragma once

#include "caption_period.h"

#include <QMainWindow>

#include <functional>
#include <memory>
#include <optional>

class QAction;
class QDialog;
class QLabel;
class QListWidget;
class QMenu;
class QMenuBar;
class QProgressBar;

// The main window: owns the menu from which every function starts, and shows the save run's log,
// gauge and step label.
class TFormFo : public QMainWindow {
    Q_OBJECT
public:
    explicit TFormFo(QWidget* parent = nullptr);

    // Rebuilds the save menu's year and quarter items from the purchase items present.
    void CreateSaveMenu();

    QMenuBar* MainMenu_ZovavaZuvi = nullptr;
    QListWidget* ListBox1 = nullptr;
    QProgressBar* Gauge1 = nullptr;
    QLabel* Label1 = nullptr;

    QAction* TMenuItem_AszolgInt = nullptr;
    QAction* TMenuItem_Beszerzes = nullptr;
    QMenu* TMenuItem_Mentes = nullptr;
    QMenu* TMenuItem_Kuldes = nullptr;
    QAction* TMenuItem_KuldesInterneten = nullptr;
    QAction* TMenuItem_MasoalsFloppyra = nullptr;
    QAction* TMenuItem_KisJegyz = nullptr;
    QAction* TMenuItem_Kilepes = nullptr;
    QAction* TMenuItem_About = nullptr;
    QMenu* TMenuItem_Eszkozok = nullptr;
    QAction* TMenuItem_Atvetel = nullptr;
    QAction* TMenuItem_Import = nullptr;
    QAction* TMenuItem_Ellenorzes = nullptr;
    QAction* TMenuItem_Mentesek = nullptr;
    QAction* TMenuItem_Attekintes = nullptr;
    QAction* TMenuItem_Munkafuzet = nullptr;
    QAction* TMenuItem_Adatmappa = nullptr;

public Q_SLOTS:
    void TMenuItem_AszolgIntClick();
    void AdatlapBRexecute();
    void TMenuItem_AboutClick();
    void Kilpsaprogrambl1Click();
    void TMenuItem_KisJegyzClick();
    // Copies the report files of the last save run to the removable medium.
    void MasolasFloppyra();
    // The save run of the clicked quarter item.
    void Ment(QAction* sender);
    // The send run of the period the Send entry carries; the entry is disabled afterwards.
    void Kuldes();
    // Carries a data-provider record with its items into the next quarter; the save menu is
    // rebuilt afterwards.
    void TMenuItem_AtvetelClick();
    // Lists every problem of a chosen year and quarter.
    void TMenuItem_EllenorzesClick();
    // "Beszerzések importálása": the import window in the editors' sequence, so the save menu
    // shows an imported period afterwards.
    void BeszerzesImportExecute();
    // "Biztonsági mentések"; after a restore the save menu is rebuilt and the send and
    // cover-note entries wait for the next save run.
    void TMenuItem_MentesekClick();
    // "Negyedév áttekintése"; a step chosen in it runs its command once the window has closed.
    void TMenuItem_AttekintesClick();
    // "Beszerzési listák táblázatként": the period's listings as workbooks, opened.
    void TMenuItem_MunkafuzetClick();
    // The overview at start, while the newest quarter is not sent (and the settings allow it).
    void showOverviewAtStart();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    void createMenu();
    void createToolsMenu();
    void FormCreate();
    // Puts an empty menu in the place of the save menu, whose entries are destroyed with it.
    void replaceSaveMenu();
    // The entries "Küldés" and "Kísérőjegyzék nyomtatása" carry the last save run's period and
    // are enabled while its report is ready to leave.
    void showLastReport();
    void setReportEntriesEnabled(bool enabled);
    // After a command that may have changed the period's data: the entries stay enabled only
    // while the report of their period is ready.
    void keepReportEntriesWhileReady();
    // Whether the report of the entries' period may leave; when it may not, the entries are
    // disabled and the user is told why. action: what cannot be done ("küldhető el").
    bool reportReady(const QString& action);
    // The period of the last save run; nothing before one.
    std::optional<app::Period> savedPeriod() const;
    // A line of the copy or the printing in the log list, which is shown for it.
    void showLogLine(const QString& line);
    // The editors' sequence: disable the send and cover-note entries, open the editor modally
    // while the main window is minimised, then rebuild the save menu.
    void openEditor(const std::function<std::unique_ptr<QDialog>()>& create);
    // Creates a window afresh, shows it modally while the main window is minimised, destroys it.
    // What is to be prepared once the main window is minimised comes with prepare.
    void showModal(const std::function<std::unique_ptr<QDialog>()>& create,
                   const std::function<void(QDialog&)>& prepare = {});
    // Shows a client area of that size, wider when the menu needs more room for one line.
    void resizeClient(QSize client);
    // The width of a menu bar that holds every entry on one line.
    int oneLineMenuWidth() const;

    QSize client_;  // the client area asked for
};
