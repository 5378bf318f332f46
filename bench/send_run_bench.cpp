// Run: QT_QPA_PLATFORM=offscreen build-*/bench/bench_send_run (needs /usr/bin/python3 with
// pyftpdlib; SendRunTlsVsftpd needs root and Debian's vsftpd). SendRun sends 3,000 report files,
// one connection each; ConnectOnly opens and closes as many connections to the same server, so
// ConnectOnly / SendRun is the share of the run spent connecting. SendRunTlsVsftpd sends them to
// vsftpd demanding TLS on both connections and session reuse, the program folder and the
// server's files on tmpfs.
#include "ftp_test_server.h"
#include "support/program_folder.h"
#include "support/scripted_messages.h"
#include "transmission/ftp_client.h"
#include "transmission/widgets/UnitKuldes.h"

#include <QFile>
#include <QListWidget>
#include <QSettings>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int kProviders = 1000;
constexpr int kFiles = 3 * kProviders;

// Report-like text of about the sizes a save run writes: a short institution file, a purchase
// file of 100 lines and a cover note of 54 lines.
void writeReportFiles() {
    const QByteArray line = "2007 1 Kotszer, steril 10x10 cm            db        12,50   ";
    for (int provider = 0; provider < kProviders; ++provider) {
        const QString adosajat = QStringLiteral("%1").arg(10'000'000 + provider);
        const auto write = [&](const QString& folder, const QString& kind, int lines) {
            QFile file(folder + QStringLiteral("2007_1_%1_%2.txt").arg(adosajat, kind));
            if (!file.open(QIODevice::WriteOnly))
                qFatal("cannot write %s", qPrintable(file.fileName()));
            for (int i = 0; i < lines; ++i)
                file.write(adosajat.toLatin1() + line + QByteArray::number(i) + "\r\n");
        };
        write(QStringLiteral("text/"), QStringLiteral("BI"), 1);
        write(QStringLiteral("text/"), QStringLiteral("BR"), 100);
        write(QStringLiteral("kuldes/temp/"), QStringLiteral("KJ"), 54);
    }
}

// Sets TMPDIR for as long as it lives.
class TemporaryFolderOn {
public:
    explicit TemporaryFolderOn(const char* folder) : previous_(qgetenv("TMPDIR")) {
        qputenv("TMPDIR", folder);
    }
    ~TemporaryFolderOn() {
        if (previous_.isNull())
            qunsetenv("TMPDIR");
        else
            qputenv("TMPDIR", previous_);
    }

private:
    QByteArray previous_;
};

// The program folder and the server of one kind of run. The server keeps what it receives in
// memory, so that its file creations, which are the collecting organisation's and not this
// program's, do not weigh on this machine's disk; over TLS the program folder is in memory too.
struct Setup {
    std::unique_ptr<testsupport::ProgramFolder> folder;
    std::unique_ptr<testsupport::FtpTestServer> server;

    explicit Setup(const QString& mode) {
        const auto account = transmission::collectingServerAccount();
        const bool tls = mode == u"vsftpd-tls";
        {
            const TemporaryFolderOn inMemory("/dev/shm");
            server =
                std::make_unique<testsupport::FtpTestServer>(mode, account.user, account.password);
            if (tls)
                folder = std::make_unique<testsupport::ProgramFolder>(false);
        }
        if (!tls)
            folder = std::make_unique<testsupport::ProgramFolder>(false);
        if (!server->isRunning())
            qFatal("%s", qPrintable(server->error()));
        server->writeSettingsFile();
        QSettings settings(QStringLiteral("velkor.ini"), QSettings::IniFormat);
        settings.setValue(QStringLiteral("ftp/tls"),
                          tls ? QStringLiteral("required") : QStringLiteral("off"));
        settings.setValue(QStringLiteral("ftp/cafile"), server->certificate());
        settings.sync();
        writeReportFiles();
    }
};

// One setup at a time, since each makes its program folder the current folder.
Setup& setup(const QString& mode) {
    static std::unique_ptr<Setup> current;
    static QString currentMode;
    if (!current || currentMode != mode) {
        current.reset();
        current = std::make_unique<Setup>(mode);
        currentMode = mode;
    }
    return *current;
}

void sendRun(benchmark::State& state, const QString& mode) {
    setup(mode);
    // Each run archives into a folder of its own minute, as runs minutes apart do, the
    // repetitions too.
    static QDateTime start(QDate(2007, 5, 12), QTime(8, 0));
    testsupport::ScriptedMessages boxes;
    for (auto _ : state) {
        start = start.addSecs(60);
        TFormKuldes window(nullptr, QStringLiteral("2007"), QStringLiteral("1"),
                           [now = start] { return now; });
        if (window.SendFailed || window.ListBox_FTPLog->count() != 3 * kFiles)
            state.SkipWithError("the send run failed");
        boxes.take();
    }
    state.counters["files_per_s"] =
        benchmark::Counter(kFiles, benchmark::Counter::kIsIterationInvariantRate);
}

void SendRun(benchmark::State& state) {
    sendRun(state, QStringLiteral("normal"));
}

void SendRunTlsVsftpd(benchmark::State& state) {
    sendRun(state, QStringLiteral("vsftpd-tls"));
}

void ConnectOnly(benchmark::State& state) {
    setup(QStringLiteral("normal"));
    transmission::FtpClient client;
    for (auto _ : state) {
        for (int i = 0; i < kFiles; ++i) {
            client.Connect();
            client.Disconnect();
        }
    }
    state.counters["connections_per_s"] =
        benchmark::Counter(kFiles, benchmark::Counter::kIsIterationInvariantRate);
}

void configure(benchmark::internal::Benchmark* benchmark) {
    benchmark->Unit(benchmark::kSecond)
        ->UseRealTime()
        ->Iterations(1)
        ->Repetitions(5)
        ->ReportAggregatesOnly(true);
}

BENCHMARK(SendRun)->Apply(configure);
BENCHMARK(ConnectOnly)->Apply(configure);
BENCHMARK(SendRunTlsVsftpd)->Apply(configure);

}  // namespace
