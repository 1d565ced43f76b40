#include "shell/StatusLine.h"

#include <QLabel>
#include <QStatusBar>
#include <algorithm>

#include "record/FieldCatalogue.h"

namespace qv {

namespace {

// A framed section; as wide as the widest of `widest`, so that nothing moves as texts come
// and go. The one that stretches gives way to the others.
QLabel* addSection(QStatusBar& bar, const char* name, int stretch, const QStringList& widest = {}) {
    auto* label = new QLabel(&bar);
    label->setObjectName(name);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    int width = 0;
    for (const QString& text : widest) {
        width = std::max(width, label->fontMetrics().horizontalAdvance(text));
    }
    if (width > 0) {
        label->setMinimumWidth(width + 2 * label->frameWidth() + label->indent() + 8);
    }
    if (stretch > 0) {
        label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    }
    bar.addWidget(label, stretch);
    return label;
}

QString progressText(TransferKind kind, int block, int count) {
    return (kind == TransferKind::Write ? StatusLine::tr("Writing block %1 of %2")
                                        : StatusLine::tr("Reading block %1 of %2"))
        .arg(block)
        .arg(count);
}

QString changesText(int count) {
    return count == 0   ? QString()
           : count == 1 ? StatusLine::tr("1 field changed")
                        : StatusLine::tr("%1 fields changed").arg(count);
}

}  // namespace

StatusLine::StatusLine(QStatusBar& bar)
    : port_(addSection(bar, "statusPort", 0)),
      progress_(addSection(
          bar, "statusProgress", 0,
          {progressText(TransferKind::Read, 8, 8), progressText(TransferKind::Write, 8, 8)})),
      radio_(
          addSection(bar, "statusRadio", 0, {tr("Radio %1, version %2").arg("QV-4120", "00.00")})),
      changes_(addSection(bar, "statusChanges", 0, {changesText(kFieldCount)})),
      file_(addSection(bar, "statusFile", 1)) {}

void StatusLine::showPort(const QString& entry, const QString& device) {
    port_->setText(entry.isEmpty() ? tr("No port") : entry + ": " + device);
}

void StatusLine::showFile(const QString& text, const QString& detail) {
    file_->setText(text);
    file_->setToolTip(detail);
}

void StatusLine::showProgress(TransferKind kind, int block, int count) {
    progress_->setText(progressText(kind, block, count));
}

void StatusLine::showRadio(const Identification& radio) {
    radio_->setText(tr("Radio %1, version %2")
                        .arg(QString::fromLatin1(radio.model), QString::fromLatin1(radio.version)));
}

void StatusLine::clearProgress() {
    progress_->clear();
}

void StatusLine::showChanges(int count) {
    changes_->setText(changesText(count));
}

}  // namespace qv
