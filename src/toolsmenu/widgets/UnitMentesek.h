#pragma once

#include "backup/backups.h"

#include <QDialog>
#include <QList>

#include <functional>

class QPushButton;
class QTreeWidget;

// "Biztonsági mentések": the backups of the database with what each holds; taking one now,
// putting one back, and the same with a file anywhere (to move to another computer).
class TFormMentesek : public QDialog {
    Q_OBJECT
public:
    explicit TFormMentesek(QWidget* parent = nullptr);

    QTreeWidget* ListView_mentesek = nullptr;
    QPushButton* Button_mentes = nullptr;
    QPushButton* Button_visszatoltes = nullptr;
    QPushButton* Button_mentesfajlba = nullptr;
    QPushButton* Button_visszatoltesfajlbol = nullptr;
    QPushButton* Button_kilepes = nullptr;

    // Asks for a file to write a backup to (forSaving) or to restore from; empty when the user
    // cancels. A file dialog unless replaced.
    std::function<QString(bool forSaving)> chooseFile;

public Q_SLOTS:
    void Button_mentesClick();
    void Button_visszatoltesClick();
    void Button_mentesfajlbaClick();
    void Button_visszatoltesfajlbolClick();

Q_SIGNALS:
    // The database now holds what a backup held.
    void restored();

private:
    void loadBackups();
    // Asks whether to put the file's contents in the database's place, and does so.
    void offerRestore(const QString& file, const QString& what);
    QString chooseInDialog(bool forSaving);

    QList<backup::BackupFile> backups_;
};
