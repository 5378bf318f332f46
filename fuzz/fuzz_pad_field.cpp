// Field padding over any value, width and alignment: the field is exactly as wide as asked, and
// holds the value's beginning, filled with blanks on the side the alignment leaves free.

#include "export/data_fields.h"

#include <cstdlib>

namespace {

void require(bool condition) {
    if (!condition)
        std::abort();
}

}  // namespace

// Input: a width byte (0 to 127) with the alignment in its high bit, then the value's bytes.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const int width = data[0] & 0x7F;
    const bool left = (data[0] & 0x80) != 0;
    const QByteArray value(reinterpret_cast<const char*>(data + 1),
                           static_cast<qsizetype>(size - 1));
    const QByteArray field = exporting::PadField(value, width, left);
    require(field.size() == width);
    const qsizetype kept = std::min<qsizetype>(value.size(), width);
    const QByteArray blanks(width - kept, ' ');
    require(left ? field == value.left(kept) + blanks : field == blanks + value.left(kept));
    return 0;
}
