#pragma once

#include <QCoreApplication>
#include <QLabel>
#include <QString>

#include "link/Frames.h"
#include "link/TransferListener.h"

class QStatusBar;

namespace qv {

// A section of the status line that shows a text holding a path. When it is too narrow the
// path gives way first, from the middle of its folders, so that the file name stays whole;
// text() and the tooltip keep the whole.
class PathLabel final : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

    void showPath(const QString& text, const QString& path);
    // What the section shows at its present width.
    QString shownText() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRect textRect() const;

    QString path_;
};

// The window's status line: the chosen port, the progress of a running transfer, the radio
// last identified, the fields changed and the file last saved, loaded or kept, each in a frame
// of its own, named for a screen reader by what it shows, its text as its description. It only
// shows; it decides nothing. Its texts come from outside (a radio's model,
// a file's name) and show as they are, never as markup.
class StatusLine final {
    Q_DECLARE_TR_FUNCTIONS(StatusLine)
public:
    explicit StatusLine(QStatusBar& bar);

    void showPort(const QString& entry, const QString& device);
    // The settings file, which keeps the port picked, shows on hovering the port.
    void showSettingsFile(const QString& path);
    // What happened to a file; the path (or why not) also shows on hovering.
    void showFile(const QString& text, const QString& detail);
    void showProgress(TransferKind kind, int block, int count);
    // The radio's rest after END, in place of the progress.
    // The radio's rest after END, as the workflow words it.
    void showRest(const QString& said);
    void showRadio(const Identification& radio);
    void clearProgress();
    // How many fields differ from what was last read, loaded or written.
    void showChanges(int count);

private:
    void showPortToolTip();

    QString device_;
    QString settingsFile_;
    PathLabel* port_;
    QLabel* progress_;
    QLabel* radio_;
    QLabel* changes_;
    PathLabel* file_;
};

}  // namespace qv
