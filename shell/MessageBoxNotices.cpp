#include "shell/MessageBoxNotices.h"

#include <QMessageBox>

namespace qv {

namespace {

QMessageBox::Icon boxIcon(NoticeIcon icon) {
    switch (icon) {
        case NoticeIcon::Stop:
            return QMessageBox::Critical;
        case NoticeIcon::Exclamation:
            return QMessageBox::Warning;
        case NoticeIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

void MessageBoxNotices::show(const std::string& text, NoticeIcon icon) {
    QMessageBox box(boxIcon(icon), kToolTitle, QString::fromStdString(text), QMessageBox::Ok,
                    parent_);
    box.exec();
}

bool MessageBoxNotices::confirm(const std::string& text) {
    QMessageBox box(QMessageBox::Warning, kToolTitle, QString::fromStdString(text),
                    QMessageBox::Ok | QMessageBox::Cancel, parent_);
    box.setDefaultButton(QMessageBox::Ok);
    return box.exec() == QMessageBox::Ok;
}

}  // namespace qv
