#include "shell/StatusLine.h"

#include <QLabel>
#include <QStatusBar>
#include <algorithm>

#include "record/FieldCatalogue.h"
#include "translations/Translations.h"

namespace qv {

namespace {

// Room around a section's text: its frame, margins and the gap to the next.
constexpr int kSectionRoom = 16;

// A framed section at least as wide as the widest of `widest`, so that nothing moves as texts
// come and go. The one that stretches takes the room left.
QLabel* addSection(QStatusBar& bar, const char* name, int stretch, const QStringList& widest) {
    auto* label = new QLabel(&bar);
    label->setObjectName(name);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    int width = 0;
    for (const QString& text : widest) {
        width = std::max(width, label->fontMetrics().horizontalAdvance(text));
    }
    label->setMinimumWidth(width + kSectionRoom);
    if (stretch > 0) {
        label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    }
    bar.addWidget(label, stretch);
    // The window is as wide as its status line needs: the bar's own minimum is what counts.
    bar.setMinimumWidth(bar.minimumWidth() + label->minimumWidth() + kSectionRoom);
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
    : port_(addSection(bar, "statusPort", 0, {QStringLiteral("COM100: /dev/ttyUSB10")})),
      progress_(addSection(
          bar, "statusProgress", 0,
          {progressText(TransferKind::Read, 8, 8), progressText(TransferKind::Write, 8, 8),
           restText(RestKind::Storing, 3), restText(RestKind::Resting, 3)})),
      radio_(
          addSection(bar, "statusRadio", 0, {tr("Radio %1, version %2").arg("QV-4120", "00.00")})),
      changes_(addSection(bar, "statusChanges", 0, {changesText(kFieldCount)})),
      // The start of a path at least; the whole of it shows on hovering.
      file_(addSection(bar, "statusFile", 1, {QString(24, QLatin1Char('x'))})) {}

void StatusLine::showPort(const QString& entry, const QString& device) {
    port_->setText(entry.isEmpty() ? tr("No port") : entry + ": " + device);
    device_ = device;
    showPortToolTip();
}

void StatusLine::showSettingsFile(const QString& path) {
    settingsFile_ = path;
    showPortToolTip();
}

void StatusLine::showPortToolTip() {
    const QString settings = tr("Settings file: %1").arg(settingsFile_);
    port_->setToolTip(device_.isEmpty() ? settings : device_ + "\n" + settings);
}

void StatusLine::showFile(const QString& text, const QString& detail) {
    file_->setText(text);
    file_->setToolTip(detail);
}

void StatusLine::showProgress(TransferKind kind, int block, int count) {
    progress_->setText(progressText(kind, block, count));
}

void StatusLine::showRest(RestKind kind, int secondsLeft) {
    progress_->setText(restText(kind, secondsLeft));
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
