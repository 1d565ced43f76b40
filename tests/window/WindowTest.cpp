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

TEST_F(StartUp, TheLanguageFollowsTheLocaleAndTheCaptionsStay) {
    for (const bool chinese : {true, false}) {
        locale.chineseChina = chinese;
        EXPECT_EQ(open().language(), chinese ? Language::Chinese : Language::English);
        EXPECT_EQ(window->readButton()->text(), chinese ? "读出(&R)" : "&Read");
        EXPECT_EQ(window->writeButton()->text(), chinese ? "写入(&W)" : "&Write");
    }
    EXPECT_TRUE(isChineseChina(QLocale(QLocale::Chinese, QLocale::China)));
    EXPECT_FALSE(isChineseChina(QLocale(QLocale::Chinese, QLocale::Taiwan)) ||
                 isChineseChina(QLocale(QLocale::English, QLocale::China)));
    QStringList captions{window->windowTitle(), window->font().family()};
    for (const char* name : {"saveButton", "loadButton", "exitButton", "portListCaption"}) {
        captions << window->findChild<QWidget*>(name)->property("text").toString();
    }
    EXPECT_EQ(captions, QStringList({"QV-4120_MAX_SetTestData", "Arial", "Save Data", "Load Data",
                                     "Exit", "Comm Select："}));
}

// The saved port is chosen when present, else the first present one, which is then saved; with
// no port present the file keeps its value. All that before the reminder, the window unshown.
TEST_F(StartUp, TheSavedPortIsRestoredBeforeTheReminder) {
    const std::tuple<QByteArray, std::vector<PresentPort>, int, QByteArray> cases[] = {
        {"5", {port(3), port(5)}, 5, "5"},
        {"9", {port(3), port(5)}, 3, "3"},
        {"4", {}, 0, "4"},
        {"COM5", {port(5), port(6)}, 5, "5"}};
    for (const auto& [saved, present, chosen, savedAfter] : cases) {
        writeFile(path("mysetup.ini"), "[language]\ncomPort=" + saved + "\n");
        QByteArray atReminder;
        notices.onShow = [&] {
            EXPECT_FALSE(window->isVisible());
            EXPECT_TRUE(window->findChild<QTimer*>("portRescanTimer")->isActive());
            atReminder = readFile(path("mysetup.ini"));
            notices.onShow = nullptr;
        };
        EXPECT_EQ(open(present).portNumber(), chosen);
        EXPECT_EQ(window->findChild<QComboBox*>("portList")->currentText(),
                  chosen ? "COM" + QString::number(chosen) : "");
        EXPECT_EQ(atReminder, "[language]\ncomPort=" + savedAfter + "\n");
    }
}

// A pick is saved at once; the re-scan follows ports that go and come back without writing
// the settings file itself, until Exit stops it and has the port closed.
TEST_F(StartUp, APickIsSavedAndTheRescanFollowsPortsUntilExit) {
    open({port(3), port(5, "/dev/pts/4")});
    auto* list = window->findChild<QComboBox*>("portList");
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(window->portNumber(), 5);
    EXPECT_EQ(window->portDevice(), "/dev/pts/4");
    EXPECT_EQ(window->findChild<QLabel*>("portDevice")->text(), "/dev/pts/4");
    EXPECT_EQ(list->itemData(1, Qt::ToolTipRole).toString(), "/dev/pts/4");
    EXPECT_EQ(settings.readComPort(), 5);
    list->showPopup();  // the user points at COM3 when an unchanged list comes again
    list->view()->setCurrentIndex(list->model()->index(0, 0));
    window->onPortRescan();
    EXPECT_EQ(list->view()->currentIndex().row(), 0);
    list->hidePopup();
    ports.present = {port(3), port(5), port(8)};
    window->onPortRescan();
    EXPECT_EQ(window->portNumber(), 5);
    ports.present = {port(3)};
    window->onPortRescan();
    EXPECT_EQ(window->portNumber(), 3);
    ports.present = {port(3), port(5)};
    window->onPortRescan();
    EXPECT_EQ(list->currentText(), "COM3");
    EXPECT_EQ(settings.readComPort(), 5);
    ports.present.clear();
    window->onPortRescan();
    EXPECT_EQ(window->portNumber(), 0);
    EXPECT_EQ(list->currentIndex(), -1);
    QSignalSpy closing(window.get(), &MainWindow::closing);
    window->findChild<QPushButton*>("exitButton")->click();
    EXPECT_FALSE(window->isVisible() || window->findChild<QTimer*>("portRescanTimer")->isActive());
    EXPECT_EQ(closing.count(), 1);
}

