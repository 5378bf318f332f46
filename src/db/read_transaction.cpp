#include "read_transaction.h"

#include "connection.h"
#include "platform/failure.h"
#include "query.h"

namespace db {

ReadTransaction::ReadTransaction() {
    if (transactionOpen())
        return;
    // Deferred: the first statement takes the shared lock, and no write lock is ever asked for.
    execute(QStringLiteral("begin"));
    own_ = true;
}

ReadTransaction::~ReadTransaction() {
    if (!own_)
        return;
    // A transaction that changed nothing has nothing to store or undo; ending it cannot lose data.
    try {
        execute(QStringLiteral("commit"));
    } catch (const platform::Failure&) {
        try {
            execute(QStringLiteral("rollback"));
        } catch (const platform::Failure&) {
        }
    }
}

}  // namespace db
