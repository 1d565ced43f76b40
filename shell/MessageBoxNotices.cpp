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

std::unique_ptr<QMessageBox> warningBox(const std::string& text,
                                        QMessageBox::StandardButtons buttons,
                                        QMessageBox::StandardButton defaultButton,
                                        QWidget* parent) {
    auto box = std::make_unique<QMessageBox>(QMessageBox::Warning, kToolTitle,
                                             QString::fromStdString(text), buttons, parent);
    box->setTextFormat(Qt::PlainText);
    box->setDefaultButton(defaultButton);
    return box;
}

}  // namespace

void MessageBoxNotices::show(const std::string& text, NoticeIcon icon) {
    answer(*messageBox(text, icon));
}

bool MessageBoxNotices::confirm(const std::string& text) {
    return answer(*questionBox(text)) == QMessageBox::Ok;
}

bool MessageBoxNotices::ask(const std::string& text) {
    return answer(*yesNoBox(text)) == QMessageBox::Yes;
}

// The window takes the keys back when a box closes, also where no window manager hands them
// over.
int MessageBoxNotices::answer(QMessageBox& box) const {
    const int answered = box.exec();
    if (parent_ != nullptr && parent_->isVisible()) {
        parent_->activateWindow();
    }
    return answered;
}

std::unique_ptr<QMessageBox> MessageBoxNotices::messageBox(const std::string& text,
                                                           NoticeIcon icon) const {
    auto box = std::make_unique<QMessageBox>(
        boxIcon(icon), kToolTitle, QString::fromStdString(text), QMessageBox::Ok, parent_);
    box->setTextFormat(Qt::PlainText);
    return box;
}

std::unique_ptr<QMessageBox> MessageBoxNotices::questionBox(const std::string& text) const {
    return warningBox(text, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok, parent_);
}

// Escape and the close box answer No too.
std::unique_ptr<QMessageBox> MessageBoxNotices::yesNoBox(const std::string& text) const {
    return warningBox(text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No, parent_);
}

}  // namespace qv
