#include "UnitFo.h"

#include "UnitAbout.h"
#include "accelerators.h"
#include "caption_period.h"
#include "db/connection.h"
#include "db/query.h"
#include "export/common.h"
#include "export/listing_workbook.h"
#include "export/save_run.h"
#include "export/saved_report.h"
#include "institution/widgets/UnitAdatlapInt.h"
#include "overview/widgets/UnitAttekintes.h"
#include "platform/failure.h"
#include "platform/message_box.h"
#include "platform/settings.h"
#include "platform/widgets/guide.h"
#include "platform/widgets/printer.h"
#include "platform/widgets/window_placement.h"
#include "purchase/widgets/UnitAdatlapBR.h"
#include "purchase/widgets/UnitBeszerzesImport.h"
#include "save_run_view.h"
#include "toolsmenu/widgets/UnitAtvetel.h"
#include "toolsmenu/widgets/UnitEllenorzes.h"
#include "toolsmenu/widgets/UnitMentesek.h"
#include "transmission/widgets/UnitKuldes.h"
#include "transmission/widgets/lap1nyom.h"
#include "transmission/widgets/media_copy_view.h"

#include <QAction>
#include <QCloseEvent>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLayout>
#include <QListWidget>
#include <QMenuBar>
#include <QProgressBar>
#include <QStyle>

#include <algorithm>

namespace {

// The client area at rest; while the save run shows its log it grows to hold the log list, the
// step label and the gauge.
constexpr QSize kRestingSize(704, 98);
constexpr QSize kLogSize(705, 300);
constexpr int kGaugeHeight = 23;

}  // namespace

TFormFo::TFormFo(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("FormFo"));
    platform::addGuideKey(this, QStringLiteral("foablak"));
    setWindowTitle(QString::fromUtf16(platform::kApplicationTitle));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    // The shared connection opens while the window's components are created.
    db::openConnection();
    createControls();
    createMenu();
    FormCreate();
}

void TFormFo::createControls() {
    auto* client = new QWidget(this);
    setCentralWidget(client);
    ListBox1 = new QListWidget(client);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setGeometry(0, 0, 705, 233);
    ListBox1->hide();
    ListBox1->installEventFilter(this);
    Label1 = new QLabel(client);
    Label1->setObjectName(QStringLiteral("Label1"));
    // The step label has the room of its row between the log list and the gauge, so every step
    // text shows whole, whatever the label held when it was first shown.
    Label1->setGeometry(16, 250, kLogSize.width() - 16, kLogSize.height() - kGaugeHeight - 250);
    Label1->hide();
    Gauge1 = new QProgressBar(client);
    Gauge1->setObjectName(QStringLiteral("Gauge1"));
    Gauge1->setValue(0);
    Gauge1->hide();
    Gauge1->installEventFilter(this);
    resizeClient(kRestingSize);
}