using Pages = WindowTest;

// Six pages, reached in turn by Ctrl+Tab. Every editable field stands on its page with its
// caption at its left, its spin button at its right and its length limit, top to bottom and
// left column first; a read-only value has no box anywhere.
TEST_F(Pages, EveryEditableFieldStandsOnItsPage) {
    open();
    auto* pages = window->findChild<QTabWidget*>("pages");
    QStringList reached;
    for (int i = 0; i < 7; ++i) {
        reached << pages->tabText(pages->currentIndex());
        QTest::keyClick(edit(60), Qt::Key_Tab, Qt::ControlModifier);
    }
    EXPECT_EQ(reached, QStringList({"S-Meter", "FREQ", "OTHER", "FM", "AM", "SSB", "S-Meter"}));
    EXPECT_EQ(shown().size(), 50);
    for (const FieldInfo& info : catalogue()) {
        QLineEdit* box = window->findChild<FieldEditor*>("pages")->fieldEdit(info.index);
        ASSERT_EQ(box == nullptr, info.readOnly()) << info.index;
        if (box != nullptr) {
            EXPECT_EQ(box, edit(info.index));
            int page = 0;
            while (!pages->widget(page)->isAncestorOf(box)) {
                ++page;
            }
            EXPECT_EQ(pages->tabText(page).toStdString(), pageCaption(info.page));
            EXPECT_EQ(besides(box, -1).first->property("text").toString().toStdString(),
                      info.caption);
            EXPECT_EQ(qobject_cast<SpinButton*>(besides(box, 1).first)->field(), box);
            QTest::keyClicks(box, QString(info.maxChars + 2, '0'));
            EXPECT_EQ(box->text().size(), info.maxChars) << info.index;
        }
    }
    QStringList ulSq;
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(besides(edit(68 + i), 0).second,
                  besides(edit(68), 0).second + QPoint(i / 4 * 4, i % 4));
        EXPECT_EQ(qobject_cast<QGroupBox*>(edit(68 + i)->parentWidget())->title(), "UL SQ");
        ulSq << besides(edit(68 + i), -1).first->property("text").toString();
    }
    EXPECT_EQ(ulSq, QStringList({"1", "3", "5", "7", "9", "10", "20", "30"}));
}

