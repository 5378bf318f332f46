#include "program_folder.h"

#include "db/connection.h"

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

}  // namespace testsupport
