#include "shell/DataFileDialog.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QHeaderView>
#include <QScreen>
#include <QTimer>
#include <QTreeView>
#include <QUrl>
#include <algorithm>

#include "datafile/PathText.h"
#include "ports/AppFolders.h"

namespace qv {

namespace {

// Qt's own dialog sizes its columns for short English texts, which cuts a size in words
// ("128 bytes"), a type or a date in the locale's form, and a backup's long name. Here the
// columns fit what they hold, as the folder's entries arrive, and the dialog grows to show them
// whole, up to the width of the screen. A dialog of the platform's sizes itself and has no such
// view.
void fitColumns(QFileDialog& dialog) {
    auto* view = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
    if (view == nullptr) {
        return;
    }
    QHeaderView* header = view->header();
    header->setStretchLastSection(false);
    for (int column = 0; column < header->count(); ++column) {
        header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    }
    const auto grow = [&dialog, view] {
        const int missing = view->header()->length() - view->viewport()->width();
        const int room =
            dialog.screen()->availableGeometry().width() - dialog.frameGeometry().width();
        if (missing > 0 && room > 0) {
            dialog.resize(dialog.width() + std::min(missing, room), dialog.height());
        }
    };
    // Once the layouts have taken the new widths.
    QObject::connect(header, &QHeaderView::sectionResized, &dialog,
                     [&dialog, grow] { QTimer::singleShot(0, &dialog, grow); });
}

}  // namespace

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
         .place = QString::fromStdString(utf8Text(backupFolder()))});
    if (!chosen) {
        return false;
    }
    fileName_ = *chosen;
    return true;
}

std::unique_ptr<QFileDialog> QtFilePicker::dialog(const Request& request) const {
    auto dialog = std::make_unique<QFileDialog>(parent_, request.title);
    const bool saving = request.kind == Kind::Save;
    dialog->setAcceptMode(saving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog->setFileMode(saving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog->setNameFilter(request.filter);
    dialog->setDefaultSuffix(request.defaultSuffix);
    if (!request.place.isEmpty()) {
        dialog->setSidebarUrls(dialog->sidebarUrls() << QUrl::fromLocalFile(request.place));
    }
    if (!request.fileName.isEmpty()) {
        dialog->selectFile(request.fileName);
    }
    fitColumns(*dialog);
    return dialog;
}

std::optional<QString> QtFilePicker::pick(const Request& request) {
    const std::unique_ptr<QFileDialog> shown = dialog(request);
    if (shown->exec() != QDialog::Accepted || shown->selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return shown->selectedFiles().constFirst();
}

}  // namespace qv