void TFormFo::createMenu() {
    auto* bar = menuBar();
    MainMenu_ZovavaZuvi = bar;
    bar->setObjectName(QStringLiteral("MainMenu_ZovavaZuvi"));
    auto addItem = [bar](const QString& caption, const char* name) {
        auto* action = bar->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    // "Beszerzés" gets its command with its own window.
    TMenuItem_AszolgInt =
        addItem(QStringLiteral("Adatszolgáltató intézmény"), "TMenuItem_AszolgInt");
    connect(TMenuItem_AszolgInt, &QAction::triggered, this, &TFormFo::TMenuItem_AszolgIntClick);
    TMenuItem_Beszerzes = addItem(QStringLiteral("Beszerzés"), "TMenuItem_Beszerzes");
    connect(TMenuItem_Beszerzes, &QAction::triggered, this, &TFormFo::AdatlapBRexecute);
    TMenuItem_Mentes = bar->addMenu(QStringLiteral("Mentés"));
    TMenuItem_Mentes->setObjectName(QStringLiteral("TMenuItem_Mentes"));
    app::assignAcceleratorsOnOpen(TMenuItem_Mentes);

    TMenuItem_Kuldes = bar->addMenu(QStringLiteral("Küldés"));
    TMenuItem_Kuldes->setObjectName(QStringLiteral("TMenuItem_Kuldes"));
    TMenuItem_Kuldes->menuAction()->setEnabled(false);
    TMenuItem_KuldesInterneten = TMenuItem_Kuldes->addAction(QStringLiteral("Küldés Interneten"));
    TMenuItem_KuldesInterneten->setObjectName(QStringLiteral("TMenuItem_KuldesInterneten"));
    connect(TMenuItem_KuldesInterneten, &QAction::triggered, this, &TFormFo::Kuldes);
    TMenuItem_MasoalsFloppyra = TMenuItem_Kuldes->addAction(QStringLiteral("Másolás Floppy-ra"));
    TMenuItem_MasoalsFloppyra->setObjectName(QStringLiteral("TMenuItem_MasoalsFloppyra"));
    connect(TMenuItem_MasoalsFloppyra, &QAction::triggered, this, &TFormFo::MasolasFloppyra);
    app::assignAcceleratorsOnOpen(TMenuItem_Kuldes);

    TMenuItem_KisJegyz = addItem(QStringLiteral("Kísérőjegyzék nyomtatása"), "TMenuItem_KisJegyz");
    connect(TMenuItem_KisJegyz, &QAction::triggered, this, &TFormFo::TMenuItem_KisJegyzClick);
    TMenuItem_Kilepes = addItem(QStringLiteral("Kilépés"), "TMenuItem_Kilepes");
    connect(TMenuItem_Kilepes, &QAction::triggered, this, &TFormFo::Kilpsaprogrambl1Click);
    TMenuItem_About = addItem(QStringLiteral("About"), "TMenuItem_About");
    connect(TMenuItem_About, &QAction::triggered, this, &TFormFo::TMenuItem_AboutClick);
    createToolsMenu();
    // The save run sets the captions of "Küldés" and "Kísérőjegyzék nyomtatása"; they keep a
    // letter to reach them by.
    app::assignAcceleratorsOnChange(bar);
    // A longer caption widens the window, so that every entry stays on the one line of the bar.
    bar->installEventFilter(this);
}

void TFormFo::createToolsMenu() {
    TMenuItem_Eszkozok = menuBar()->addMenu(QStringLiteral("Eszközök"));
    TMenuItem_Eszkozok->setObjectName(QStringLiteral("TMenuItem_Eszkozok"));
    auto addItem = [this](const QString& caption, const char* name) {
        auto* action = TMenuItem_Eszkozok->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    TMenuItem_Atvetel = addItem(QStringLiteral("Előző negyedév átvétele"), "TMenuItem_Atvetel");
    connect(TMenuItem_Atvetel, &QAction::triggered, this, &TFormFo::TMenuItem_AtvetelClick);
    TMenuItem_Import = addItem(QStringLiteral("Beszerzések importálása"), "TMenuItem_Import");
    connect(TMenuItem_Import, &QAction::triggered, this, &TFormFo::BeszerzesImportExecute);
    TMenuItem_Ellenorzes = addItem(QStringLiteral("Negyedév ellenőrzése"), "TMenuItem_Ellenorzes");
    connect(TMenuItem_Ellenorzes, &QAction::triggered, this, &TFormFo::TMenuItem_EllenorzesClick);
    TMenuItem_Mentesek = addItem(QStringLiteral("Biztonsági mentések"), "TMenuItem_Mentesek");
    connect(TMenuItem_Mentesek, &QAction::triggered, this, &TFormFo::TMenuItem_MentesekClick);
    TMenuItem_Attekintes = addItem(QStringLiteral("Negyedév áttekintése"), "TMenuItem_Attekintes");
    connect(TMenuItem_Attekintes, &QAction::triggered, this, &TFormFo::TMenuItem_AttekintesClick);
    TMenuItem_Munkafuzet =
        addItem(QStringLiteral("Beszerzési listák táblázatként (.xlsx)"), "TMenuItem_Munkafuzet");
    connect(TMenuItem_Munkafuzet, &QAction::triggered, this, &TFormFo::TMenuItem_MunkafuzetClick);
    TMenuItem_Adatmappa = addItem(QStringLiteral("Adatmappa megnyitása"), "TMenuItem_Adatmappa");
    connect(TMenuItem_Adatmappa, &QAction::triggered, this,
            [] { platform::openOnDesktop(QDir::currentPath()); });
    app::assignAcceleratorsOnOpen(TMenuItem_Eszkozok);
}

void TFormFo::FormCreate() {
    ListBox1->setFont(QFont(QStringLiteral("Courier New"), 10));
    platform::Printer::instance().setFont(QFont(QStringLiteral("Courier New"), 12));
    CreateSaveMenu();
    platform::runCommand([this] { showLastReport(); });
}

void TFormFo::showLastReport() {
    const std::optional<exporting::SavedReport> last = exporting::lastSavedReport();
    if (last) {
        TMenuItem_Kuldes->menuAction()->setText(app::sendCaption(last->year, last->quarter));
        TMenuItem_KisJegyz->setText(app::coverNoteCaption(last->year, last->quarter));
    }
    setReportEntriesEnabled(last && exporting::reportReadiness(last->year, last->quarter).ready());
}

void TFormFo::setReportEntriesEnabled(bool enabled) {
    TMenuItem_Kuldes->menuAction()->setEnabled(enabled);
    TMenuItem_KisJegyz->setEnabled(enabled);
}

void TFormFo::keepReportEntriesWhileReady() {
    if (!TMenuItem_Kuldes->menuAction()->isEnabled() && !TMenuItem_KisJegyz->isEnabled())
        return;
    const app::Period period = app::periodOfCaption(TMenuItem_Kuldes->menuAction()->text());
    if (!exporting::reportReadiness(period.year, period.quarter).ready())
        setReportEntriesEnabled(false);
}

bool TFormFo::reportReady(const QString& action) {
    const app::Period period = app::periodOfCaption(TMenuItem_Kuldes->menuAction()->text());
    const exporting::Readiness readiness = exporting::reportReadiness(period.year, period.quarter);
    if (readiness.ready())
        return true;
    setReportEntriesEnabled(false);
    platform::showWarning(exporting::notReadyText(period.year, period.quarter, action, readiness));
    return false;
}

void TFormFo::CreateSaveMenu() {
    platform::runCommand([this] {
        // The old entries go only after the year statement has run.
        db::Query years(
            QStringLiteral("select distinct(beszerzev) from AdatlapBR order by beszerzev"));
        replaceSaveMenu();
        for (; !years.eof(); years.next()) {
            const QString year = years.text(QStringLiteral("beszerzev"));
            auto* yearMenu = TMenuItem_Mentes->addMenu(QStringLiteral("Mentés ") + year);
            app::assignAcceleratorsOnOpen(yearMenu);
            db::Query quarters(QStringLiteral("select distinct(beszerznegyedev) from AdatlapBR "
                                              "where beszerzev = ? order by beszerznegyedev"),
                               {years.value(0)});
            for (; !quarters.eof(); quarters.next()) {
                const QString quarter = quarters.text(QStringLiteral("beszerznegyedev"));
                auto* item = yearMenu->addAction(QStringLiteral("Mentés ") + year + u'-' + quarter);
                connect(item, &QAction::triggered, this, [this, item] { Ment(item); });
            }
        }
    });
}

void TFormFo::replaceSaveMenu() {
    // A menu that once popped up without entries keeps a window of no size, which it never shows
    // again: the entries go into a fresh menu in the same place of the bar, under the same caption.
    QMenu* old = TMenuItem_Mentes;
    TMenuItem_Mentes = new QMenu(old->title(), this);
    TMenuItem_Mentes->setObjectName(old->objectName());
    app::assignAcceleratorsOnOpen(TMenuItem_Mentes);
    menuBar()->insertMenu(old->menuAction(), TMenuItem_Mentes);
    menuBar()->removeAction(old->menuAction());
    old->deleteLater();
}

void TFormFo::showModal(const std::function<std::unique_ptr<QDialog>()>& create,
                        const std::function<void(QDialog&)>& prepare) {
    std::unique_ptr<QDialog> window = create();
    showMinimized();
    if (prepare)
        prepare(*window);
    window->exec();
    window.reset();
    showNormal();
}

void TFormFo::openEditor(const std::function<std::unique_ptr<QDialog>()>& create) {
    platform::runCommand([&] {
        setReportEntriesEnabled(false);
        showModal(create);
        CreateSaveMenu();
    });
}

void TFormFo::TMenuItem_AszolgIntClick() {
    openEditor([this] { return std::make_unique<TFormAszolgInt>(this); });
}

void TFormFo::AdatlapBRexecute() {
    openEditor([this] { return std::make_unique<TFormAdatlapBR>(this); });
}

void TFormFo::BeszerzesImportExecute() {
    openEditor([this] { return std::make_unique<TFormBeszerzesImport>(this); });
}

void TFormFo::TMenuItem_AboutClick() {
    platform::runCommand(
        [this] { showModal([this] { return std::make_unique<TAboutBox>(this); }); });
}

void TFormFo::Kilpsaprogrambl1Click() {
    close();
}

std::optional<app::Period> TFormFo::savedPeriod() const {
    // The Send entry carries the period once there was a save run.
    const app::Period period = app::periodOfCaption(TMenuItem_Kuldes->menuAction()->text());
    if (period.year.size() == 4 && period.year.toInt() > 0)
        return period;
    return std::nullopt;
}

// The printing window does its work while it is created; the main window stays as it is. It prints
// the cover notes of the last save run, whose period the Send entry carries, while they are ready.
void TFormFo::TMenuItem_KisJegyzClick() {
    platform::runCommand([this] {
        if (!reportReady(QStringLiteral("nyomtatható")))
            return;
        const app::Period period = app::periodOfCaption(TMenuItem_Kuldes->menuAction()->text());
        TLap1nyom_Form printing(
            this, [this](const QString& line) { showLogLine(line); }, period.year, period.quarter);
    });
}

// The workbooks of the last save run's period, or of the newest quarter with records; the one
// workbook, or the folder of several, is handed to the desktop.
void TFormFo::TMenuItem_MunkafuzetClick() {
    platform::runCommand([this] {
        const overview::Quarter latest = overview::latestQuarter();
        const app::Period period =
            savedPeriod().value_or(app::Period{latest.yearText(), latest.quarterText()});
        const QStringList written = exporting::writeListingWorkbooks(period.year, period.quarter);
        if (written.isEmpty()) {
            platform::showWarning(exporting::noListingText(period.year, period.quarter));
            return;
        }
        for (const QString& name : written)
            showLogLine(QStringLiteral("Munkafüzet: ") +
                        QDir::toNativeSeparators(exporting::kListingFolder + name));
        const QString opened =
            exporting::kListingFolder + (written.size() == 1 ? written.first() : QString());
        platform::openOnDesktop(QFileInfo(opened).absoluteFilePath());
    });
}

void TFormFo::showLogLine(const QString& line) {
    ListBox1->show();
    ListBox1->addItem(line);
    ListBox1->scrollToBottom();
}

// The copy takes the period of the Send entry's caption; a report file of another period is
// named in the log. The gauge follows the copy while it stays hidden.
void TFormFo::MasolasFloppyra() {
    platform::runCommand([this] {
        if (!reportReady(QStringLiteral("másolható")))
            return;
        const app::Period period = app::periodOfCaption(TMenuItem_Kuldes->menuAction()->text());
        transmission::MediaCopyView view([this](const QString& line) { showLogLine(line); },
                                         [this](qint64 copied, qint64 size) {
                                             Gauge1->setMaximum(static_cast<int>(size));
                                             Gauge1->setValue(static_cast<int>(copied));
                                         });
        transmission::FloppyCopy(period.year, period.quarter, view).MasolasFloppyra();
    });
}

void TFormFo::Ment(QAction* sender) {
    platform::runCommand([&] {
        const app::Period period = app::periodOfCaption(sender->text());
        app::SaveRunView view(ListBox1, Gauge1, Label1, TMenuItem_Kuldes->menuAction(),
                              TMenuItem_KisJegyz);
        exporting::Ment(view, period.year, period.quarter);
    });
}

void TFormFo::Kuldes() {
    platform::runCommand([this] {
        if (!reportReady(QStringLiteral("küldhető el")))
            return;
        QAction* send = TMenuItem_Kuldes->menuAction();
        const app::Period period = app::periodOfCaption(send->text());
        // Creating the send window runs the send run, over the period's report files.
        bool failed = false;
        showModal(
            [&] { return std::make_unique<TFormKuldes>(this, period.year, period.quarter); },
            [&failed](QDialog& window) { failed = static_cast<TFormKuldes&>(window).SendFailed; });
        // A run that failed is to be tried again, as its message says, while the report is ready.
        send->setEnabled(failed && exporting::reportReadiness(period.year, period.quarter).ready());
    });
}

void TFormFo::TMenuItem_AtvetelClick() {
    platform::runCommand([this] {
        showModal([this] { return std::make_unique<TFormAtvetel>(this); });
        CreateSaveMenu();
        // The carried record may have gone into the saved quarter.
        keepReportEntriesWhileReady();
    });
}

void TFormFo::TMenuItem_EllenorzesClick() {
    platform::runCommand(
        [this] { showModal([this] { return std::make_unique<TFormEllenorzes>(this); }); });
}

void TFormFo::TMenuItem_MentesekClick() {
    platform::runCommand([this] {
        showModal([this] { return std::make_unique<TFormMentesek>(this); },
                  [this](QDialog& window) {
                      connect(static_cast<TFormMentesek*>(&window), &TFormMentesek::restored, this,
                              [this] {
                                  setReportEntriesEnabled(false);
                                  CreateSaveMenu();
                              });
                  });
    });
}

namespace {

// The save item of the quarter, when the save menu holds one.
QAction* saveItemOf(QMenu* saveMenu, const overview::Quarter& quarter) {
    for (QAction* year : saveMenu->actions()) {
        for (QAction* item : year->menu() ? year->menu()->actions() : QList<QAction*>()) {
            const app::Period period = app::periodOfCaption(item->text());
            if (period.year == quarter.yearText() && period.quarter == quarter.quarterText())
                return item;
        }
    }
    return nullptr;
}

}  // namespace

void TFormFo::TMenuItem_AttekintesClick() {
    platform::runCommand([this] {
        using overview::Step;
        // The send run and the copy take the files of the last save run, whose period the Send
        // entry carries.
        const auto delivered = [this](QAction* action, const overview::Quarter& quarter) {
            const QAction* send = TMenuItem_Kuldes->menuAction();
            const app::Period period = app::periodOfCaption(send->text());
            const bool ofQuarter = send->isEnabled() && period.year == quarter.yearText() &&
                                   period.quarter == quarter.quarterText();
            return ofQuarter ? action : nullptr;
        };
        const auto stepAction = [this, delivered](Step step,
                                                  const overview::Quarter& quarter) -> QAction* {
            switch (step) {
                case Step::Record:
                    return TMenuItem_AszolgInt;
                case Step::Items:
                    return TMenuItem_Beszerzes;
                case Step::Check:
                    return TMenuItem_Ellenorzes;
                case Step::Save:
                    return saveItemOf(TMenuItem_Mentes, quarter);
                case Step::Send:
                    return delivered(TMenuItem_KuldesInterneten, quarter);
                case Step::Print:
                    return TMenuItem_KisJegyz;
                case Step::Copy:
                    return delivered(TMenuItem_MasoalsFloppyra, quarter);
            }
            return nullptr;
        };
        QAction* chosen = nullptr;
        showModal([&] { return std::make_unique<TFormAttekintes>(this, stepAction); },
                  [&chosen](QDialog& window) {
                      connect(&window, &QDialog::finished, [&chosen, &window] {
                          chosen = static_cast<TFormAttekintes&>(window).chosenAction();
                      });
                  });
        if (chosen)
            chosen->trigger();
    });
}

void TFormFo::showOverviewAtStart() {
    platform::runCommand([this] {
        const std::optional<overview::Quarter> recorded = overview::recordedQuarter();
        if (platform::overviewAtStartSetting() && recorded && !overview::sentFolder(*recorded))
            TMenuItem_AttekintesClick();
    });
}

void TFormFo::closeEvent(QCloseEvent* event) {
    using platform::Button;
    // Only No cancels; closing the question from its title bar closes the program too.
    const Button answer = platform::showConfirmation(QStringLiteral("Biztosan bezárja a programot"),
                                                     {Button::Yes, Button::No});
    if (answer == Button::No)
        event->ignore();
    else
        event->accept();
}

bool TFormFo::eventFilter(QObject* watched, QEvent* event) {
    // The client area at rest is too small for the log; it grows when the save run shows it.
    if ((watched == ListBox1 || watched == Gauge1) && event->type() == QEvent::Show)
        resizeClient(kLogSize);
    // The bar lays its entries out anew once it has taken the change.
    if (watched == menuBar() &&
        (event->type() == QEvent::ActionChanged || event->type() == QEvent::ActionAdded))
        QMetaObject::invokeMethod(
            this, [this] { resizeClient(client_); }, Qt::QueuedConnection);
    return QMainWindow::eventFilter(watched, event);
}

int TFormFo::oneLineMenuWidth() const {
    // The bar places its entries one after the other from its left edge, also those it has no
    // room for.
    const QMenuBar* bar = menuBar();
    int right = 0;
    for (QAction* action : bar->actions())
        right = std::max(right, bar->actionGeometry(action).right() + 1);
    return right + bar->style()->pixelMetric(QStyle::PM_MenuBarHMargin, nullptr, bar) +
           bar->style()->pixelMetric(QStyle::PM_MenuBarPanelWidth, nullptr, bar);
}

void TFormFo::resizeClient(QSize client) {
    client_ = client;
    // The window keeps the size that its menu bar and client area need, and cannot be resized;
    // it is wider than the client area when the menu needs more room, and no wider than the
    // screen (the log list narrows with it).
    const QSize shown = QSize(std::max(client.width(), oneLineMenuWidth()), client.height())
                            .boundedTo(platform::clientRoom(this));
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    centralWidget()->setFixedSize(shown);
    ListBox1->resize(std::min(ListBox1->width(), shown.width()), ListBox1->height());
    Label1->resize(std::min(Label1->width(), shown.width() - Label1->x()), Label1->height());
    // The gauge is aligned to the bottom edge, full width.
    Gauge1->setGeometry(0, shown.height() - kGaugeHeight, shown.width(), kGaugeHeight);
}
