#pragma once

#include <QString>

#include "link/TransferObserver.h"

class QLabel;
class QStatusBar;

namespace qv {

// The window's status line: the chosen port, the progress of a running transfer, the radio
// last identified and the data file last saved or loaded. It only shows; it decides nothing.
class StatusLine final : public TransferObserver {
public:
    explicit StatusLine(QStatusBar& bar);

    void showPort(const QString& entry, const QString& device);
    void showFile(const QString& verb, const QString& path);

    void blockStarted(bool writing, int block, int count) override;
    void radioIdentified(const std::string& model, const std::string& version) override;
    void transferEnded() override;

private:
    QLabel* port_;
    QLabel* progress_;
    QLabel* radio_;
    QLabel* file_;
};

}  // namespace qv
