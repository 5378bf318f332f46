#pragma once

#include <QString>

namespace transmission {

// The upload form of a report file: its path with the last four characters (".txt") replaced by
// ".zip", in the same folder.
QString compressedPath(const QString& path);

// Writes the report file at path as a single zlib stream (deflate, level 9, 32 KiB window) into
// compressedPath(path), replacing that file once the stream is whole; the input is left
// unchanged. An input that cannot be read, a path not ending in ".txt", an output that cannot be
// written and a compressor error throw platform::Failure naming the file; the compressed file
// then stays as it was.
void CompressFile(const QString& path);

}  // namespace transmission
