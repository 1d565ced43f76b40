#include "shell/DataFileDialog.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QUrl>

#include "ports/AppFolders.h"

namespace qv {

bool DataFileDialog::show(FilePicker::Kind kind, const QString& title) {
    const std::optional<QString> chosen = picker_.pick(
        {.kind = kind,
         .title = title,
         .filter =
             kind == FilePicker::Kind::Open
                 ? QCoreApplication::translate("qv::DataFileDialog",
                                               "data file (*.bin);;calibration document (*.json)")
                 : QCoreApplication::translate("qv::DataFileDialog", "data file (*.bin)"),
         .fileName = fileName_,
         .defaultSuffix = QStringLiteral("bin"),
         .place = QString::fromStdString(backupFolder().string())});
    if (!chosen) {
        return false;
    }
    fileName_ = *chosen;
    return true;
}

std::optional<QString> QtFilePicker::pick(const Request& request) {
    QFileDialog dialog(parent_, request.title);
    const bool saving = request.kind == Kind::Save;
    dialog.setAcceptMode(saving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(saving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilter(request.filter);
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (!request.place.isEmpty()) {
        dialog.setSidebarUrls(dialog.sidebarUrls() << QUrl::fromLocalFile(request.place));
    }
    if (!request.fileName.isEmpty()) {
        dialog.selectFile(request.fileName);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().constFirst();
}

}  // namespace qv
