#include "link/PortAccess.h"

#include <QFileInfo>

namespace qv {

bool userMayOpen(const std::string& device) {
    const QFileInfo info(QString::fromStdString(device));
    return info.isReadable() && info.isWritable();
}

}  // namespace qv
