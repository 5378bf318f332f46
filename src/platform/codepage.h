#pragma once

#include "platform/whole_file.h"

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <cstdint>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

class FileQueue;

// Text in the single-byte Windows-1250 code page, one byte per character. A character the code
// page cannot hold is written as "?"; tabs and every other control character stay as they are.
QByteArray toWindows1250(QStringView text);
// The first character of the text that Windows-1250 cannot hold (after composing a letter typed
// with a combining accent); nothing when it holds them all.
std::optional<QString> firstCharacterOutsideWindows1250(QStringView text);
// Windows-1250 text read back; a byte the code page leaves undefined gives U+FFFD.
QString fromWindows1250(QByteArrayView bytes);
// Whether the UTF-8 text is ASCII, which is its own Windows-1250; eight bytes at a time. Inline:
// it runs for every value written.
inline bool isAscii(std::string_view utf8) {
    size_t at = 0;
    for (std::uint64_t word = 0; at + sizeof word <= utf8.size(); at += sizeof word) {
        std::memcpy(&word, utf8.data() + at, sizeof word);
        if (word & 0x8080808080808080u)
            return false;
    }
    for (; at < utf8.size(); ++at) {
        if (static_cast<unsigned char>(utf8[at]) >= 0x80)
            return false;
    }
    return true;
}
// UTF-8 text appended to out in Windows-1250, byte for byte as toWindows1250 converts it. Text in
// the code page is converted without a QString.
void appendWindows1250(std::string& out, std::string_view utf8);

// What may bear a file's name before it is written: anything, or nothing, as the writer deleted
// what did and the file system is not asked again.
enum class Target { MayExist, Vacated };

// A text file the program writes: Windows-1250, CR LF after every line, the last one included.
// It is written as a WholeFile and takes its own name, replacing a file of that name, only when
// it is closed whole: a file dropped before (a failure, a killed program, a full disk) leaves
// nothing behind under its name, and the file it would replace stays as it was. Lines are collected
// and written in blocks, a small file in one write. It does not wait for the disk: a writer of many
// files flushes them all at once with flushFileSystem. A file that cannot be created or written is
// a Failure naming the file.
class TextFile {
public:
    TextFile() = default;
    // A file given a queue is finished by it: written out and named on the queue's thread.
    explicit TextFile(const QString& path, FileQueue* queue = nullptr,
                      Target target = Target::MayExist) {
        create(path, queue, target);
    }
    ~TextFile();
    TextFile(const TextFile&) = delete;
    TextFile& operator=(const TextFile&) = delete;

    void create(const QString& path, FileQueue* queue = nullptr, Target target = Target::MayExist);
    bool isOpen() const { return open_; }
    void writeLine(QStringView line);
    // A line already in Windows-1250.
    void writeEncodedLine(std::string_view line);
    // Lines already in Windows-1250, each with its CR LF.
    void writeEncodedLines(std::string_view lines);
    // The same, taken over without a copy when nothing is pending: a file made whole elsewhere.
    void writeEncodedLines(std::string&& lines);
    // Room for this many more bytes of lines, for a writer that knows them beforehand.
    void reserve(size_t bytes) { pending_.reserve(pending_.size() + bytes); }
    // Writes out and gives the file its name; a file that was not open is left alone.
    void close();
    // The same after the lines the function makes, if given, each with its CR LF: with a queue
    // they are made on its thread, counted as the bytes expected until they are written.
    void closeWith(std::function<std::string()> makeLines, size_t expectedBytes);

private:
    void checkTarget();
    void writePending();
    void givingUpOnFailure(const std::function<void()>& step);
    [[noreturn]] void fail(const QString& action, int error);

    QString path_;
    bool open_ = false;
    std::optional<WholeFile> file_;
    std::string pending_;
    FileQueue* queue_ = nullptr;
};

// Waits until what was written to the file system that holds the folder is on its disk; a
// Failure naming the folder when the disk reports an error.
void flushFileSystem(const QString& folder);

}  // namespace platform
