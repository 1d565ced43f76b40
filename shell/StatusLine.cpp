#include "shell/StatusLine.h"

#include <QPainter>
#include <QStatusBar>
#include <QStyle>
#include <algorithm>

#include "record/FieldCatalogue.h"
#include "translations/Translations.h"
#include "workflow/Wording.h"

namespace qv {

namespace {

// Room around a section's text: its frame, margins and the gap to the next.
constexpr int kSectionRoom = 16;

// A tooltip shows markup when its text looks like some; a text from outside shows as it is.
QString plainToolTip(const QString& text) {
    return Qt::mightBeRichText(text) ? "<p style='white-space:pre'>" + text.toHtmlEscaped() + "</p>"
                                     : text;
}

// The path in `room` pixels: its folders elided in the middle and the file name whole while it
// fits; else the file name alone, elided in the middle, after "…/".
QString elidedPath(const QString& path, const QFontMetrics& metrics, int room) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    if (slash < 0) {
        return metrics.elidedText(path, Qt::ElideMiddle, room);
    }
    const QString name = path.mid(slash + 1);
    const QString elidedFolders = QStringLiteral("\u2026/");
    const int folderRoom = room - metrics.horizontalAdvance(name);
    if (folderRoom < metrics.horizontalAdvance(elidedFolders)) {
        return elidedFolders + metrics.elidedText(name, Qt::ElideMiddle,
                                                  room - metrics.horizontalAdvance(elidedFolders));
    }
    return metrics.elidedText(path.left(slash + 1), Qt::ElideMiddle, folderRoom) + name;
}

// A framed section at least as wide as the widest of `widest`, so that nothing moves as texts
// come and go. The one that stretches takes the room left.
template <typename Label = QLabel>
Label* addSection(QStatusBar& bar, const char* name, const QString& spokenName, int stretch,
                  const QStringList& widest) {
    auto* label = new Label(&bar);
    label->setObjectName(name);
    label->setAccessibleName(spokenName);
    label->setTextFormat(Qt::PlainText);
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

// A section's name says what it shows, its description what it shows now: a screen reader is
// told of each change.
void showText(QLabel& label, const QString& text) {
    if (text == label.text()) {
        return;
    }
    label.setText(text);
    label.setAccessibleDescription(text);
}

}  // namespace

void PathLabel::showPath(const QString& text, const QString& path) {
    path_ = path;
    showText(*this, text);
}

// The room of the text: inside the frame and margins, and after the indent, which a framed
// label makes half an x wide.
QRect PathLabel::textRect() const {
    const int shift = indent() >= 0      ? indent()
                      : frameWidth() > 0 ? fontMetrics().horizontalAdvance(QLatin1Char('x')) / 2
                                         : 0;
    return contentsRect().adjusted(margin() + shift, margin(), -margin(), -margin());
}

QString PathLabel::shownText() const {
    const QFontMetrics metrics = fontMetrics();
    const int room = textRect().width();
    QString whole = text();
    if (metrics.horizontalAdvance(whole) <= room) {
        return whole;
    }
    const qsizetype at = path_.isEmpty() ? -1 : whole.lastIndexOf(path_);
    if (at < 0) {
        return metrics.elidedText(whole, Qt::ElideRight, room);
    }
    const QString before = whole.left(at);
    const QString after = whole.mid(at + path_.size());
    const int pathRoom =
        room - metrics.horizontalAdvance(before) - metrics.horizontalAdvance(after);
    return before + elidedPath(path_, metrics, pathRoom) + after;
}

void PathLabel::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    drawFrame(&painter);
    const auto flags =
        static_cast<int>(QStyle::visualAlignment(layoutDirection(), alignment()).toInt());
    style()->drawItemText(&painter, textRect(), flags, palette(), isEnabled(), shownText(),
                          foregroundRole());
}

StatusLine::StatusLine(QStatusBar& bar)
    : port_(addSection<PathLabel>(bar, "statusPort", tr("Port"), 0,
                                  {QStringLiteral("COM100: /dev/ttyUSB10")})),
      progress_(addSection(
          bar, "statusProgress", tr("Transfer"), 0,
          {progressText(TransferKind::Read, 8, 8), progressText(TransferKind::Write, 8, 8),
           Wording::restText(RestKind::Storing, 3), Wording::restText(RestKind::Resting, 3)})),
      radio_(addSection(bar, "statusRadio", tr("Radio"), 0,
                        {tr("Radio %1, version %2").arg("QV-4120", "00.00")})),
      changes_(addSection(bar, "statusChanges", tr("Changes"), 0, {changesText(kFieldCount)})),
      // The start of a path at least; the whole of it shows on hovering.
      file_(addSection<PathLabel>(bar, "statusFile", tr("File"), 1,
                                  {QString(24, QLatin1Char('x'))})) {}

void StatusLine::showPort(const QString& entry, const QString& device) {
    port_->showPath(entry.isEmpty() ? tr("No port") : entry + ": " + device, device);
    device_ = device;
    showPortToolTip();
}

void StatusLine::showSettingsFile(const QString& path) {
    settingsFile_ = path;
    showPortToolTip();
}

void StatusLine::showPortToolTip() {
    const QString settings = tr("Settings file: %1").arg(settingsFile_);
    port_->setToolTip(plainToolTip(device_.isEmpty() ? settings : device_ + "\n" + settings));
}

void StatusLine::showFile(const QString& text, const QString& detail) {
    file_->showPath(text, detail);
    file_->setToolTip(plainToolTip(detail));
}

void StatusLine::showProgress(TransferKind kind, int block, int count) {
    showText(*progress_, progressText(kind, block, count));
}

void StatusLine::showRest(const QString& said) {
    showText(*progress_, said);
}

void StatusLine::showRadio(const Identification& radio) {
    showText(*radio_,
             tr("Radio %1, version %2")
                 .arg(QString::fromLatin1(radio.model), QString::fromLatin1(radio.version)));
}

void StatusLine::clearProgress() {
    showText(*progress_, {});
}

void StatusLine::showChanges(int count) {
    showText(*changes_, changesText(count));
}

}  // namespace qv
