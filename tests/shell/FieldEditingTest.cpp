#include <QClipboard>
#include <QLineEdit>
#include <QTabWidget>
#include <QToolButton>

#include "ShellFakes.h"
#include "shell/FieldTextBoxes.h"
#include "shell/UpDown.h"

namespace qv::test {

namespace {

// Types key by key; a character beyond ASCII comes as a keyboard layout or input method sends it.
void type(QWidget* box, const QString& text) {
    for (const QChar c : text) {
        const Qt::Key key =
            c.unicode() < 128 ? QTest::asciiToKey(static_cast<char>(c.unicode())) : Qt::Key_unknown;
        QTest::sendKeyEvent(QTest::Click, box, key, QString(c), Qt::NoModifier);
    }
}

}  // namespace

class FieldEditingTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        shell_ = std::make_unique<ShellFixture>();
        shell_->load();
    }
    void cleanup() { shell_.reset(); }

    // The field shows the rule's result after the last key ("\b" is Backspace).
    void typingKeepsTheFieldInRange_data() {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        const auto row = [](const char* name, int field, const char* typed, const char* shown) {
            QTest::newRow(name) << field << QString::fromUtf8(typed) << QString::fromUtf8(shown);
        };
        row("byte field clamps at the third digit", 15, "300", "255");
        row("byte field takes three", 5, "254", "254");
        row("word field clamps", 0, "70000", "65535");
        row("word field refuses a sixth character", 60, "123456", "12345");
        row("close level 20", 20, "7", "6");
        row("close level 26", 26, "9", "6");
        row("two-digit field keeps 99", 27, "99", "99");
        row("two-digit field takes two", 9, "123", "12");
        row("leading zeros stay", 15, "007", "007");
        row("letters, spaces, signs, separators dropped", 4, "a1 -+.,e2", "12");
        row("characters beyond ASCII dropped", 4, "1é２中3", "13");
        row("cleared close level 20 stays empty", 20, "5\b", "");
        row("cleared close level 26 stays empty", 26, "5\b", "");
        row("cleared byte field shows 0", 15, "5\b", "0");
        row("cleared word field shows 0", 0, "5\b", "0");
        row("cleared two-digit field shows 0", 27, "5\b", "0");
    }
    void typingKeepsTheFieldInRange() {
        QFETCH(int, field);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        type(shell_->box(field), typed);
        QCOMPARE(shell_->box(field)->text(), shown);
    }

    // The arrows and the Up/Down keys step within 0 and the maximum, then the change rule runs.
    void steppingStaysWithinZeroAndTheMaximum_data() {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("afterUp");
        QTest::addColumn<QString>("afterDown");
        const auto row = [](const char* name, int field, const char* start, const char* up,
                            const char* down) {
            QTest::newRow(name) << field << QString(start) << QString(up) << QString(down);
        };
        row("byte at its maximum", 15, "255", "255", "254");
        row("word at its maximum", 0, "65535", "65535", "65534");
        row("at zero", 60, "0", "1", "0");
        row("empty counts as zero", 4, "", "1", "0");
        row("close level kept by its rule", 20, "6", "6", "5");
        row("no spinner: the keys do nothing", 27, "5", "5", "5");
    }
    void steppingStaysWithinZeroAndTheMaximum() {
        QFETCH(int, field);
        QFETCH(QString, start);
        QFETCH(QString, afterUp);
        QFETCH(QString, afterDown);
        QLineEdit* box = shell_->box(field);
        const UpDown* spinner = shell_->window->findChild<FieldTextBoxes*>()->spinner(field);
        const std::tuple<Qt::Key, const char*, QString> steps[] = {
            {Qt::Key_Up, "up", afterUp}, {Qt::Key_Down, "down", afterDown}};
        for (const auto& [key, arrow, shown] : steps) {
            box->setText(start);
            QTest::keyClick(box, key);
            QCOMPARE(box->text(), shown);
            if (spinner != nullptr) {
                box->setText(start);
                spinner->findChild<QToolButton*>(arrow)->click();
                QCOMPARE(box->text(), shown);
            }
        }
    }

    void clipboardKeysDoNothing() {
        QApplication::clipboard()->setText("123");
        QLineEdit* box = shell_->box(0);
        box->setText("45");
        box->selectAll();
        for (const QKeySequence::StandardKey key :
             {QKeySequence::Paste, QKeySequence::Cut, QKeySequence::Copy}) {
            QTest::keySequence(box, key);
        }
        QTest::keyClick(box, Qt::Key_Insert, Qt::ShiftModifier);
        QCOMPARE(box->text(), QString("45"));
        QCOMPARE(QApplication::clipboard()->text(), QString("123"));
    }

    void enterMovesTheFocusLikeTabAndInsertsNothing() {
        show();
        QLineEdit* box = shell_->box(60);
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Tab);
        QWidget* afterTab = QApplication::focusWidget();
        QVERIFY(afterTab != box);
        box->setText("12");
        for (const auto& [key, modifier] : {std::pair{Qt::Key_Return, Qt::NoModifier},
                                            std::pair{Qt::Key_Enter, Qt::KeypadModifier}}) {
            box->setFocus();
            QTest::keyClick(box, key, modifier);
            QCOMPARE(QApplication::focusWidget(), afterTab);
        }
        QCOMPARE(box->text(), QString("12"));
        QVERIFY(shell_->window->isVisible());
    }

    // Focus selects the whole text, so typing replaces it; an empty field 2 or 3 first takes the
    // system's short date, which the change rule turns into "0" unless it reads as a number.
    void focusSelectsAllSoTypingReplaces_data() {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("date");
        QTest::addColumn<bool>("byMouse");
        QTest::addColumn<QString>("selected");
        const auto row = [](const char* name, int field, const char* text, const char* date,
                            bool byMouse, const char* selected) {
            QTest::newRow(name) << field << QString(text) << QString(date) << byMouse
                                << QString(selected);
        };
        row("by keyboard", 56, "123", "12/6/26", false, "123");
        row("by mouse", 56, "123", "12/6/26", true, "123");
        row("empty field 2", 2, "", "12/6/26", false, "0");
        row("empty field 3", 3, "", "2026-12-06", true, "0");
        row("a date that reads as a number", 2, "", "61226", false, "61226");
    }
    void focusSelectsAllSoTypingReplaces() {
        QFETCH(int, field);
        QFETCH(QString, text);
        QFETCH(QString, date);
        QFETCH(bool, byMouse);
        QFETCH(QString, selected);
        shell_->locale.date = date.toStdString();
        show();
        shell_->find<QTabWidget>("SSTab1")->setCurrentIndex(7);
        QLineEdit* box = shell_->box(field);
        box->setText(text);
        shell_->box(13)->setFocus();
        if (byMouse) {
            QTest::mouseClick(box, Qt::LeftButton, {}, box->rect().center());
        } else {
            box->setFocus(Qt::TabFocusReason);
        }
        QTRY_COMPARE(box->selectedText(), selected);
        QCOMPARE(box->text(), selected);
        QTest::keyClick(box, '4');
        QCOMPARE(box->text(), QString("4"));
    }

    // Texts set by the tool (a read, a loaded file) pass the same change rule, with the
    // system's decimal separator, but not the typing length limit.
    void textsSetByTheToolPassTheChangeRule_data() {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("decimalPoint");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        const auto row = [](const char* name, int field, const char* point, const QString& text,
                            const char* shown) {
            QTest::newRow(name) << field << QString(point) << text << QString(shown);
        };
        row("a read puts 7 into field 20", 20, ".", "7", "6");
        row("read-only two-digit field shows 200 whole", 27, ".", "200", "200");
        row("fraction in the locale's form", 0, ",", "1,5", "1,5");
        row("fraction in another form", 0, ",", "1.5", "0");
        row("huge digit run", 15, ".", QString(200, '9'), "255");
    }
    void textsSetByTheToolPassTheChangeRule() {
        QFETCH(int, field);
        QFETCH(QString, decimalPoint);
        QFETCH(QString, text);
        QFETCH(QString, shown);
        shell_ = std::make_unique<ShellFixture>();
        shell_->locale.decimalPoint = decimalPoint.toStdString();
        FieldTexts& fields = shell_->load().fields();
        fields.setText(field, text.toStdString());
        QCOMPARE(QString::fromStdString(fields.text(field)), shown);
        QCOMPARE(fields.format().decimalPoint, decimalPoint.toStdString());
    }

private:
    void show() {
        FrmMain& window = *shell_->window;
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
    }

    std::unique_ptr<ShellFixture> shell_;
};

}  // namespace qv::test

QV_OFFSCREEN_TEST_MAIN(qv::test::FieldEditingTest)
#include "FieldEditingTest.moc"
