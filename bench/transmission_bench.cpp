// Run: build-*/bench/bench_transmission (needs /usr/bin/python3 with pyftpdlib and pyOpenSSL,
// openssl and curl). Compare the medians of FtpClientUpload and CurlUpload, of FtpClientUploadTls
// and CurlUploadTls (explicit TLS on both connections, the data connection resuming the session),
// and of CompressFile and Compress2.
#include "ftp_test_server.h"
#include "transmission/compress_file.h"
#include "transmission/ftp_client.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <zlib.h>

#include <memory>
#include <vector>

namespace {

constexpr qsizetype kUploadSize = 50 << 20;
constexpr qsizetype kCompressSize = 10 << 20;

QTemporaryDir* workDir;
testsupport::FtpTestServer* server;
testsupport::FtpTestServer* tlsServer;

QString writeFile(const QString& name, const QByteArray& bytes) {
    QFile file(workDir->filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        qFatal("cannot write %s", qPrintable(file.fileName()));
    }
    return file.fileName();
}

QByteArray randomBytes(qsizetype size) {
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator(1).fillRange(reinterpret_cast<quint32*>(bytes.data()), size / 4);
    return bytes;
}

// Report-like text: fixed-width lines with varying numbers.
QByteArray reportText(qsizetype size) {
    QByteArray text;
    QRandomGenerator generator(2);
    while (text.size() < size) {
        text += "2007_1_12345678 " + QByteArray::number(generator.bounded(100000)) +
                " Kotszer, steril 10x10 cm      db    " +
                QByteArray::number(generator.bounded(10000)) + ",50\r\n";
    }
    text.truncate(size);
    return text;
}

const QString& uploadFile() {
    static const QString path = writeFile(QStringLiteral("upload.zip"), randomBytes(kUploadSize));
    return path;
}

const QString& reportFile() {
    static const QString path =
        writeFile(QStringLiteral("2007_1_12345678_BR.txt"), reportText(kCompressSize));
    return path;
}

transmission::FtpAccount tlsAccount() {
    transmission::FtpAccount account = tlsServer->account();
    account.tls.mode = platform::FtpTls::Required;
    account.tls.caFile = tlsServer->certificate();
    return account;
}

void upload(benchmark::State& state, const transmission::FtpAccount& account) {
    transmission::FtpClient client(account);
    for (auto _ : state) {
        client.Connect();
        client.Put(uploadFile(), QStringLiteral("client.zip"));
        client.Disconnect();
    }
    state.SetBytesProcessed(state.iterations() * kUploadSize);
}

void FtpClientUpload(benchmark::State& state) {
    upload(state, server->account());
}

void FtpClientUploadTls(benchmark::State& state) {
    upload(state, tlsAccount());
}

void curlUpload(benchmark::State& state, const transmission::FtpAccount& account,
                const QStringList& tls) {
    const QString url = QStringLiteral("ftp://%1:%2@%3:%4/curl.zip")
                            .arg(account.user, account.password, account.host)
                            .arg(account.port);
    for (auto _ : state) {
        QProcess curl;
        curl.start(QStringLiteral("curl"),
                   QStringList{QStringLiteral("-sS"), QStringLiteral("--disable-epsv"),
                               QStringLiteral("-T"), uploadFile(), url} +
                       tls);
        if (!curl.waitForFinished(60'000) || curl.exitCode() != 0) {
            state.SkipWithError("curl failed");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * kUploadSize);
}

void CurlUpload(benchmark::State& state) {
    curlUpload(state, server->account(), {});
}

void CurlUploadTls(benchmark::State& state) {
    curlUpload(
        state, tlsServer->account(),
        {QStringLiteral("--ssl-reqd"), QStringLiteral("--cacert"), tlsServer->certificate()});
}

void CompressFile(benchmark::State& state) {
    for (auto _ : state) {
        transmission::CompressFile(reportFile());
    }
    state.SetBytesProcessed(state.iterations() * kCompressSize);
}

void Compress2(benchmark::State& state) {
    const QByteArray input = reportText(kCompressSize);
    std::vector<Bytef> output(compressBound(static_cast<uLong>(input.size())));
    for (auto _ : state) {
        uLongf size = static_cast<uLongf>(output.size());
        compress2(output.data(), &size, reinterpret_cast<const Bytef*>(input.constData()),
                  static_cast<uLong>(input.size()), 9);
        benchmark::DoNotOptimize(size);
    }
    state.SetBytesProcessed(state.iterations() * kCompressSize);
}

void configure(benchmark::internal::Benchmark* benchmark) {
    benchmark->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(3)
        ->Repetitions(7)
        ->ReportAggregatesOnly(true);
}

BENCHMARK(FtpClientUpload)->Apply(configure);
BENCHMARK(CurlUpload)->Apply(configure);
BENCHMARK(FtpClientUploadTls)->Apply(configure);
BENCHMARK(CurlUploadTls)->Apply(configure);
BENCHMARK(CompressFile)->Apply(configure);
BENCHMARK(Compress2)->Apply(configure);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    workDir = &dir;
    auto ftpServer = std::make_unique<testsupport::FtpTestServer>();
    if (!ftpServer->isRunning()) {
        qFatal("%s", qPrintable(ftpServer->error()));
    }
    server = ftpServer.get();
    testsupport::FtpTestServer secured(QStringLiteral("tls-reuse"));
    if (!secured.isRunning()) {
        qFatal("%s", qPrintable(secured.error()));
    }
    tlsServer = &secured;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
