#include "program_folder.h"

#include "db/connection.h"
#include "db/query.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QtGlobal>

#include <sys/stat.h>

namespace testsupport {

QString generatedDatabase() {
    return QStringLiteral(VK_GENERATED_DB);
}

ProgramFolder::ProgramFolder(bool connect) : previousCurrent_(QDir::currentPath()) {
    if (!dir_.isValid())
        qFatal("Cannot create a temporary folder");
    QDir root(dir_.path());
    for (const auto* folder : {"Adatok", "text", "Listak", "kuldes/temp"})
        root.mkpath(QString::fromLatin1(folder));
    if (!QFile::copy(generatedDatabase(), databasePath()))
        qFatal("Cannot copy the generated database %s", qPrintable(generatedDatabase()));
    QFile::setPermissions(databasePath(), QFile::ReadOwner | QFile::WriteOwner);
    QDir::setCurrent(dir_.path());
    if (connect)
        db::openConnection();
}

ProgramFolder::~ProgramFolder() {
    db::closeConnection();
    QDir::setCurrent(previousCurrent_);
}

QString ProgramFolder::copyProgram() const {
    const QString built = qEnvironmentVariable("VK_PROGRAM_DIR");
    const QString program = file(QStringLiteral("velkor"));
    if (!QFile::copy(built + QStringLiteral("/velkor"), program))
        qFatal("Cannot copy the program into %s", qPrintable(path()));
    // The program finds its folder from its own file; its parts are found beside it.
    for (const QString& part :
         {QStringLiteral("libvelkor-commands.so"), QStringLiteral("libvelkor-windows.so")}) {
        if (!QFile::link(built + u'/' + part, file(part)))
            qFatal("Cannot link the program's part %s", qPrintable(part));
    }
    return program;
}

void ProgramFolder::setAddressee() const {
    QSettings settings(file(QStringLiteral("velkor.ini")), QSettings::IniFormat);
    for (const char* key : {"address", "postal_address", "decree"})
        settings.setValue(QStringLiteral("addressee/") + QLatin1StringView(key),
                          QStringLiteral("Gyűjtő Hivatal"));
}

QStringList rowsOf(const QString& statement, const QVariantList& values) {
    QStringList rows;
    for (db::Query query(statement, values); !query.eof(); query.next()) {
        QStringList fields;
        for (int i = 0; i < query.fieldCount(); ++i)
            fields.append(query.text(i));
        rows.append(fields.join(u'|'));
    }
    return rows;
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

bool placeFile(const QString& path, const QString& target, const QByteArray& bytes) {
    if (target == u"fifo")
        return mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
    return target.isEmpty() ? writeFile(path, bytes) : QFile::link(target, path);
}

}  // namespace testsupport
