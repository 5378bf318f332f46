#pragma once

// The process's resident memory, as the benchmarks that bound it read it.

#include <QFile>

namespace bench {

// A figure of /proc/self/status in megabytes, such as "VmRSS:" (resident now) or "VmHWM:"
// (resident peak); 0 when it cannot be read.
inline double statusMegabytes(const char* field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine()) {
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return 0;
}

inline double peakMegabytes() {
    return statusMegabytes("VmHWM:");
}

// Starts the resident peak afresh from the resident size now.
inline void resetPeakMemory() {
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    if (clearRefs.open(QIODevice::WriteOnly))
        clearRefs.write("5");
}

}  // namespace bench
