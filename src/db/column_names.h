#pragma once

#include "platform/failure.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace db {

// The columns of a statement's result by position, found by name without regard to case. A name
// written as the column is found without any copy of it; readers of many rows still look a
// column up once and read by position.
class ColumnNames {
public:
    void append(const QString& name) {
        exact_.insert(name, static_cast<int>(names_.size()));
        names_.append(name);
    }
    void clear() {
        names_.clear();
        exact_.clear();
    }
    int size() const { return static_cast<int>(names_.size()); }
    const QString& at(int position) const { return names_.at(position); }

    // The position of the column, the last of that name; an unknown name is a Failure.
    int position(QStringView column) const {
        for (int at = size() - 1; at >= 0; --at) {
            if (column.compare(names_.at(at), Qt::CaseInsensitive) == 0)
                return at;
        }
        throw platform::Failure(QStringLiteral("Field '%1' not found").arg(column));
    }
    int position(const QString& column) const {
        if (const auto found = exact_.constFind(column); found != exact_.constEnd())
            return *found;
        return position(QStringView(column));
    }

private:
    QStringList names_;
    QHash<QString, int> exact_;
};

}  // namespace db
