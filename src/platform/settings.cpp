#include "settings.h"

#include "failure.h"
#include "whole_file.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSettings>

namespace platform {

namespace {

const QString kName = QStringLiteral("velkor");

QString readSetting(const QString& key) {
    return openSettings()->value(key).toString().trimmed();
}

// The lines of the settings file with `key = value` set in [group]: a line of that key replaced,
// or the key added at the group's end (the group at the file's end when it is missing).
QStringList withSetting(QStringList lines, const QString& group, const QString& key,
                        const QString& value) {
    const QString setting = key + QStringLiteral(" = ") + value;
    const QRegularExpression keyLine(
        QStringLiteral("^\\s*%1\\s*=").arg(QRegularExpression::escape(key)));
    qsizetype end = -1;  // the line after the group's last non-empty line
    bool inGroup = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = lines.at(i).trimmed();
        if (line.startsWith(u'[')) {
            if (inGroup)
                break;
            inGroup = line == u'[' + group + u']';
            end = inGroup ? i + 1 : end;
        } else if (inGroup && keyLine.match(line).hasMatch()) {
            lines[i] = setting;
            return lines;
        } else if (inGroup && !line.isEmpty()) {
            end = i + 1;
        }
    }
    if (end < 0) {
        if (!lines.isEmpty())
            lines << QString();
        return lines << u'[' + group + u']' << setting;
    }
    lines.insert(end, setting);
    return lines;
}

}  // namespace

std::unique_ptr<QSettings> openSettings() {
    if (currentLayout().installed)
        return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, kName,
                                           kName);
    return std::make_unique<QSettings>(settingsFilePath(), QSettings::IniFormat);
}

QString settingsFilePath() {
    return settingsFilePaths().constFirst();
}

QStringList settingsFilePaths(const Layout& layout) {
    if (!layout.installed)
        return {QDir(layout.workingFolder).absoluteFilePath(QStringLiteral("velkor.ini"))};
    return {QSettings(QSettings::IniFormat, QSettings::UserScope, kName, kName).fileName(),
            QSettings(QSettings::IniFormat, QSettings::SystemScope, kName, kName).fileName()};
}

void checkSettingsReadable() {
    for (const QString& path : settingsFilePaths()) {
        QFile file(path);
        if (file.exists() && !file.open(QIODevice::ReadOnly))
            throw Failure(QStringLiteral("A beállítások fájlja nem olvasható: %1 (%2)")
                              .arg(path, file.errorString()));
    }
}

FtpServerSetting ftpServerSetting() {
    FtpServerSetting server;
    server.host = readSetting(QStringLiteral("ftp/host"));
    const QString text = readSetting(QStringLiteral("ftp/port"));
    if (text.isEmpty())
        return server;
    bool ok = false;
    const uint port = text.toUInt(&ok);
    if (ok && port > 0 && port <= 65535)
        server.port = static_cast<quint16>(port);
    else
        server.invalidPort = text;
    return server;
}

FtpTlsSetting ftpTlsSetting() {
    FtpTlsSetting tls;
    tls.modeText = readSetting(QStringLiteral("ftp/tls"));
    const QString mode = tls.modeText.toLower();
    if (mode == u"required")
        tls.mode = FtpTls::Required;
    else if (mode == u"off")
        tls.mode = FtpTls::Off;
    else if (!mode.isEmpty() && mode != u"auto")
        tls.mode = FtpTls::Unknown;
    tls.caFile = readSetting(QStringLiteral("ftp/cafile"));
    tls.certificate = readSetting(QStringLiteral("ftp/") + QLatin1String(kFtpCertificateKey));
    tls.agreedServer = readSetting(QStringLiteral("ftp/") + QLatin1String(kFtpTlsAgreedKey));
    return tls;
}

