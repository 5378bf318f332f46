#include "removable_media.h"

#include "settings.h"

#include <QStorageInfo>

namespace platform {

namespace {

// The desktop mounts a removable medium under /media/<user>/ or /run/media/<user>/.
bool isMountedMedium(const QStorageInfo& volume) {
    const QString root = volume.rootPath();
    return volume.isValid() && volume.isReady() &&
           (root.startsWith(QStringLiteral("/media/")) ||
            root.startsWith(QStringLiteral("/run/media/")));
}

}  // namespace

QString removableMediaFolder() {
    const QString setting = mediaFolderSetting();
    if (!setting.isEmpty())
        return setting;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (isMountedMedium(volume))
            return volume.rootPath();
    }
    return {};
}

qint64 freeSpace(const QString& folder) {
    return QStorageInfo(folder).bytesAvailable();
}

}  // namespace platform
