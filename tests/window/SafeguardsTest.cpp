// What the window does with text from outside: a field's length limit holds for every way a
// text comes in, texts from radios and files show as they are, a long path keeps its file name,
// and the file dialogs show their columns whole.
#include <QClipboard>
#include <QFileDialog>
#include <QHeaderView>
#include <QMimeData>
#include <QStatusBar>
#include <QTextDocumentFragment>
#include <QTreeView>

#include "WindowFixture.h"
#include "shell/DataFileDialog.h"
#include "shell/StatusLine.h"

namespace qv::test {
namespace {

using namespace std::chrono_literals;

using Safeguards = WindowTest;

// A text longer than the field's limit gives the field the whole number it reads as, brought
// into range; one that is no number changes nothing. Field 15 (0..255) and the close level 20
// (0..6, left empty when cleared) take three characters each.
TEST_F(Safeguards, TheLengthLimitHoldsForPastedDroppedAndSetTexts) {
    open();
    using Way = std::function<void(QLineEdit*, const QString&)>;
    const Way paste = [](QLineEdit* box, const QString& text) {
        QApplication::clipboard()->setText(text);
        box->selectAll();
        box->paste();  // what the context menu's Paste does
    };
    const Way drop = [](QLineEdit* box, const QString& text) {
        QMimeData data;
        data.setText(text);
        QDragEnterEvent enter(box->rect().center(), Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QCoreApplication::sendEvent(box, &enter);
        QDropEvent event(QPointF(box->rect().center()), Qt::CopyAction, &data, Qt::LeftButton,
                         Qt::NoModifier);
        QCoreApplication::sendEvent(box, &event);
    };
    // A drop adds to a field's text: only the empty close level is dropped on.
    const std::tuple<int, const char*, const char*> cases[] = {
        {20, "000000004", "4"}, {20, "  4.5  ", "4"}, {20, "abcdef", ""}, {15, " 12.5 ", "12"},
        {15, "1000", "255"},    {15, "12 34", "7"},   {15, "1.5", "1.5"}};
    for (const bool dropped : {false, true}) {
        for (const auto& [field, text, shown] : cases) {
            if (dropped && field == 15) {
                continue;
            }
            window->fields().setText(field, field == 15 ? "7" : "");
            (dropped ? drop : paste)(edit(field), text);
            EXPECT_EQ(edit(field)->text(), shown) << field << " \"" << text << '"';
        }
    }
    window->fields().setText(15, "000000012");
    EXPECT_EQ(edit(15)->text(), "12");
}

// What a tooltip shows: its text, or the text of its markup.
QString shownToolTip(const QWidget* widget) {
    const QString tip = widget->toolTip();
    return Qt::mightBeRichText(tip) ? QTextDocumentFragment::fromHtml(tip).toPlainText() : tip;
}

// A model, file or port that looks like markup shows as its characters, in the status line,
// its tooltips and the message boxes: the label is as wide as those characters.
TEST_F(Safeguards, TextFromOutsideShowsAsItIs) {
    const QString markup = "<img src=x><hr>";
    QStatusBar bar;
    StatusLine line(bar);
    line.showRadio({markup.toStdString(), markup.toStdString()});
    line.showFile(markup, markup);
    line.showPort(markup, markup);
    for (const char* name : {"statusRadio", "statusFile", "statusPort"}) {
        const auto* label = bar.findChild<QLabel*>(name);
        EXPECT_GE(label->sizeHint().width(), label->fontMetrics().horizontalAdvance(label->text()))
            << name;
    }
    EXPECT_EQ(shownToolTip(bar.findChild<QLabel*>("statusFile")), markup);
    EXPECT_TRUE(shownToolTip(bar.findChild<QLabel*>("statusPort")).startsWith(markup + "\n"));

    MessageBoxNotices boxes;
    for (const auto& box : {boxes.messageBox(markup.toStdString(), NoticeIcon::Stop),
                            boxes.questionBox(markup.toStdString())}) {
        const auto* label = box->findChild<QLabel*>("qt_msgbox_label");
        EXPECT_GE(label->sizeHint().width(), label->fontMetrics().horizontalAdvance(markup));
    }
}

// A path too long for the status line loses the middle of its folders and keeps its file
// name; with less room still, the middle of the file name. The whole shows on hovering, and
// once there is room.
TEST_F(Safeguards, ALongPathKeepsItsFileName) {
    const QString folder = "/home/technician/.local/share/qv4120-settestdata/backups/";
    const QString name = "QV-4120_01.02_20261207-101500_read.json";
    const QString longName = "QV-4120_" + QString(80, 'x') + "_read.json";
    const QString ellipsis(QChar(0x2026));
    QStatusBar bar;
    StatusLine line(bar);
    auto* file = bar.findChild<PathLabel*>("statusFile");
    bar.show();
    const std::tuple<QString, int, QString, QString> cases[] = {
        {name, 1200, "Backup kept: /h", "s/" + name},
        {longName, 0, "Backup kept: " + ellipsis + "/QV-4120_", "_read.json"},
        {name, 100000, "Backup kept: " + folder + name, ""}};
    for (const auto& [shownName, width, start, end] : cases) {
        line.showFile("Backup kept: " + folder + shownName, folder + shownName);
        bar.resize(width, bar.height());  // no narrower than its minimum
        const QString shown = file->shownText();
        EXPECT_TRUE(shown.startsWith(start) && shown.endsWith(end)) << shown.toStdString();
        EXPECT_LE(file->fontMetrics().horizontalAdvance(shown), file->contentsRect().width());
        EXPECT_EQ(file->text(), "Backup kept: " + folder + shownName);
        EXPECT_EQ(shownToolTip(file), folder + shownName);
    }
}

// Keeps what the data file dialog asks for.
class RequestKept : public FilePicker {
public:
    Request request;
    std::optional<QString> pick(const Request& asked) override {
        request = asked;
        return std::nullopt;
    }
};

// Save Data's and Load Data's dialogs, over a folder with a backup and a data file in it, show
// every column whole: the name, the size in words, the type and the date in the locale's form.
// With QV_SCREENSHOTS set, they are saved as <language>-dialog-<kind>.png.
TEST_F(Safeguards, FileDialogsShowTheirColumnsWhole) {
    writeFile(path("QV-4120_01.02_20261207-101500_read.json"), QByteArray(128, ' '));
    writeFile(path("radio-before-tuning.bin"), QByteArray(118, '\0'));
    for (const bool chinese : {false, true}) {
        locale.chineseChina = chinese;
        open();
        QtFilePicker picker(window.get());
        for (const auto kind : {FilePicker::Kind::Open, FilePicker::Kind::Save}) {
            RequestKept kept;
            DataFileDialog data(kept);
            data.setFileName(path("saved.bin"));
            data.show(kind, "Data");
            const std::unique_ptr<QFileDialog> dialog = picker.dialog(kept.request);
            dialog->show();
            auto* view = dialog->findChild<QTreeView*>("treeView");
            ASSERT_NE(view, nullptr);
            ASSERT_TRUE(
                waitUntil([&] { return view->model()->rowCount(view->rootIndex()) > 0; }, 5s));
            const QHeaderView* header = view->header();
            EXPECT_TRUE(
                waitUntil([&] { return header->length() <= view->viewport()->width(); }, 5s));
            for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row) {
                for (int column = 0; column < header->count(); ++column) {
                    const QModelIndex entry = view->model()->index(row, column, view->rootIndex());
                    EXPECT_GE(header->sectionSize(column), view->sizeHintForIndex(entry).width())
                        << entry.data().toString().toStdString();
                }
            }
            screenshot(QString(chinese ? "zh" : "en") + "-dialog-" +
                           (kind == FilePicker::Kind::Open ? "open" : "save"),
                       dialog.get());
        }
    }
}

}  // namespace
}  // namespace qv::test
