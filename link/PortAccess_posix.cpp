#include "link/PortAccess.h"

#include <QFileInfo>

#include "datafile/PlatformRuntime.h"

namespace qv {

bool userMayOpen(const std::string& device) {
    const QFileInfo info(QString::fromStdString(platform::serialDeviceLocation(device)));
    return info.isReadable() && info.isWritable();
}

}  // namespace qv