// Every caption shows whole and nothing overlaps, on every page, in both languages; the note
// on the close levels stands at their right. With QV_SCREENSHOTS set to a folder, each page
// is also saved there as <language>-<page>.png.
TEST_F(Pages, NothingClippedOrOverlapping) {
    for (const bool chinese : {false, true}) {
        locale.chineseChina = chinese;
        open({port(1), port(33, "/dev/ttyUSB0")});
        for (const FieldInfo& info : catalogue()) {
            if (!info.readOnly()) {
                window->fields().setText(info.index, std::to_string(info.rangeMax - info.index));
            }
        }
        auto* pages = window->findChild<QTabWidget*>("pages");
        for (int page = 0; page < pages->count(); ++page) {
            pages->setCurrentIndex(page);
            QCoreApplication::processEvents();
            QList<QWidget*> shown;
            for (QWidget* w : window->centralWidget()->findChildren<QWidget*>()) {
                if (w->isVisible() &&
                    (qobject_cast<QLabel*>(w) || qobject_cast<QLineEdit*>(w) ||
                     qobject_cast<QPushButton*>(w) || qobject_cast<SpinButton*>(w))) {
                    shown << w;
                }
            }
            for (QWidget* w : shown) {
                EXPECT_TRUE(w->width() >= w->minimumSizeHint().width() &&
                            w->height() >= w->minimumSizeHint().height())
                    << w->objectName().toStdString() << " is clipped";
                const auto* box = qobject_cast<QLineEdit*>(w);
                EXPECT_TRUE(!box ||
                            box->fontMetrics().horizontalAdvance(box->text()) < box->width() - 4)
                    << w->objectName().toStdString() << " cuts its text";
                for (QWidget* other : shown) {
                    EXPECT_TRUE(other == w || w->isAncestorOf(other) ||
                                !geometry(w).intersects(geometry(other)))
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
    EXPECT_EQ(window->findChild<QLabel*>("closeLevelNote")->text(),
              "***After entering ASQ and Squelch levels (N)\nand writing these to the radio, the\n"
              "radio will display level N+1.");
}

using FieldEditing = WindowTest;

// The field shows the rule's result after the last key. Texts set by the tool (a read, a
// loaded file) pass the same rule, with the system's decimal separator. The arrows and the
// Up/Down keys step within 0 and the maximum, then the rule runs.
TEST_F(FieldEditing, TypingSteppingAndSettingKeepTheFieldInRange) {
    const std::tuple<int, const char*, const char*> cases[] = {
        {15, "300", "255"}, {5, "254", "254"}, {0, "70000", "65535"}, {60, "123456", "12345"},
        {20, "7", "6"},     {26, "9", "6"},    {15, "007", "007"},    {4, "a1 -+.,e2", "12"},
        {20, "5\b", ""},    {26, "5\b", ""},   {15, "5\b", "0"},      {0, "5\b", "0"}};
    locale.decimalPoint = ",";
    open();
    for (const auto& [field, typed, shown] : cases) {
        type(field, QString::fromUtf8(typed));
        EXPECT_EQ(edit(field)->text(), QString::fromUtf8(shown)) << typed;
    }
    // Keys beyond ASCII, as a keyboard layout or an input method sends them; an emoji is one key
    // with two characters.
    for (const char* key : {"é", "２", "中", "😀"}) {
        QTest::sendKeyEvent(QTest::Click, edit(4), Qt::Key_unknown, QString::fromUtf8(key), {});
    }
    EXPECT_EQ(edit(4)->text(), "12");
    for (const auto& [field, text, shown] :
         {std::tuple{20, "7", "6"}, {0, "1,5", "1,5"}, {0, "1.5", "0"}}) {
        window->fields().setText(field, text);
        EXPECT_EQ(window->fields().text(field), shown);
    }
    const std::tuple<int, const char*, const char*, const char*> steps[] = {
        {15, "255", "255", "254"},
        {0, "65535", "65535", "65534"},
        {60, "0", "1", "0"},
        {4, "", "1", "0"},
        {20, "6", "6", "5"}};
    for (const auto& [field, start, up, down] : steps) {
        QWidget* spinButton =
            window->findChild<QWidget*>(QStringLiteral("spinButton_%1").arg(field));
        for (const auto& [key, arrow, shown] :
             {std::tuple{Qt::Key_Up, "stepUp", up}, {Qt::Key_Down, "stepDown", down}}) {
            edit(field)->setText(start);
            QTest::keyClick(edit(field), key);
            EXPECT_EQ(edit(field)->text(), shown) << field << start;
            edit(field)->setText(start);
            spinButton->findChild<QToolButton*>(arrow)->click();
            EXPECT_EQ(edit(field)->text(), shown) << field << start;
        }
    }
}

// Copy, cut and paste by keyboard do nothing; Enter moves on as Tab does and inserts nothing.
// Focus selects the whole text, so typing replaces it; an empty field 2 or 3 first takes the
// system's short date, which the change rule turns into "0" unless it reads as a number.
TEST_F(FieldEditing, KeysAndFocus) {
    open();
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
    ASSERT_NE(afterTab, box);
    for (const auto& [key, modifier] :
         {std::pair{Qt::Key_Return, Qt::NoModifier}, {Qt::Key_Enter, Qt::KeypadModifier}}) {
        box->setFocus();
        QTest::keyClick(box, key, modifier);
        EXPECT_EQ(QApplication::focusWidget(), afterTab);
    }
    EXPECT_EQ(box->text(), "45");
    const std::tuple<int, const char*, bool, const char*> cases[] = {{56, "12/6/26", false, "45"},
                                                                     {56, "12/6/26", true, "45"},
                                                                     {2, "12/6/26", false, "0"},
                                                                     {3, "61226", true, "61226"}};
    for (const auto& [field, date, byMouse, selected] : cases) {
        locale.date = date;
        edit(13)->setFocus();
        box = edit(field);
        byMouse ? QTest::mouseClick(box, Qt::LeftButton, {}, box->rect().center())
                : box->setFocus();
        EXPECT_TRUE(QTest::qWaitFor([&] { return box->selectedText() == selected; }))
            << field << date;
    }
    QTest::keyClick(box, '4');
    EXPECT_EQ(box->text(), "4");
}

}  // namespace
}  // namespace qv::test
