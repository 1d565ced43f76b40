#include "shell/StatusLine.h"

#include <QLabel>
#include <QStatusBar>

namespace qv {

namespace {

QLabel* AddSection(QStatusBar& bar, const char* name, int stretch) {
    auto* label = new QLabel(&bar);
    label->setObjectName(name);
    bar.addWidget(label, stretch);
    return label;
}

}  // namespace

StatusLine::StatusLine(QStatusBar& bar)
    : port_(AddSection(bar, "statusPort", 0)),
      progress_(AddSection(bar, "statusProgress", 0)),
      radio_(AddSection(bar, "statusRadio", 0)),
      file_(AddSection(bar, "statusFile", 1)) {}

void StatusLine::ShowPort(const QString& entry, const QString& device) {
    port_->setText(entry.isEmpty() ? QStringLiteral("No port") : entry + ": " + device);
}

void StatusLine::ShowFile(const QString& verb, const QString& path) {
    file_->setText(verb + " " + path);
    file_->setToolTip(path);
}

void StatusLine::BlockStarted(bool writing, int block, int count) {
    progress_->setText(QStringLiteral("%1 block %2 of %3")
                           .arg(writing ? QStringLiteral("Writing") : QStringLiteral("Reading"))
                           .arg(block)
                           .arg(count));
}

void StatusLine::RadioIdentified(const std::string& model, const std::string& version) {
    radio_->setText(QStringLiteral("Radio %1, version %2")
                        .arg(QString::fromLatin1(model), QString::fromLatin1(version)));
}

void StatusLine::TransferEnded() {
    progress_->clear();
}

}  // namespace qv
