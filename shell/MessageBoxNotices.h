#pragma once

#include <memory>

#include "shell/Notices.h"

class QMessageBox;
class QWidget;

namespace qv {

inline constexpr char kToolTitle[] = "QV-4120_MAX_SetTestData";

// The tool's message boxes as modal QMessageBoxes over the main window. Their texts name
// files, ports and radios, so they show as plain text, never as markup.
class MessageBoxNotices : public Notices {
public:
    void setParent(QWidget* parent) { parent_ = parent; }

    void show(const std::string& text, NoticeIcon icon) override;
    bool confirm(const std::string& text) override;
    bool ask(const std::string& text) override;

    // The boxes that show, confirm and ask use, not yet shown.
    std::unique_ptr<QMessageBox> messageBox(const std::string& text, NoticeIcon icon) const;
    std::unique_ptr<QMessageBox> questionBox(const std::string& text) const;
    std::unique_ptr<QMessageBox> yesNoBox(const std::string& text) const;

private:
    int answer(QMessageBox& box) const;

    QWidget* parent_ = nullptr;
};

}  // namespace qv
