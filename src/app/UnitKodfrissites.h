#pragma once

#include "codetables/import_codes.h"

#include <QDialog>

class QListWidget;
class QPushButton;

// Shown once after the code tables were refreshed at start: the stored records and items that
// refer to codes no longer present, for the user to read and correct.
class TFormKodfrissites : public QDialog {
    Q_OBJECT
public:
    explicit TFormKodfrissites(const codetables::ImportReport& report, QWidget* parent = nullptr);

    QListWidget* ListBox_hivatkozasok = nullptr;
    QPushButton* Button_bezaras = nullptr;
};
