#include "UnitMentesek.h"

#include "platform/failure.h"
#include "platform/message_box.h"
#include "platform/widgets/guide.h"

#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QHeaderView>
#include <QLocale>
#include <QPushButton>
#include <QTreeWidget>

namespace {

const QString kFileFilter = QStringLiteral("Adatbázisok (*.mdb);;Minden fájl (*)");

}  // namespace

TFormMentesek::TFormMentesek(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FormMentesek"));
    setWindowTitle(QStringLiteral("Biztonsági mentések"));
    platform::addGuideKey(this, QStringLiteral("biztonsagi-mentesek"));
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    chooseFile = [this](bool forSaving) { return chooseInDialog(forSaving); };
    auto* layout = new QGridLayout(this);
    ListView_mentesek = new QTreeWidget(this);
    ListView_mentesek->setObjectName(QStringLiteral("ListView_mentesek"));
    ListView_mentesek->setAccessibleName(QStringLiteral("Biztonsági mentések"));
    ListView_mentesek->setRootIsDecorated(false);
    ListView_mentesek->setHeaderLabels({QStringLiteral("Időpont"), QStringLiteral("Adatlapok"),
                                        QStringLiteral("Tételek"), QStringLiteral("Méret")});
    ListView_mentesek->setMinimumSize(480, 240);
    layout->addWidget(ListView_mentesek, 0, 0, 1, 5);
    auto addButton = [this, layout](const QString& caption, const char* name, int column) {
        auto* button = new QPushButton(caption, this);
        button->setObjectName(QString::fromLatin1(name));
        layout->addWidget(button, 1, column);
        return button;
    };
    Button_mentes = addButton(QStringLiteral("Mentés most"), "Button_mentes", 0);
    Button_visszatoltes = addButton(QStringLiteral("Visszatöltés"), "Button_visszatoltes", 1);
    Button_mentesfajlba = addButton(QStringLiteral("Mentés fájlba…"), "Button_mentesfajlba", 2);
    Button_visszatoltesfajlbol =
        addButton(QStringLiteral("Visszatöltés fájlból…"), "Button_visszatoltesfajlbol", 3);
    Button_kilepes = addButton(QStringLiteral("Kilépés"), "Button_kilepes", 4);
    const auto command = [this](void (TFormMentesek::*handler)()) {
        return platform::commandSlot(this, handler);
    };
    connect(Button_mentes, &QPushButton::clicked, this,
            command(&TFormMentesek::Button_mentesClick));
    connect(Button_visszatoltes, &QPushButton::clicked, this,
            command(&TFormMentesek::Button_visszatoltesClick));
    connect(Button_mentesfajlba, &QPushButton::clicked, this,
            command(&TFormMentesek::Button_mentesfajlbaClick));
    connect(Button_visszatoltesfajlbol, &QPushButton::clicked, this,
            command(&TFormMentesek::Button_visszatoltesfajlbolClick));
    connect(Button_kilepes, &QPushButton::clicked, this, &QDialog::accept);
    loadBackups();
}

void TFormMentesek::loadBackups() {
    ListView_mentesek->clear();
    backups_ = backup::listBackups();
    const QLocale locale;
    for (const backup::BackupFile& file : backups_) {
        QStringList columns{backup::takenText(file.taken)};
        try {
            const backup::Contents contents = backup::contentsOf(file.path);
            columns << QString::number(contents.records) << QString::number(contents.items);
        } catch (const platform::Failure&) {
            // A backup the engine cannot read is listed, and refused when chosen.
            columns << QStringLiteral("?") << QStringLiteral("?");
        }
        columns << locale.formattedDataSize(file.size);
        ListView_mentesek->addTopLevelItem(new QTreeWidgetItem(columns));
    }
    if (!backups_.isEmpty())
        ListView_mentesek->setCurrentItem(ListView_mentesek->topLevelItem(0));
    ListView_mentesek->header()->resizeSections(QHeaderView::ResizeToContents);
    Button_visszatoltes->setEnabled(!backups_.isEmpty());
}

void TFormMentesek::Button_mentesClick() {
    const backup::BackupFile file = backup::backUpNow();
    loadBackups();
    platform::showMessage(QStringLiteral("A biztonsági mentés elkészült: ") +
                          QDir::toNativeSeparators(file.path));
}

void TFormMentesek::Button_visszatoltesClick() {
    const int chosen = ListView_mentesek->indexOfTopLevelItem(ListView_mentesek->currentItem());
    if (chosen < 0) {
        platform::showWarning(QStringLiteral("Válasszon biztonsági mentést!"));
        return;
    }
    const backup::BackupFile& file = backups_.at(chosen);
    offerRestore(file.path, QStringLiteral("a(z) %1-kor készült biztonsági mentést")
                                .arg(backup::takenText(file.taken)));
}

void TFormMentesek::Button_mentesfajlbaClick() {
    const QString file = chooseFile(true);
    if (file.isEmpty())
        return;
    backup::writeBackup(file);
    platform::showMessage(QStringLiteral("A biztonsági mentés elkészült: ") +
                          QDir::toNativeSeparators(file));
}

void TFormMentesek::Button_visszatoltesfajlbolClick() {
    const QString file = chooseFile(false);
    if (file.isEmpty())
        return;
    offerRestore(file, QStringLiteral("a(z) %1 fájlt").arg(QDir::toNativeSeparators(file)));
}

void TFormMentesek::offerRestore(const QString& file, const QString& what) {
    using platform::Button;
    try {
        backup::checkRestorable(file);
        const QString question =
            QStringLiteral(
                "Visszatölti %1 (%2)? Az adatbázis mostani tartalma előbb maga is "
                "mentésre kerül.")
                .arg(what, backup::describe(backup::contentsOf(file)));
        if (platform::showConfirmation(question, {Button::Yes, Button::No}) != Button::Yes)
            return;
        backup::restoreFrom(file, backup::warnInWindow);
    } catch (const backup::RestoreRefused& refused) {
        platform::showWarning(refused.text());
        return;
    }
    Q_EMIT restored();
    loadBackups();
    platform::showMessage(QStringLiteral("A visszatöltés megtörtént."));
}

QString TFormMentesek::chooseInDialog(bool forSaving) {
    if (forSaving)
        return QFileDialog::getSaveFileName(
            this, QStringLiteral("Mentés fájlba"),
            QDir::home().filePath(backup::backupFileName(QDateTime::currentDateTime())),
            kFileFilter);
    return QFileDialog::getOpenFileName(this, QStringLiteral("Visszatöltés fájlból"),
                                        QDir::homePath(), kFileFilter);
}
