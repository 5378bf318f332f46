#include "collation.h"

#include "engine_failure.h"
#include "statement.h"

#include <QCollator>
#include <QLocale>

#include <sqlite3.h>

namespace db {

namespace {

QStringView utf16(const void* text, int bytes) {
    return {static_cast<const char16_t*>(text), bytes / 2};
}

int compare(void* collator, int lengthA, const void* a, int lengthB, const void* b) {
    return static_cast<const QCollator*>(collator)->compare(utf16(a, lengthA), utf16(b, lengthB));
}

void destroy(void* collator) {
    delete static_cast<QCollator*>(collator);
}

}  // namespace

void registerHungarianCollation() {
    auto* collator = new QCollator(QLocale(QLocale::Hungarian, QLocale::Hungary));
    // Once registered, the engine deletes the collator with the connection.
    if (sqlite3_create_collation_v2(engineHandle(), kHungarianCollation, SQLITE_UTF16_ALIGNED,
                                    collator, compare, destroy) != SQLITE_OK) {
        destroy(collator);
        throw engineFailure(engineHandle());
    }
}

}  // namespace db
