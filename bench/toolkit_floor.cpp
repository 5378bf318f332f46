// The least a command of this toolkit does: the core application, the SQLite driver, the
// database opened and one statement run. The command start-up benchmark runs it beside the
// program to show what the toolkit alone costs a process.

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlQuery>

#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    if (argc != 2)
        return 2;
    QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
    database.setDatabaseName(QString::fromLocal8Bit(argv[1]));
    if (!database.open())
        return 1;
    QSqlQuery query(database);
    if (!query.exec(QStringLiteral("select count(*) from sqlite_master")) || !query.next())
        return 1;
    std::printf("%d\n", query.value(0).toInt());
    return 0;
}
