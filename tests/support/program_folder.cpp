#include "program_folder.h"

#include "db/connection.h"
#include "db/query.h"

#include <QDir>
#include <QFile>
#include <QtGlobal>

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

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QStringList rowsOf(const QString& statement) {
    QStringList rows;
    for (db::Query query(statement); !query.eof(); query.next()) {
        QStringList values;
        for (int i = 0; i < query.fieldCount(); ++i)
            values.append(query.text(i));
        rows.append(values.join(u'|'));
    }
    return rows;
}

}  // namespace testsupport
