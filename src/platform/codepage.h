#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringView>

namespace platform {

// Text in the single-byte Windows-1250 code page, one byte per character. A character the code
// page cannot hold is written as "?"; tabs and every other control character stay as they are.
QByteArray toWindows1250(QStringView text);
// Windows-1250 text read back; a byte the code page leaves undefined gives U+FFFD.
QString fromWindows1250(QByteArrayView bytes);

// A text file the program writes: Windows-1250, CR LF after every line, the last one included.
// Creating replaces a file of the same name. A file that cannot be created or written is a
// Failure naming the file; what was written before stays in it.
class TextFile {
public:
    TextFile() = default;
    explicit TextFile(const QString& path) { create(path); }
    ~TextFile();
    TextFile(const TextFile&) = delete;
    TextFile& operator=(const TextFile&) = delete;

    void create(const QString& path);
    bool isOpen() const { return file_.isOpen(); }
    void writeLine(QStringView line) { writeEncodedLine(toWindows1250(line)); }
    // A line already in Windows-1250.
    void writeEncodedLine(const QByteArray& line);
    // Flushes and closes; a file that was not open is left alone.
    void close();

private:
    [[noreturn]] void fail(const QString& action);

    QFile file_;
};

}  // namespace platform
