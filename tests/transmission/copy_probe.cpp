// Run by test_floppy_copy: copies the report files of 2007/3 from the current folder into the
// folder given, as the copy to the removable medium does. After every block it prints how far it
// is and waits for a line on its input, so that the test can kill it at that point.

#include "transmission/floppy_copy.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>

namespace {

class PausingObserver : public transmission::MediaCopyObserver {
    void logLine(const QString& /*line*/) override {}
    void warn(const QString& text) override {
        std::fprintf(stderr, "%s\n", text.toUtf8().constData());
    }
    void progressed(qint64 copied, qint64 size) override {
        std::printf("%lld %lld\n", static_cast<long long>(copied), static_cast<long long>(size));
        std::fflush(stdout);
        char line[16];
        if (!std::fgets(line, sizeof line, stdin))
            std::exit(2);
    }
};

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    if (argc != 2)
        return 2;
    PausingObserver observer;
    transmission::FloppyCopy copy(QStringLiteral("2007"), QStringLiteral("3"), observer,
                                  QString::fromLocal8Bit(argv[1]));
    return copy.MasolasFloppyra() ? 0 : 1;
}
