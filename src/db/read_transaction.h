#pragma once

namespace db {

// Holds one read transaction open while it lives, for a command that reads much and writes
// nothing: its statements read one state of the database, and the engine takes its lock on the
// file once instead of for every statement. Other processes may read meanwhile; one that writes
// waits until it ends. Made while a transaction is open, it joins that one.
class ReadTransaction {
public:
    ReadTransaction();
    ~ReadTransaction();
    ReadTransaction(const ReadTransaction&) = delete;
    ReadTransaction& operator=(const ReadTransaction&) = delete;

private:
    bool own_ = false;
};

}  // namespace db
