// Stores one change to a data-provider record through a table cursor inside a transaction, twice,
// and prints what the cursor and the file hold after each attempt. The tests run it under a tracer
// that makes the first disk sync fail, so the first commit fails with an I/O error.
//
// Usage: commit_probe DATABASE insert|edit|delete

#include "db/connection.h"
#include "db/query.h"
#include "db/table.h"
#include "platform/failure.h"

#include <QCoreApplication>
#include <QTextStream>

namespace {

const char* modeName(db::Table::Mode mode) {
    switch (mode) {
        case db::Table::Mode::Browse:
            return "browsing";
        case db::Table::Mode::Edit:
            return "editing";
        case db::Table::Mode::Insert:
            return "inserting";
    }
    return "";
}

QString storedKeys() {
    QStringList keys;
    for (db::Query query(QStringLiteral("select Adosajat, Adatszolgev from AdatlapInt order by 1"));
         !query.eof(); query.next())
        keys.append(query.text(0) + u'/' + query.text(1));
    return keys.join(u' ');
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 3)
        return 2;
    const QString& action = arguments.at(2);
    QTextStream out(stdout);
    try {
        db::openConnection(arguments.at(1));
        db::Table table;
        table.open(QStringLiteral("AdatlapInt"));
        if (action == u"insert") {
            table.append();
            table.setText(QStringLiteral("Adosajat"), QStringLiteral("22222222"));
            table.setText(QStringLiteral("Adatszolgev"), QStringLiteral("2008"));
        } else if (action == u"edit") {
            table.setText(QStringLiteral("Adatszolgev"), QStringLiteral("2008"));
        }
        for (int attempt = 1; attempt <= 2; ++attempt) {
            QString outcome = QStringLiteral("stored");
            try {
                // As the editors store: inside a transaction that may hold more changes.
                db::inTransaction([&] {
                    if (action == u"delete")
                        table.remove();
                    else
                        table.post();
                });
            } catch (const platform::Failure& failure) {
                outcome = failure.text();
            }
            out << attempt << ": " << outcome << "; cursor " << modeName(table.mode()) << ", "
                << table.rowCount() << " rows, year " << table.text(QStringLiteral("Adatszolgev"))
                << "; file " << storedKeys() << '\n';
        }
    } catch (const platform::Failure& failure) {
        out << failure.text() << '\n';
        return 1;
    }
    return 0;
}
