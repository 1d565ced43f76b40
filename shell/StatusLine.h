#pragma once

#include <QString>

#include "link/Frames.h"
#include "link/TransferListener.h"

class QLabel;
class QStatusBar;

namespace qv {

// The window's status line: the chosen port, the progress of a running transfer, the radio
// last identified and the data file last saved or loaded. It only shows; it decides nothing.
class StatusLine final {
public:
    explicit StatusLine(QStatusBar& bar);

    void showPort(const QString& entry, const QString& device);
    // The settings file, which keeps the port picked, as the port's tooltip.
    void showSettingsFile(const QString& path);
    void showFile(const QString& verb, const QString& path);
    void showProgress(TransferKind kind, int block, int count);
    void showRadio(const Identification& radio);
    void clearProgress();
    // How many fields differ from what was last read, loaded or written.
    void showChanges(int count);

private:
    QLabel* port_;
    QLabel* progress_;
    QLabel* radio_;
    QLabel* changes_;
    QLabel* file_;
};

}  // namespace qv
