#pragma once

#include <QString>

namespace platform {

// The folder that stands for drive "a:\": the folder of the [media] setting in velkor.ini, else
// the first removable medium the system has mounted under /media or /run/media; empty when
// neither is there.
QString removableMediaFolder();

// The bytes that may still be written to the file system holding the folder.
qint64 freeSpace(const QString& folder);

}  // namespace platform
