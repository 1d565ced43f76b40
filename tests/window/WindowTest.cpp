// The main window over fakes: start-up and language, the port list, the pages and the editing
// rules wired to every field.
#include <QAbstractItemView>
#include <QClipboard>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QSignalSpy>
#include <QTabWidget>
#include <QToolButton>

#include "WindowFixture.h"
#include "fields/FieldEditor.h"
#include "fields/SpinButton.h"
#include "shell/QtSystemLocale.h"

namespace qv::test {
namespace {

QRect geometry(const QWidget* widget) {
    return QRect(widget->mapTo(widget->window(), QPoint(0, 0)), widget->size());
}

// The widget `offset` cells right of `widget` in its grid, and the cell of `widget`.
std::pair<QWidget*, QPoint> besides(QWidget* widget, int offset) {
    auto* grid = static_cast<QGridLayout*>(widget->parentWidget()->layout());
    int row = 0, column = 0, span = 0;
    grid->getItemPosition(grid->indexOf(widget), &row, &column, &span, &span);
    QLayoutItem* item = grid->itemAtPosition(row, column + offset);
    return {item ? item->widget() : nullptr, QPoint(column, row)};
}

using StartUp = WindowTest;

// The saved port is chosen when present, else the first present one, which is then saved; with
// no port present the file keeps its value. The language follows the locale. All that before
// the reminder, the window unshown.
TEST_F(StartUp, ThePortAndTheLanguageAreChosenBeforeTheReminder) {
    const std::tuple<QByteArray, std::vector<PresentPort>, QString, QByteArray, bool> cases[] = {
        {"5", {port(3), port(5)}, "COM5", "5", true},
        {"9", {port(3), port(5)}, "COM3", "3", false},
        {"4", {}, "", "4", false},
        {"COM5", {port(5), port(6)}, "COM5", "5", false}};
    for (const auto& [saved, present, chosen, savedAfter, chinese] : cases) {
        writeFile(path("mysetup.ini"), "[language]\ncomPort=" + saved + "\n");
        locale.chineseChina = chinese;
        QByteArray atReminder;
        notices.onShow = [&] {
            atReminder = readFile(path("mysetup.ini")) + (window->isVisible() ? "shown" : "") +
                         (window->findChild<QTimer*>("portRescanTimer")->isActive() ? "" : "idle") +
                         window->readButton()->text().toUtf8();
            notices.onShow = nullptr;
        };
        open(present);
        EXPECT_EQ(window->findChild<QComboBox*>("portList")->currentText(), chosen);
        EXPECT_EQ(atReminder,
                  "[language]\ncomPort=" + savedAfter + "\n" + (chinese ? "读出(&R)" : "&Read"));
        EXPECT_EQ(window->writeButton()->text(), chinese ? "写入(&W)" : "&Write");
        EXPECT_EQ(window->language(), chinese ? Language::Chinese : Language::English);
    }
    EXPECT_TRUE(isChineseChina(QLocale(QLocale::Chinese, QLocale::China)));
    EXPECT_FALSE(isChineseChina(QLocale(QLocale::Chinese, QLocale::Taiwan)) ||
                 isChineseChina(QLocale(QLocale::English, QLocale::China)));
    QStringList captions{window->windowTitle(), window->font().family()};
    for (const char* name :
         {"saveButton", "loadButton", "exitButton", "portListCaption", "closeLevelNote"}) {
        captions << window->findChild<QWidget*>(name)->property("text").toString();
    }
    const QString note = QStringLiteral(
        "***After entering ASQ and Squelch levels (N)\nand writing these to the radio, the\nradio "
        "will display level N+1.");
    EXPECT_EQ(captions, QStringList({"QV-4120_MAX_SetTestData", "Arial", "Save Data", "Load Data",
                                     "Exit", "Comm Select：", note}));
}

// A pick is saved at once; the re-scan follows ports that come and go without writing the
// settings file itself, until Exit stops it and has the port closed.
TEST_F(StartUp, APickIsSavedAndTheRescanFollowsPortsUntilExit) {
    open({port(3), port(5, "/dev/pts/4")});
    auto* list = window->findChild<QComboBox*>("portList");
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(window->findChild<QLabel*>("portDevice")->text() + list->toolTip(),
              "/dev/pts/4/dev/pts/4");
    EXPECT_EQ(settings.readComPort(), 5);
    list->showPopup();  // the user points at COM3 when an unchanged list comes again
    list->view()->setCurrentIndex(list->model()->index(0, 0));
    window->onPortRescan();
    EXPECT_EQ(list->view()->currentIndex().row(), 0);
    list->hidePopup();
    for (const auto& [present, chosen] : {std::pair{std::vector{port(3), port(5), port(8)}, 5},
                                          {{port(3)}, 3},
                                          {{port(3), port(5)}, 3},
                                          {{}, 0}}) {
        ports.present = present;
        window->onPortRescan();
        EXPECT_EQ(window->portNumber(), chosen);
    }
    EXPECT_EQ(settings.readComPort(), 5);
    QSignalSpy closing(window.get(), &MainWindow::closing);
    window->findChild<QPushButton*>("exitButton")->click();
    EXPECT_FALSE(window->isVisible() || window->findChild<QTimer*>("portRescanTimer")->isActive());
    EXPECT_EQ(closing.count(), 1);
}

using Pages = WindowTest;

// Six pages, reached in turn by Ctrl+Tab. Every editable field stands on its page with its
// caption at its left, its spin button at its right and its length limit; the fields of a frame
// stand in two columns of four. A read-only value has no box anywhere.
TEST_F(Pages, EveryEditableFieldStandsOnItsPage) {
    open();
    auto* pages = window->findChild<FieldEditor*>("pages");
    QStringList reached;
    for (int i = 0; i < 7; ++i) {
        reached << pages->tabText(pages->currentIndex());
        QTest::keyClick(edit(60), Qt::Key_Tab, Qt::ControlModifier);
    }
    EXPECT_EQ(reached, QStringList({"S-Meter", "FREQ", "OTHER", "FM", "AM", "SSB", "S-Meter"}));
    EXPECT_EQ(shown().size(), 50);
    for (const FieldInfo& info : catalogue()) {
        QLineEdit* box = pages->fieldEdit(info.index);
        ASSERT_EQ(box == nullptr, info.readOnly()) << info.index;
        if (box != nullptr) {
            const int page = std::max(pages->indexOf(box->parentWidget()),
                                      pages->indexOf(box->parentWidget()->parentWidget()));
            EXPECT_EQ(pages->tabText(page).toStdString(), pageCaption(info.page));
            EXPECT_EQ(besides(box, -1).first->property("text").toString().toStdString(),
                      info.caption);
            EXPECT_EQ(qobject_cast<SpinButton*>(besides(box, 1).first)->field(), box);
            QTest::keyClicks(box, QString(info.maxChars + 2, '0'));
            EXPECT_EQ(box->text().size(), info.maxChars) << info.index;
        }
    }
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(besides(edit(68 + i), 0).second,
                  besides(edit(68), 0).second + QPoint(i / 4 * 4, i % 4));
        EXPECT_EQ(qobject_cast<QGroupBox*>(edit(68 + i)->parentWidget())->title(), "UL SQ");
    }
}

// Every caption and field shows whole and nothing overlaps, on every page, in both languages;
// the note on the close levels stands at their right. With QV_SCREENSHOTS set to a folder,
// each page is also saved there as <language>-<page>.png.
TEST_F(Pages, NothingClippedOrOverlapping) {
    for (const bool chinese : {false, true}) {
        locale.chineseChina = chinese;
        open({port(1), port(33, "/dev/ttyUSB0")});
        for (const FieldInfo& info : catalogue()) {
            if (!info.readOnly()) {
                window->fields().setText(info.index,
                                         std::to_string(info.rangeMax - info.index % 5));
            }
        }
        auto* pages = window->findChild<QTabWidget*>("pages");
        for (int page = 0; page < pages->count(); ++page) {
            pages->setCurrentIndex(page);
            QCoreApplication::processEvents();
            QList<QWidget*> shown;  // the visible widgets that hold no others
            for (QWidget* w : window->centralWidget()->findChildren<QWidget*>()) {
                if (w->isVisible() && w->findChildren<QWidget*>().isEmpty()) {
                    shown << w;
                }
            }
            for (QWidget* w : shown) {
                // The arrows of a spin button are smaller than a tool button likes, on purpose.
                const auto* box = qobject_cast<QLineEdit*>(w);
                EXPECT_TRUE(qobject_cast<QToolButton*>(w) ||
                            (w->size().expandedTo(w->minimumSizeHint()) == w->size() &&
                             (!box || box->fontMetrics().horizontalAdvance(box->text()) <
                                          box->width() - 4)))
                    << w->objectName().toStdString() << " is cut";
                for (QWidget* other : shown) {
                    EXPECT_TRUE(other == w || !geometry(w).intersects(geometry(other)))
                        << w->objectName().toStdString() << " overlaps "
                        << other->objectName().toStdString();
                }
            }
            // A palette of 256 colours keeps the files small enough to commit.
            const QImage image = window->grab().toImage().convertToFormat(QImage::Format_Indexed8);
            if (const QString folder = qEnvironmentVariable("QV_SCREENSHOTS"); !folder.isEmpty()) {
                image.save(folder + (chinese ? "/zh-" : "/en-") + pages->tabText(page) + ".png");
            }
        }
        EXPECT_GT(geometry(window->findChild<QLabel*>("closeLevelNote")).left(),
                  geometry(edit(26)).right());
    }
}

using FieldEditing = WindowTest;

// The field shows the rule's result after the last key; keys beyond ASCII are dropped (an emoji
// is one key with two characters). The Up/Down keys and the arrows step within 0 and the
// maximum, and texts set by the tool (a read, a loaded file) pass the same rule, with the
// system's decimal separator.
TEST_F(FieldEditing, TheRulesHoldForEveryWayAFieldChanges) {
    const std::tuple<int, const char*, const char*> cases[] = {
        {15, "300", "255"}, {5, "254", "254"}, {0, "70000", "65535"}, {60, "123456", "12345"},
        {20, "7", "6"},     {26, "9", "6"},    {15, "007", "007"},    {4, "a1 -+.,e2", "12"},
        {20, "5\b", ""},    {26, "5\b", ""},   {15, "5\b", "0"},      {0, "5\b", "0"}};
    locale.decimalPoint = ",";
    open();
    for (const auto& [field, typed, shown] : cases) {
        type(field, typed);
        EXPECT_EQ(edit(field)->text(), shown) << typed;
    }
    for (const char* key : {"é", "２", "中", "😀"}) {
        QTest::sendKeyEvent(QTest::Click, edit(4), Qt::Key_unknown, QString::fromUtf8(key), {});
    }
    EXPECT_EQ(edit(4)->text(), "12");
    const std::tuple<int, const char*, Qt::Key, const char*> steps[] = {
        {15, "255", Qt::Key_Up, "255"}, {0, "65535", Qt::Key_Up, "65535"},
        {60, "0", Qt::Key_Down, "0"},   {4, "", Qt::Key_Up, "1"},
        {20, "6", Qt::Key_Up, "6"},     {0, "65535", Qt::Key_Down, "65534"}};
    for (const auto& [field, start, key, shown] : steps) {
        edit(field)->setText(start);
        QTest::keyClick(edit(field), key);
        EXPECT_EQ(edit(field)->text(), shown) << field << start;
        edit(field)->setText(start);
        window->findChild<QWidget*>(QStringLiteral("spinButton_%1").arg(field))
            ->findChild<QToolButton*>(key == Qt::Key_Up ? "stepUp" : "stepDown")
            ->click();
        EXPECT_EQ(edit(field)->text(), shown) << field << start;
    }
    for (const auto& [field, text, shown] :
         {std::tuple{20, "7", "6"}, {0, "1,5", "1,5"}, {0, "1.5", "0"}}) {
        window->fields().setText(field, text);
        EXPECT_EQ(window->fields().text(field), shown);
    }
    // Copy, cut and paste by keyboard do nothing; Enter moves on as Tab does and inserts nothing.
    // Focus selects the whole text, so typing replaces it; an empty field 2 or 3 first takes
    // the system's short date, which the change rule turns into "0" unless it reads as a number.
    QApplication::setActiveWindow(window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    window->findChild<QTabWidget*>("pages")->setCurrentIndex(5);
    QApplication::clipboard()->setText("123");
    QLineEdit* box = edit(56);
    box->setText("45");
    box->setFocus();
    for (const auto& [key, modifier] : {std::pair{Qt::Key_V, Qt::ControlModifier},
                                        {Qt::Key_Insert, Qt::ShiftModifier},
                                        {Qt::Key_Delete, Qt::ShiftModifier}}) {
        QTest::keyClick(box, key, modifier);
    }
    EXPECT_EQ(QApplication::clipboard()->text(), "123");
    QTest::keyClick(box, Qt::Key_Tab);
    QWidget* afterTab = QApplication::focusWidget();
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_TRUE(afterTab != box && QApplication::focusWidget() == afterTab);
    EXPECT_EQ(box->text(), "45");
    struct Focus {
        int field;
        const char* date;
        bool byMouse;
        const char* selected;
    };
    const Focus focuses[] = {{56, "12/6/26", false, "45"},
                             {56, "12/6/26", true, "45"},
                             {2, "12/6/26", false, "0"},
                             {3, "61226", true, "61226"}};
    for (const Focus& focus : focuses) {
        locale.date = focus.date;
        edit(13)->setFocus();
        box = edit(focus.field);
        focus.byMouse ? QTest::mouseClick(box, Qt::LeftButton, {}, box->rect().center())
                      : box->setFocus();
        EXPECT_TRUE(QTest::qWaitFor([&] { return box->selectedText() == focus.selected; }))
            << focus.field << focus.date;
    }
    QTest::keyClick(box, '4');
    EXPECT_EQ(box->text(), "4");
}

}  // namespace
}  // namespace qv::test
