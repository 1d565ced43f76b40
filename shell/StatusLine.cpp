#include "shell/StatusLine.h"

#include <QLabel>
#include <QStatusBar>

namespace qv {

namespace {

QLabel* addSection(QStatusBar& bar, const char* name, int stretch) {
    auto* label = new QLabel(&bar);
    label->setObjectName(name);
    // The one section that stretches gives way to the others, whose texts are short.
    if (stretch > 0) {
        label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    }
    bar.addWidget(label, stretch);
    return label;
}

}  // namespace

StatusLine::StatusLine(QStatusBar& bar)
    : port_(addSection(bar, "statusPort", 0)),
      progress_(addSection(bar, "statusProgress", 0)),
      radio_(addSection(bar, "statusRadio", 0)),
      changes_(addSection(bar, "statusChanges", 0)),
      file_(addSection(bar, "statusFile", 1)) {}

void StatusLine::showPort(const QString& entry, const QString& device) {
    port_->setText(entry.isEmpty() ? QStringLiteral("No port") : entry + ": " + device);
}

void StatusLine::showSettingsFile(const QString& path) {
    port_->setToolTip(QStringLiteral("Settings file: %1").arg(path));
}

void StatusLine::showFile(const QString& verb, const QString& path) {
    file_->setText(verb + " " + path);
    file_->setToolTip(path);
}

void StatusLine::showProgress(TransferKind kind, int block, int count) {
    progress_->setText(QStringLiteral("%1 block %2 of %3")
                           .arg(kind == TransferKind::Write ? QStringLiteral("Writing")
                                                            : QStringLiteral("Reading"))
                           .arg(block)
                           .arg(count));
}

void StatusLine::showRadio(const Identification& radio) {
    radio_->setText(QStringLiteral("Radio %1, version %2")
                        .arg(QString::fromLatin1(radio.model), QString::fromLatin1(radio.version)));
}

void StatusLine::clearProgress() {
    progress_->clear();
}

void StatusLine::showChanges(int count) {
    changes_->setText(count == 0   ? QString()
                      : count == 1 ? QStringLiteral("1 field changed")
                                   : QStringLiteral("%1 fields changed").arg(count));
}

}  // namespace qv
