// The main window over fakes: start-up and language, the port list, the pages and the editing
// rules wired to every field.
#include <QAccessible>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QMessageBox>
#include <QTabWidget>
#include <QToolButton>

#include "WindowFixture.h"
#include "shell/MessageBoxNotices.h"

namespace qv::test {
namespace {

QRect geometry(const QWidget* widget) {
    return QRect(widget->mapTo(widget->window(), QPoint(0, 0)), widget->size());
}

using StartUp = WindowTest;

// The saved port is chosen when present, else the first present one, which is then saved; with
// no port present the file keeps its value. The language follows the locale. All that before
// the reminder, with the window unshown.
TEST_F(StartUp, ThePortAndTheLanguageAreChosenBeforeTheReminder) {
    const std::tuple<QByteArray, std::vector<PresentPort>, QString, QByteArray, bool> cases[] = {
        {"5", {port(3), port(5)}, "COM5", "5", true},
        {"9", {port(3), port(5)}, "COM3", "3", false},
        {"4", {}, "", "4", false}};
    struct {
        QByteArray settings;
        bool visible = true;
        QString read;
        QString write;
    } atReminder;
    notices.onShow = [&] {
        atReminder = {readFile(path("mysetup.ini")), window->isVisible(),
                      window->readButton()->text(), window->writeButton()->text()};
    };
    for (const auto& [saved, present, chosen, savedAfter, chinese] : cases) {
        writeFile(path("mysetup.ini"), "[language]\ncomPort=" + saved + "\n");
        locale.chineseChina = chinese;
        open(present);
        EXPECT_EQ(window->findChild<QComboBox*>("portList")->currentText(), chosen);
        EXPECT_EQ(atReminder.settings, "[language]\ncomPort=" + savedAfter + "\n");
        EXPECT_FALSE(atReminder.visible);
        EXPECT_EQ(atReminder.read, chinese ? "读出(&R)" : "&Read");
        EXPECT_EQ(atReminder.write, chinese ? "写入(&W)" : "&Write");
    }
    EXPECT_TRUE(isChineseChina(QLocale(QLocale::Chinese, QLocale::China)));
    EXPECT_FALSE(isChineseChina(QLocale(QLocale::Chinese, QLocale::Taiwan)));
    EXPECT_FALSE(isChineseChina(QLocale(QLocale::English, QLocale::China)));
}

// A settings file that is no regular file is never opened: the window says why, then reminds.
TEST_F(StartUp, ASettingsFileThatIsAFolderIsSaidAndNotRead) {
    QDir().mkpath(path("mysetup.ini"));
    std::vector<QString> said;
    notices.onShow = [&] { said.push_back(QString::fromStdString(notices.shown.back().text)); };
    open({port(3)});
    ASSERT_EQ(said.size(), 2U);
    EXPECT_TRUE(said[0].startsWith("The settings file was not read.\n")) << said[0].toStdString();
    EXPECT_TRUE(said[0].contains("a folder")) << said[0].toStdString();
}

// A pick is saved at once, in the file the port's tooltip names, and shows its device. The
// re-scan keeps the chosen port while it is present, and the status line shows the port it falls
// back to, without writing the settings file, until Exit stops it.
TEST_F(StartUp, APickIsSavedAndTheRescanKeepsItUntilExit) {
    open({port(3), port(5, "/dev/pts/4")});
    QTest::keyClick(window->findChild<QComboBox*>("portList"), Qt::Key_Down);
    EXPECT_EQ(status("statusPort"), "COM5: /dev/pts/4");
    EXPECT_EQ(settings.readComPort(), 5);
    EXPECT_EQ(window->findChild<QLabel*>("statusPort")->toolTip(),
              "/dev/pts/4\nSettings file: " + path("mysetup.ini"));
    const std::tuple<std::vector<PresentPort>, int, std::string> rescans[] = {
        {{port(3), port(5), port(8)}, 5, "COM5: /dev/ttyS4"},
        {{port(3)}, 3, "COM3: /dev/ttyS2"},
        {{port(3), port(5)}, 3, "COM3: /dev/ttyS2"},
        {{}, 0, "No port"}};
    for (const auto& [present, chosen, shown] : rescans) {
        ports.present = present;
        window->onPortRescan();
        EXPECT_EQ(window->portNumber(), chosen);
        EXPECT_EQ(status("statusPort").toStdString(), shown);
    }
    EXPECT_EQ(settings.readComPort(), 5);
    window->findChild<QPushButton*>("exitButton")->click();
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(window->findChild<QTimer*>("portRescanTimer")->isActive());
}

using Pages = WindowTest;

// Six pages in this order; the fifty editable fields have a box each, the
// read-only values none. Every caption and field shows whole and nothing overlaps, on every page.
// With QV_SCREENSHOTS set to a folder, each page is also saved there as <language>-<page>.png.
TEST_F(Pages, SixPagesHoldEveryEditableFieldAndNothingIsClippedOrOverlapping) {
    for (const bool chinese : {false, true}) {
        locale.chineseChina = chinese;
        open({port(1), port(33, "/dev/ttyUSB0")});
        for (const FieldInfo& info : catalogue()) {
            if (!info.readOnly()) {
                window->fields().setText(info.index,
                                         std::to_string(info.rangeMax - info.index % 5));
            }
        }
        EXPECT_EQ(shown().size(), 50);
        auto* pages = window->findChild<QTabWidget*>("pages");
        QStringList captions;
        for (int page = 0; page < pages->count(); ++page) {
            captions << pages->tabText(page);
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
            screenshot((chinese ? "zh-" : "en-") +
                       QString::fromUtf8(pageCaption(kShownPages.at(page)).data()));
        }
        EXPECT_TRUE(chinese ||
                    captions == QStringList({"S-Meter", "FREQ", "OTHER", "FM", "AM", "SSB"}))
            << captions.join(' ').toStdString();
    }
}

using FieldEditing = WindowTest;

// Typed keys pass the key filter (an emoji is one key of two characters), the length limit and
// the change rule; the Up key and the spin button's arrows step within the range. Focus selects
// the whole text; an empty field 2 or 3 first takes the system's short date, which the change
// rule turns into "0" unless it reads as a number. Paste and cut by keyboard do nothing; Enter
// moves the focus on and inserts nothing.
TEST_F(FieldEditing, TheRulesHoldForEveryWayAFieldChanges) {
    open();
    for (const auto& [field, typed, shown] :
         {std::tuple{15, "300", "255"}, {60, "123456", "12345"}, {4, "a1 -+.,e2", "12"}}) {
        type(field, typed);
        EXPECT_EQ(edit(field)->text(), shown) << typed;
    }
    QTest::sendKeyEvent(QTest::Click, edit(4), Qt::Key_unknown, QString::fromUtf8("😀"), {});
    QTest::keyClick(edit(4), Qt::Key_Up);
    QTest::keyClick(edit(15), Qt::Key_Up);
    window->findChild<QWidget*>("spinButton_4")->findChild<QToolButton*>("stepUp")->click();
    EXPECT_EQ(edit(4)->text(), "14");
    EXPECT_EQ(edit(15)->text(), "255");

    QApplication::setActiveWindow(window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    window->findChild<QTabWidget*>("pages")->setCurrentIndex(5);  // SSB: fields 2, 3 and 13
    for (const auto& [field, date, byMouse, selected] :
         {std::tuple{2, "12/6/26", false, "0"}, {2, "7", true, "0"}, {3, "61226", true, "61226"}}) {
        locale.date = date;
        edit(13)->setFocus();
        QLineEdit* box = edit(field);
        byMouse ? QTest::mouseClick(box, Qt::LeftButton, {}, box->rect().center())
                : box->setFocus();
        EXPECT_TRUE(QTest::qWaitFor([&, want = selected] { return box->selectedText() == want; }))
            << field << date;
    }
    QApplication::clipboard()->setText("9");
    for (const auto& [key, modifier] : {std::pair{Qt::Key_V, Qt::ControlModifier},
                                        {Qt::Key_Delete, Qt::ShiftModifier},
                                        {Qt::Key_Return, Qt::NoModifier}}) {
        QTest::keyClick(edit(3), key, modifier);
    }
    EXPECT_EQ(edit(3)->text(), "61226");
    EXPECT_EQ(QApplication::clipboard()->text(), "9");
    EXPECT_NE(QApplication::focusWidget(), edit(3));
}

using Accessibility = WindowTest;

// The controls a screen reader offers: those the keyboard reaches, buttons and tabs. The tab
// list speaks as its open tab.
void collectSpoken(QAccessibleInterface* node, QStringList& names, int& fields) {
    for (int i = 0; i < node->childCount(); ++i) {
        QAccessibleInterface* child = node->child(i);
        const QAccessible::Role role = child->role();
        if ((child->state().focusable && role != QAccessible::PageTabList) ||
            role == QAccessible::PushButton || role == QAccessible::PageTab) {
            names << child->text(QAccessible::Name);
            fields += role == QAccessible::EditableText ? 1 : 0;
        }
        collectSpoken(child, names, fields);
    }
}

// On every page, in both languages, every control a screen reader offers has a name that no
// other has; a field's description gives its range and its changed mark. When the reminder
// closes, the window is active with the focus in the first field of the open page.
TEST_F(Accessibility, EveryControlHasANameOfItsOwnAndTheKeysStartInTheFirstField) {
    for (const bool chinese : {false, true}) {
        locale.chineseChina = chinese;
        open();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        EXPECT_EQ(QApplication::focusWidget(), edit(60));
        QStringList names;
        int fields = 0;
        collectSpoken(QAccessible::queryAccessibleInterface(window.get()), names, fields);
        EXPECT_EQ(fields, 50);
        for (const QString& name : names) {
            EXPECT_FALSE(name.isEmpty()) << names.join(", ").toStdString();
            EXPECT_EQ(names.count(name), 1) << name.toStdString();
        }
        for (const QString& name : chinese
                                       ? QStringList{"增加 UL SQ 1", "读出", "串口选择"}
                                       : QStringList{"Increase UL SQ 1", "Read", "Comm Select"}) {
            EXPECT_TRUE(names.contains(name)) << name.toStdString();
        }
        window->fieldEditor().keepAsUnchanged();
        window->fields().setText(26, "5");
        const auto description = [&](int field) {
            return QAccessible::queryAccessibleInterface(edit(field))
                ->text(QAccessible::Description);
        };
        EXPECT_EQ(description(26), chinese ? "0 至 6，已更改" : "0 to 6, changed");
        EXPECT_EQ(description(60), chinese ? "0 至 65535" : "0 to 65535");
    }
}

using Language = WindowTest;

// The technical names that stay as they are in Chinese: field captions, frames, pages, ports.
bool keptAsItIs(const QString& text) {
    return text.startsWith("COM") ||
           std::any_of(catalogue().begin(), catalogue().end(), [&](const FieldInfo& f) {
               return text == QString::fromUtf8(f.caption.data(), qsizetype(f.caption.size())) ||
                      text == QString::fromUtf8(f.frame.data(), qsizetype(f.frame.size())) ||
                      text == QString::fromUtf8(pageCaption(f.page).data());
           });
}

// Every caption, status text, question and message of these outcomes, and the buttons of
// the boxes that show them, is Chinese in a Chinese (China) locale (a message at least in its
// headline), but for the technical names kept; in any other locale none is. With QV_SCREENSHOTS
// set, the window and four boxes are saved as <language>-changed.png and
// <language>-message-<what>.png.
TEST_F(Language, EveryTextFollowsTheLocale) {
    for (const bool chinese : {false, true}) {
        locale.chineseChina = chinese;
        const QString language = chinese ? "zh-" : "en-";
        QStringList messages;
        notices.onShow = [&] { messages << QString::fromStdString(notices.shown.back().text); };
        notices.asked.clear();
        open();
        click(window->readButton());  // no port
        open({port(9, path("absent").toStdString())});
        click(window->writeButton());  // empty fields
        for (const Page page : kShownPages) {
            for (const int field : fieldsOnPage(page)) {
                window->fields().setText(field, "1");
            }
        }
        clickForMessage(window->writeButton());  // the port cannot be opened
        click(window->saveButton(), "saved.bin");
        click(window->loadButton(), "absent.bin");
        click(window->loadButton(), "saved.bin");
        type(4, "2");
        type(5, "2");
        window->findChild<QTabWidget*>("pages")->setCurrentIndex(3);
        screenshot(language + "changed");
        ASSERT_EQ(messages.size(), 6);
        for (const std::string& question : notices.asked) {
            messages << QString::fromStdString(question);
        }
        MessageBoxNotices boxes;
        boxes.setParent(window.get());
        const std::pair<const char*, std::unique_ptr<QMessageBox>> shots[] = {
            {"reminder", boxes.messageBox(messages[0].toStdString(), NoticeIcon::Exclamation)},
            {"write", boxes.questionBox(messages.back().toStdString())},
            {"port", boxes.messageBox(messages[4].toStdString(), NoticeIcon::Stop)},
            {"field", boxes.messageBox(messages[3].toStdString(), NoticeIcon::Stop)}};
        QStringList texts = messages;
        for (const auto& [what, box] : shots) {
            box->show();
            screenshot(language + "message-" + what, box.get());
            for (const QAbstractButton* button : box->buttons()) {
                texts << button->text();
            }
        }
        auto* pages = window->findChild<QTabWidget*>("pages");
        for (int page = 0; page < pages->count(); ++page) {
            texts << pages->tabText(page);
        }
        for (const QLabel* label : window->findChildren<QLabel*>()) {
            texts << label->text();
        }
        for (const QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
            texts << button->text();
        }
        for (const QGroupBox* frame : window->findChildren<QGroupBox*>()) {
            texts << frame->title();
        }
        for (const QString& text : texts) {
            EXPECT_TRUE(text.isEmpty() ||
                        (chinese ? isChinese(text) || keptAsItIs(text) : !isChinese(text)))
                << language.toStdString() << text.toStdString();
        }
    }
}

}  // namespace
}  // namespace qv::test
