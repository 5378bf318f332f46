#include "transmission/compress_file.h"

#include "platform/failure.h"
#include "platform/whole_file.h"

#include <QFile>

#include <zlib.h>

#include <algorithm>
#include <array>
#include <vector>

namespace transmission {

namespace {

constexpr int kLevel = 9;
constexpr int kWindowBits = 15;  // zlib header and Adler-32 trailer, 32 KiB window
constexpr int kMemoryLevel = 8;
constexpr qint64 kInputBlock = 65536;
constexpr uInt kOutputBuffer = 65536;

[[noreturn]] void fail(const QString& what, const QString& path, const QString& reason) {
    throw platform::Failure(QStringLiteral("%1 \"%2\": %3").arg(what, path, reason));
}

// One deflate stream from an open input file into an output file made whole. The compressed bytes
// gather in a 64 KiB buffer that is written out whenever it is full and once more at the end.
class Deflater {
public:
    Deflater(QFile& input, platform::WholeFile& output) : input_(input), output_(output) {
        stream_.zalloc = Z_NULL;
        stream_.zfree = Z_NULL;
        stream_.opaque = Z_NULL;
        check(deflateInit2(&stream_, kLevel, Z_DEFLATED, kWindowBits, kMemoryLevel,
                           Z_DEFAULT_STRATEGY));
        started_ = true;
        resetBuffer();
    }
    ~Deflater() { release(); }
    Deflater(const Deflater&) = delete;
    Deflater& operator=(const Deflater&) = delete;

    void run() {
        feed(input_.size());
        finish();
    }

    void release() {
        if (started_) {
            deflateEnd(&stream_);
            started_ = false;
        }
    }

private:
    // Deflates exactly `size` bytes of the input, reading it block by block.
    void feed(qint64 size) {
        std::vector<char> block(kInputBlock);
        for (qint64 left = size; left > 0;) {
            const qint64 read = input_.read(block.data(), std::min(left, kInputBlock));
            if (read <= 0) {
                fail(QStringLiteral("Cannot read file"), input_.fileName(),
                     read < 0 ? input_.errorString() : QStringLiteral("the file got shorter"));
            }
            left -= read;
            stream_.next_in = reinterpret_cast<Bytef*>(block.data());
            stream_.avail_in = static_cast<uInt>(read);
            while (stream_.avail_in > 0) {
                check(deflate(&stream_, Z_NO_FLUSH));
                writeIfFull();
            }
        }
    }

    void finish() {
        int result;
        while ((result = deflate(&stream_, Z_FINISH)) != Z_STREAM_END) {
            check(result);
            writeIfFull();
        }
        write(kOutputBuffer - stream_.avail_out);
    }

    void writeIfFull() {
        if (stream_.avail_out == 0) {
            write(kOutputBuffer);
        }
    }

    void write(uInt count) {
        output_.write({reinterpret_cast<const char*>(buffer_.data()), count});
        resetBuffer();
    }

    void resetBuffer() {
        stream_.next_out = buffer_.data();
        stream_.avail_out = kOutputBuffer;
    }

    void check(int result) {
        if (result != Z_OK) {
            fail(QStringLiteral("Cannot compress file"), input_.fileName(),
                 QString::fromLatin1(stream_.msg ? stream_.msg : zError(result)));
        }
    }

    QFile& input_;
    platform::WholeFile& output_;
    z_stream stream_{};
    bool started_ = false;
    std::array<Bytef, kOutputBuffer> buffer_{};
};

}  // namespace

QString compressedPath(const QString& path) {
    return path.left(path.size() - 4) + QStringLiteral(".zip");
}

void CompressFile(const QString& path) {
    // Any other name could map onto itself and be emptied before it is read.
    if (!path.endsWith(QStringLiteral(".txt"), Qt::CaseInsensitive)) {
        fail(QStringLiteral("Cannot compress file"), path,
             QStringLiteral("only \".txt\" files are compressed"));
    }
    QFile input(path);
    if (!input.open(QIODevice::ReadOnly)) {
        fail(QStringLiteral("Cannot open file"), path, input.errorString());
    }
    // A stream cut short would pass for a report file: it never takes the compressed file's name.
    platform::WholeFile output(compressedPath(path));
    Deflater deflater(input, output);
    deflater.run();
    deflater.release();
    input.close();
    output.commit();
}

}  // namespace transmission
