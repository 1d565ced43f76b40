#include "shell/MessageBoxNotices.h"

#include <QMessageBox>

namespace qv {

namespace {

QMessageBox::Icon BoxIcon(NoticeIcon icon) {
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

void MessageBoxNotices::Show(const std::string& text, NoticeIcon icon) {
    QMessageBox box(BoxIcon(icon), kToolTitle, QString::fromStdString(text), QMessageBox::Ok,
                    parent_);
    box.exec();
}

bool MessageBoxNotices::Confirm(const std::string& text) {
    QMessageBox box(QMessageBox::Warning, kToolTitle, QString::fromStdString(text),
                    QMessageBox::Ok | QMessageBox::Cancel, parent_);
    box.setDefaultButton(QMessageBox::Ok);
    return box.exec() == QMessageBox::Ok;
}

}  // namespace qv