void storeFtpSetting(const QString& key, const QString& value) {
    QFile current(settingsFilePath());
    QStringList lines;
    if (current.open(QIODevice::ReadOnly)) {
        lines = QString::fromUtf8(current.readAll()).split(u'\n');
        current.close();
    }
    const bool crlf = !lines.isEmpty() && lines.first().endsWith(u'\r');
    for (QString& line : lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
    }
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    lines = withSetting(lines, QStringLiteral("ftp"), key, value);
    const QString lineEnd = crlf ? QStringLiteral("\r\n") : QStringLiteral("\n");
    const QByteArray text = (lines.join(lineEnd) + lineEnd).toUtf8();
    // The user's own file: on the disk before the call returns, with the permissions it had.
    writeWhole(settingsFilePath(), {text.constData(), static_cast<size_t>(text.size())},
               {.syncFile = true, .syncFolder = true, .keepMode = true});
}

namespace {

const AddresseeSetting kShippedAddressee{
    QStringLiteral("Egészségügyi Árinformációs Adatgyűjtő Központ (EÁAK)"),
    QStringLiteral("1000 Budapest, Minta utca 1."), QStringLiteral("1000 Budapest, Pf. 100."),
    QStringLiteral("az adatgyűjtést elrendelő kormányrendelet szerint")};

// A text that may hold commas, which the INI format reads as a list when they are not quoted.
QString textSetting(const QSettings& settings, const QString& key, const QString& shipped) {
    const QString text = settings.value(key).toStringList().join(QStringLiteral(", ")).trimmed();
    return text.isEmpty() ? shipped : text;
}

}  // namespace

AddresseeSetting addresseeSetting() {
    const auto settings = openSettings();
    const AddresseeSetting& shipped = kShippedAddressee;
    return {
        textSetting(*settings, QStringLiteral("addressee/name"), shipped.name),
        textSetting(*settings, QStringLiteral("addressee/address"), shipped.address),
        textSetting(*settings, QStringLiteral("addressee/postal_address"), shipped.postalAddress),
        textSetting(*settings, QStringLiteral("addressee/decree"), shipped.decree)};
}

QStringList addresseePlaceholders() {
    const AddresseeSetting set = addresseeSetting();
    QStringList keys;
    if (set.address == kShippedAddressee.address)
        keys.append(QStringLiteral("address"));
    if (set.postalAddress == kShippedAddressee.postalAddress)
        keys.append(QStringLiteral("postal_address"));
    if (set.decree == kShippedAddressee.decree)
        keys.append(QStringLiteral("decree"));
    return keys;
}

std::optional<QString> addresseePlaceholderWarning() {
    const QStringList keys = addresseePlaceholders();
    if (keys.isEmpty())
        return std::nullopt;
    return QStringLiteral(
               "A kísérőjegyzék címzettje még a program mintaadata; a gyűjtő szervezet "
               "adatait a velkor.ini [addressee] csoportjában kell megadni: ") +
           keys.join(QStringLiteral(", "));
}

QString mediaFolderSetting() {
    return readSetting(QStringLiteral("media/folder"));
}

QString printerSetting() {
    return readSetting(QStringLiteral("printer/name"));
}

int backupKeepSetting() {
    bool ok = false;
    const int keep = readSetting(QStringLiteral("backup/keep")).toInt(&ok);
    return ok && keep >= 1 ? keep : 10;
}

namespace {

// A number written with a decimal point or comma (which the INI format reads as a list of two);
// the default unless it is greater than zero.
double positiveSetting(const QString& key, double defaultValue) {
    bool ok = false;
    const QString text = openSettings()->value(key).toStringList().join(u'.').trimmed();
    const double value = text.toDouble(&ok);
    return ok && value > 0 ? value : defaultValue;
}

}  // namespace

PlausibilitySetting plausibilitySetting() {
    const PlausibilitySetting defaults;
    return {positiveSetting(QStringLiteral("check/index_low"), defaults.indexLow),
            positiveSetting(QStringLiteral("check/index_high"), defaults.indexHigh),
            positiveSetting(QStringLiteral("check/change"), defaults.change)};
}

bool overviewAtStartSetting() {
    const QString value = readSetting(QStringLiteral("overview/at_start")).toLower();
    return !QStringList{QStringLiteral("false"), QStringLiteral("no"), QStringLiteral("off"),
                        QStringLiteral("0")}
                .contains(value);
}

}  // namespace platform
