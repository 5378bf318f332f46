#pragma once

class QWidget;

namespace CheckMethods {

// Switches a group panel and every control sitting directly on it.
void SetPanelEnabled(QWidget* panel, bool enabled);

}  // namespace CheckMethods
