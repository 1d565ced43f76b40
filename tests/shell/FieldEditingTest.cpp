#include <QClipboard>
#include <QLineEdit>
#include <QTabWidget>

#include "ShellFakes.h"
#include "shell/FieldTextBoxes.h"

namespace qv::test {

class FieldEditingTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        shell_ = std::make_unique<ShellFixture>();
        shell_->Load();
    }
    void cleanup() { shell_.reset(); }

    // Typed text, one key at a time; the field shows the rule's result after the last key.
    void typingKeepsTheFieldInRange_data() {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("byte field clamps at the third digit") << 15 << "300"
                                                              << "255";
        QTest::newRow("byte field takes three") << 5 << "254"
                                                << "254";
        QTest::newRow("word field clamps") << 0 << "70000"
                                           << "65535";
        QTest::newRow("word field refuses a sixth character") << 60 << "123456"
                                                              << "12345";
        QTest::newRow("close level 20") << 20 << "7"
                                        << "6";
        QTest::newRow("close level 26") << 26 << "9"
                                        << "6";
        QTest::newRow("two-digit field keeps 99") << 27 << "99"
                                                  << "99";
        QTest::newRow("two-digit field takes two") << 9 << "123"
                                                   << "12";
        QTest::newRow("leading zeros stay") << 15 << "007"
                                            << "007";
        QTest::newRow("letters, spaces, signs, separators dropped") << 4 << "a1 -+.,e2"
                                                                    << "12";
    }
    void typingKeepsTheFieldInRange() {
        QFETCH(int, field);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QLineEdit* box = Box(field);
        QTest::keyClicks(box, typed);
        QCOMPARE(box->text(), shown);
    }

    void nonAsciiCharactersAreDropped() {
        QLineEdit* box = Box(4);
        for (const QString& typed : {QString("1"), QString::fromUtf8("é"), QString::fromUtf8("２"),
                                     QString::fromUtf8("中"), QString("3")}) {
            QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, typed, Qt::NoModifier);
        }
        QCOMPARE(box->text(), QString("13"));
    }

    void byteFieldShowsTheClampAsSoonAsTheThirdDigitIsTyped() {
        QLineEdit* box = Box(16);
        QTest::keyClicks(box, "30");
        QCOMPARE(box->text(), QString("30"));
        QTest::keyClick(box, '0');
        QCOMPARE(box->text(), QString("255"));
    }

    void backspaceWorksAndClearingFollowsTheGroup_data() {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("cleared");
        QTest::newRow("close level 20 stays empty") << 20 << "";
        QTest::newRow("close level 26 stays empty") << 26 << "";
        QTest::newRow("byte field shows 0") << 15 << "0";
        QTest::newRow("word field shows 0") << 0 << "0";
        QTest::newRow("two-digit field shows 0") << 27 << "0";
    }
    void backspaceWorksAndClearingFollowsTheGroup() {
        QFETCH(int, field);
        QFETCH(QString, cleared);
        QLineEdit* box = Box(field);
        QTest::keyClicks(box, "5");
        QTest::keyClick(box, Qt::Key_Backspace);
        QCOMPARE(box->text(), cleared);
    }

    void clipboardKeysDoNothing() {
        QApplication::clipboard()->setText("123");
        QLineEdit* box = Box(0);
        box->setText("45");
        box->selectAll();
        for (const QKeySequence::StandardKey key :
             {QKeySequence::Paste, QKeySequence::Cut, QKeySequence::Copy}) {
            QTest::keySequence(box, key);
            QCOMPARE(box->text(), QString("45"));
        }
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(box, Qt::Key_Insert, Qt::ShiftModifier);
        QCOMPARE(box->text(), QString("45"));
        QCOMPARE(QApplication::clipboard()->text(), QString("123"));
    }

    void enterMovesTheFocusLikeTabAndInsertsNothing() {
        FrmMain& window = Shown();
        QLineEdit* box = Box(60);
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Tab);
        QWidget* afterTab = QApplication::focusWidget();
        QVERIFY(afterTab != box);

        box->setFocus();
        box->setText("12");
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), afterTab);
        QCOMPARE(box->text(), QString("12"));
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(QApplication::focusWidget(), afterTab);
        QVERIFY(window.isVisible());
    }

    void focusingAnEmptyDateFieldShowsZeroSelected_data() {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("shown");
        QTest::newRow("field 2") << 2 << "12/6/26"
                                 << "0";
        QTest::newRow("field 3") << 3 << "2026-12-06"
                                 << "0";
        QTest::newRow("a date that reads as a number") << 2 << "61226"
                                                       << "61226";
    }
    void focusingAnEmptyDateFieldShowsZeroSelected() {
        QFETCH(int, field);
        QFETCH(QString, date);
        QFETCH(QString, shown);
        shell_->locale.shortDate = date.toStdString();
        Shown();
        Tabs()->setCurrentIndex(7);
        QLineEdit* box = Box(field);
        box->setFocus(Qt::TabFocusReason);
        QCOMPARE(box->text(), shown);
        QCOMPARE(box->selectedText(), shown);
    }

    void hiddenDateFieldsTakeTheDateRuleToo() {
        auto* boxes = shell_->window->findChild<FieldTextBoxes*>();
        for (int field : {9, 10}) {
            boxes->Text1_GotFocus(field, Qt::OtherFocusReason);
            QCOMPARE(Box(field)->text(), QString("0"));
        }
    }

    void otherEmptyFieldsStayEmptyOnFocus() {
        Shown();
        Box(60)->setFocus(Qt::TabFocusReason);
        QCOMPARE(Box(60)->text(), QString());
    }

    void focusSelectsAllSoTypingReplaces_data() {
        QTest::addColumn<bool>("byMouse");
        QTest::newRow("by keyboard") << false;
        QTest::newRow("by mouse") << true;
    }
    void focusSelectsAllSoTypingReplaces() {
        QFETCH(bool, byMouse);
        Shown();
        QLineEdit* box = Box(61);
        box->setText("123");
        Box(60)->setFocus();
        if (byMouse) {
            QTest::mouseClick(box, Qt::LeftButton, {}, box->rect().center());
        } else {
            box->setFocus(Qt::TabFocusReason);
        }
        QTRY_COMPARE(box->selectedText(), QString("123"));
        QTest::keyClick(box, '4');
        QCOMPARE(box->text(), QString("4"));
    }

    void upAndDownKeysStepAFieldWithASpinner() {
        QLineEdit* box = Box(17);
        box->setText("254");
        QTest::keyClick(box, Qt::Key_Up);
        QCOMPARE(box->text(), QString("255"));
        QTest::keyClick(box, Qt::Key_Up);
        QCOMPARE(box->text(), QString("255"));
        QTest::keyClick(box, Qt::Key_Down);
        QCOMPARE(box->text(), QString("254"));
        QLineEdit* twoDigit = Box(27);
        twoDigit->setText("5");
        QTest::keyClick(twoDigit, Qt::Key_Up);
        QCOMPARE(twoDigit->text(), QString("5"));
    }

    // Texts set by the tool (a read, a loaded file, a paste) pass the same change rule.
    void textsSetByTheToolPassTheChangeRule_data() {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("decimalPoint");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::newRow("a read puts 7 into field 20") << 20 << "."
                                                     << "7"
                                                     << "6";
        QTest::newRow("field 26 keeps a non-number") << 26 << "."
                                                     << "abc"
                                                     << "abc";
        QTest::newRow("below zero") << 20 << "."
                                    << "-1"
                                    << "0";
        QTest::newRow("non-number") << 15 << "."
                                    << "abc"
                                    << "0";
        QTest::newRow("read-only two-digit field shows 200 whole") << 27 << "."
                                                                   << "200"
                                                                   << "200";
        QTest::newRow("fraction within range") << 0 << "."
                                               << "1.5"
                                               << "1.5";
        QTest::newRow("fraction in the locale's form") << 0 << ","
                                                       << "1,5"
                                                       << "1,5";
        QTest::newRow("fraction in another form") << 0 << ","
                                                  << "1.5"
                                                  << "0";
        QTest::newRow("exponent beyond 32 bits") << 0 << "."
                                                 << "1e10"
                                                 << "65535";
        QTest::newRow("huge digit run") << 15 << "." << QString(200, '9') << "255";
    }
    void textsSetByTheToolPassTheChangeRule() {
        QFETCH(int, field);
        QFETCH(QString, decimalPoint);
        QFETCH(QString, text);
        QFETCH(QString, shown);
        shell_ = std::make_unique<ShellFixture>();
        shell_->locale.decimalPoint = decimalPoint.toStdString();
        FrmMain& window = shell_->Load();
        window.Fields().SetText(field, text.toStdString());
        QCOMPARE(QString::fromStdString(window.Fields().Text(field)), shown);
        QCOMPARE(window.Fields().Format().decimalPoint, decimalPoint.toStdString());
    }

    void everyFieldStartsEmpty() {
        for (int i = 0; i < kFieldCount; ++i) {
            QVERIFY(shell_->window->Fields().Text(i).empty());
        }
    }

private:
    QLineEdit* Box(int field) const {
        return shell_->Find<QLineEdit>(QString("Text1_%1").arg(field));
    }
    QTabWidget* Tabs() const { return shell_->Find<QTabWidget>("SSTab1"); }
    FrmMain& Shown() {
        FrmMain& window = *shell_->window;
        window.show();
        QApplication::setActiveWindow(&window);
        [&] { QVERIFY(QTest::qWaitForWindowActive(&window)); }();
        return window;
    }

    std::unique_ptr<ShellFixture> shell_;
};

}  // namespace qv::test

QV_OFFSCREEN_TEST_MAIN(qv::test::FieldEditingTest)
#include "FieldEditingTest.moc"
