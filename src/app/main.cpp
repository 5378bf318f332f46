#include "startup.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("velkor"));
    QApplication::setApplicationDisplayName(QStringLiteral("Vélkor statisztika"));
    return app::run();
}
