#include "panel.h"

#include <QWidget>

namespace CheckMethods {

void SetPanelEnabled(QWidget* panel, bool enabled) {
    panel->setEnabled(enabled);
    for (auto* control : panel->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        control->setEnabled(enabled);
}

}  // namespace CheckMethods
