#pragma once

#include "shell/Notices.h"

class QWidget;

namespace qv {

inline constexpr char kToolTitle[] = "QV-4120_MAX_SetTestData";

// The tool's message boxes as modal QMessageBoxes over the main window.
class MessageBoxNotices : public Notices {
public:
    void setParent(QWidget* parent) { parent_ = parent; }

    void show(const std::string& text, NoticeIcon icon) override;
    bool confirm(const std::string& text) override;

private:
    QWidget* parent_ = nullptr;
};

}  // namespace qv
