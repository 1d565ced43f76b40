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
    messageBox(text, icon)->exec();
}

bool MessageBoxNotices::confirm(const std::string& text) {
    return questionBox(text)->exec() == QMessageBox::Ok;
}

std::unique_ptr<QMessageBox> MessageBoxNotices::messageBox(const std::string& text,
                                                           NoticeIcon icon) const {
    auto box = std::make_unique<QMessageBox>(
        boxIcon(icon), kToolTitle, QString::fromStdString(text), QMessageBox::Ok, parent_);
    box->setTextFormat(Qt::PlainText);
    return box;
}

std::unique_ptr<QMessageBox> MessageBoxNotices::questionBox(const std::string& text) const {
    auto box = std::make_unique<QMessageBox>(QMessageBox::Warning, kToolTitle,
                                             QString::fromStdString(text),
                                             QMessageBox::Ok | QMessageBox::Cancel, parent_);
    box->setTextFormat(Qt::PlainText);
    box->setDefaultButton(QMessageBox::Ok);
    return box;
}

}  // namespace qv
