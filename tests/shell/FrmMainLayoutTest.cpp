#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

#include "ShellFakes.h"
#include "record/FieldCatalogue.h"
#include "shell/UpDown.h"

namespace qv::test {

namespace {

// The window's fields as the user sees them, page by page in on-screen order (top to bottom,
// left column first); written out here rather than taken from the catalogue.
struct ExpectedField {
    int field;
    const char* page;
    const char* frame;
    const char* caption;
    int label;     // lbl(k) beside the field
    int maxChars;  // length limit
    int spinner;   // UpDown<n>, 0 for none
    int spinnerMax;
};

constexpr ExpectedField kExpected[] = {
    {60, "S-Meter", "AF SQ", "1", 60, 5, 35, 65535},
    {61, "S-Meter", "AF SQ", "3", 61, 5, 36, 65535},
    {62, "S-Meter", "AF SQ", "5", 62, 5, 37, 65535},
    {63, "S-Meter", "AF SQ", "7", 63, 5, 38, 65535},
    {64, "S-Meter", "AF SQ", "9", 64, 5, 39, 65535},
    {65, "S-Meter", "AF SQ", "10", 65, 5, 40, 65535},
    {66, "S-Meter", "AF SQ", "20", 66, 5, 41, 65535},
    {67, "S-Meter", "AF SQ", "30", 67, 5, 42, 65535},
    {68, "S-Meter", "UL SQ", "1", 75, 5, 43, 65535},
    {69, "S-Meter", "UL SQ", "3", 74, 5, 44, 65535},
    {70, "S-Meter", "UL SQ", "5", 73, 5, 45, 65535},
    {71, "S-Meter", "UL SQ", "7", 72, 5, 46, 65535},
    {72, "S-Meter", "UL SQ", "9", 71, 5, 47, 65535},
    {73, "S-Meter", "UL SQ", "10", 70, 5, 48, 65535},
    {74, "S-Meter", "UL SQ", "20", 69, 5, 49, 65535},
    {75, "S-Meter", "UL SQ", "30", 68, 5, 50, 65535},
    {0, "FREQ", "", "VF FRQ", 0, 5, 12, 65535},
    {1, "FREQ", "", "BF FRQ", 1, 5, 13, 65535},
    {15, "OTHER", "", "TX BIAS IQ1", 15, 3, 1, 255},
    {16, "OTHER", "", "TX BIAS IQ2", 16, 3, 2, 255},
    {17, "OTHER", "", "TX BIAS IQ3", 17, 3, 3, 255},
    {25, "OTHER", "", "RF-GAIN", 25, 3, 4, 255},
    {51, "OTHER", "", "13.8V Voltage Set", 51, 5, 5, 65535},
    {21, "OTHER", "", "FM ASQH", 21, 5, 6, 65535},
    {22, "OTHER", "", "FM ASQL", 22, 5, 7, 65535},
    {76, "OTHER", "", "AM ASQH", 76, 5, 8, 65535},
    {77, "OTHER", "", "AM ASQL", 77, 5, 9, 65535},
    {20, "OTHER", "", "***ASQ close level", 20, 3, 10, 255},
    {26, "OTHER", "", "***Squelch close level", 26, 3, 11, 255},
    {4, "FM", "", "FM DEVIATION", 4, 5, 14, 65535},
    {5, "FM", "", "FM LOW POWER", 6, 3, 15, 255},
    {6, "FM", "", "FM HIGH POWER", 5, 3, 16, 255},
    {23, "FM", "", "FM CTCSS LEVEL", 23, 5, 17, 65535},
    {24, "FM", "", "FM DCS LEVEL", 24, 5, 18, 65535},
    {52, "FM", "", "FM TX RSSI (METER)", 52, 5, 19, 65535},
    {54, "FM", "", "FM TONE SET", 54, 5, 20, 65535},
    {7, "AM", "", "AM LOW POWER", 7, 3, 21, 255},
    {8, "AM", "", "AM HIGH POWER", 8, 3, 22, 255},
    {11, "AM", "", "AM MOD LOW POWER", 11, 3, 23, 255},
    {12, "AM", "", "AM MOD HIGH POWER", 12, 3, 24, 255},
    {53, "AM", "", "AM TX RSSI (METER)", 53, 5, 25, 65535},
    {55, "AM", "", "AM TONE SET", 55, 5, 26, 65535},
    {13, "SSB", "", "SSB PEP LOW POWER", 13, 3, 27, 255},
    {14, "SSB", "", "SSB PEP HIGH POWER", 14, 3, 28, 255},
    {56, "SSB", "", "LSB TONE SET", 56, 5, 29, 65535},
    {57, "SSB", "", "USB TONE SET", 57, 5, 30, 65535},
    {58, "SSB", "", "USB WAVE BALANCE", 58, 3, 31, 255},
    {59, "SSB", "", "LSB WAVE BALANCE", 59, 3, 32, 255},
    {2, "SSB", "", "USB FILTER BIAS", 2, 5, 33, 65535},
    {3, "SSB", "", "LSB FILTER BIAS", 3, 5, 34, 65535},
    {9, "Tab 0", "", "SSIB LO", 9, 2, 0, 0},
    {10, "Tab 0", "", "SSIB HI", 10, 2, 0, 0},
    {18, "Tab 0", "", "RX BPF", 18, 2, 0, 0},
    {19, "Tab 0", "", "TX BPF", 19, 2, 0, 0},
    {27, "Tab 1", "TestWorkRxFreq", "1", 27, 2, 0, 0},
    {28, "Tab 1", "TestWorkRxFreq", "2", 28, 2, 0, 0},
    {29, "Tab 1", "TestWorkRxFreq", "3", 29, 2, 0, 0},
    {30, "Tab 1", "TestWorkRxFreq", "4", 30, 2, 0, 0},
    {31, "Tab 1", "TestWorkRxFreq", "5", 31, 2, 0, 0},
    {32, "Tab 1", "TestWorkRxFreq", "6", 32, 2, 0, 0},
    {33, "Tab 1", "TestWorkRxFreq", "7", 33, 2, 0, 0},
    {34, "Tab 1", "TestWorkRxFreq", "8", 34, 2, 0, 0},
    {35, "Tab 1", "TestWorkRxFreq", "9", 35, 2, 0, 0},
    {36, "Tab 1", "TestWorkRxFreq", "10", 36, 2, 0, 0},
    {37, "Tab 1", "TestWorkRxFreq", "11", 37, 2, 0, 0},
    {38, "Tab 1", "TestWorkRxFreq", "12", 38, 2, 0, 0},
    {39, "Tab 1", "TestWorkTxFreq", "1", 50, 2, 0, 0},
    {40, "Tab 1", "TestWorkTxFreq", "2", 49, 2, 0, 0},
    {41, "Tab 1", "TestWorkTxFreq", "3", 48, 2, 0, 0},
    {42, "Tab 1", "TestWorkTxFreq", "4", 47, 2, 0, 0},
    {43, "Tab 1", "TestWorkTxFreq", "5", 46, 2, 0, 0},
    {44, "Tab 1", "TestWorkTxFreq", "6", 45, 2, 0, 0},
    {45, "Tab 1", "TestWorkTxFreq", "7", 44, 2, 0, 0},
    {46, "Tab 1", "TestWorkTxFreq", "8", 43, 2, 0, 0},
    {47, "Tab 1", "TestWorkTxFreq", "9", 42, 2, 0, 0},
    {48, "Tab 1", "TestWorkTxFreq", "10", 41, 2, 0, 0},
    {49, "Tab 1", "TestWorkTxFreq", "11", 40, 2, 0, 0},
    {50, "Tab 1", "TestWorkTxFreq", "12", 39, 2, 0, 0},
};

// Where a text box stands: the grid that holds it and its cell there.
struct Cell {
    QGridLayout* grid = nullptr;
    int row = -1;
    int column = -1;
};

Cell cellOf(QWidget* widget) {
    for (QGridLayout* grid : widget->window()->findChildren<QGridLayout*>()) {
        const int index = grid->indexOf(widget);
        if (index >= 0) {
            Cell cell{grid};
            int span = 0;
            grid->getItemPosition(index, &cell.row, &cell.column, &span, &span);
            return cell;
        }
    }
    return {};
}

QWidget* widgetAt(const Cell& cell, int column) {
    QLayoutItem* item = cell.grid->itemAtPosition(cell.row, column);
    return item == nullptr ? nullptr : item->widget();
}

QString pageOf(const QTabWidget& tabs, const QWidget* widget) {
    for (int i = 0; i < tabs.count(); ++i) {
        if (tabs.widget(i)->isAncestorOf(widget)) {
            return tabs.tabText(i);
        }
    }
    return {};
}

QString frameOf(const QWidget* widget) {
    for (QWidget* up = widget->parentWidget(); up != nullptr; up = up->parentWidget()) {
        if (auto* frame = qobject_cast<QGroupBox*>(up)) {
            return frame->title();
        }
    }
    return {};
}

QRect geometry(const QWidget* widget) {
    return QRect(widget->mapTo(widget->window(), QPoint(0, 0)), widget->size());
}

}  // namespace

class FrmMainLayoutTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        shell_ = std::make_unique<ShellFixture>();
        shell_->load();
    }
    void cleanup() { shell_.reset(); }

    void sixTabsVisibleInOrderWithSMeterOpen() {
        QStringList all;
        QStringList visible;
        for (int i = 0; i < tabs()->count(); ++i) {
            all << tabs()->tabText(i);
            if (tabs()->isTabVisible(i)) {
                visible << tabs()->tabText(i);
            }
        }
        QCOMPARE(all,
                 QStringList({"Tab 0", "Tab 1", "S-Meter", "FREQ", "OTHER", "FM", "AM", "SSB"}));
        QCOMPARE(visible, QStringList({"S-Meter", "FREQ", "OTHER", "FM", "AM", "SSB"}));
        QCOMPARE(tabs()->tabText(tabs()->currentIndex()), QString("S-Meter"));
    }

    void everyFieldStandsWhereThePageTablesPutIt_data() {
        QTest::addColumn<int>("row");
        for (int i = 0; i < static_cast<int>(std::size(kExpected)); ++i) {
            QTest::addRow("field %d", kExpected[i].field) << i;
        }
    }
    void everyFieldStandsWhereThePageTablesPutIt() {
        QFETCH(int, row);
        const ExpectedField& want = kExpected[row];
        QLineEdit* box = shell_->box(want.field);
        QVERIFY(box != nullptr);
        QCOMPARE(pageOf(*tabs(), box), QString(want.page));
        QCOMPARE(frameOf(box), QString(want.frame));

        const Cell cell = cellOf(box);
        QVERIFY(cell.grid != nullptr);
        auto* caption = qobject_cast<QLabel*>(widgetAt(cell, cell.column - 1));
        QVERIFY(caption != nullptr);
        QCOMPARE(caption->text(), QString(want.caption));
        QCOMPARE(caption->objectName(), QString("lbl_%1").arg(want.label));

        auto* spinner = qobject_cast<UpDown*>(widgetAt(cell, cell.column + 1));
        QCOMPARE(spinner != nullptr, want.spinner != 0);
        if (spinner != nullptr) {
            QCOMPARE(spinner->objectName(), QString("UpDown%1").arg(want.spinner));
            QCOMPARE(spinner->maximum(), want.spinnerMax);
            QCOMPARE(spinner->fieldInfo(), box);
        }

        // Within one grid, each field stands below the one before it or in a column further right.
        const Cell before = row == 0 ? Cell{} : cellOf(shell_->box(kExpected[row - 1].field));
        QVERIFY(before.grid != cell.grid || cell.column > before.column ||
                (cell.column == before.column && cell.row == before.row + 1));

        QVERIFY(box->text().isEmpty());
        QTest::keyClicks(box, QString(want.maxChars + 2, '0'));
        QCOMPARE(box->text(), QString(want.maxChars, '0'));
    }

    void controlsOutsideTheTabsCarryTheirCaptions() {
        FrmMain& window = *shell_->window;
        QCOMPARE(window.windowTitle(), QString("QV-4120_MAX_SetTestData"));
        const std::pair<const char*, const char*> captions[] = {
            {"Command1", "&Read"},     {"Command2", "&Write"}, {"cmd", "Save Data"},
            {"Command4", "Load Data"}, {"Command3", "Exit"},   {"Label3", "Comm Select："}};
        for (const auto& [name, caption] : captions) {
            QCOMPARE(shell_->find<QWidget>(name)->property("text").toString(), QString(caption));
        }
        QCOMPARE(window.font().family(), QString("Arial"));
        QCOMPARE(window.font().pointSize(), 9);
        auto* wait = shell_->find<QTimer>("WaitTimer");
        QCOMPARE(wait->interval(), 500);
        QVERIFY(!wait->isActive());
        auto* reShow = shell_->find<QTimer>("ReShowComPortTimer");
        QCOMPARE(reShow->interval(), 1000);
        QVERIFY(reShow->isActive());
    }

    void theNoteStandsRightOfTheCloseLevels() {
        tabs()->setCurrentIndex(4);
        shell_->window->show();
        QVERIFY(QTest::qWaitForWindowExposed(shell_->window.get()));
        const QRect field20 = geometry(shell_->box(20));
        const QRect field26 = geometry(shell_->box(26));
        const std::pair<const char*, const char*> lines[] = {
            {"lblAfterEntering", "***After entering ASQ and Squelch levels (N)"},
            {"Label1", "and writing these to the radio, the"},
            {"lblTheWalkie", "radio will display level N+1."}};
        int top = field20.top();
        for (const auto& [name, text] : lines) {
            auto* line = shell_->find<QLabel>(name);
            QCOMPARE(line->text(), QString(text));
            const QRect at = geometry(line);
            QVERIFY(at.left() > field20.right());
            QVERIFY(at.top() >= top - 4);
            QVERIFY(at.bottom() <= field26.bottom() + 4);
            top = at.bottom();
        }
    }

    // Every caption shows whole and nothing overlaps, on every visible page, in both languages.
    void nothingClippedOrOverlapping_data() {
        QTest::addColumn<int>("localeId");
        QTest::newRow("English") << 0x0409;
        QTest::newRow("Chinese") << 0x0804;
    }
    void nothingClippedOrOverlapping() {
        QFETCH(int, localeId);
        shell_ = std::make_unique<ShellFixture>();
        shell_->locale.id = localeId;
        FrmMain& window = shell_->load();
        for (int i = 0; i < kFieldCount; ++i) {
            window.fields().setText(
                i, std::string(static_cast<std::size_t>(fieldInfo(i).maxChars), '8'));
        }
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        for (int page = 2; page < tabs()->count(); ++page) {
            tabs()->setCurrentIndex(page);
            QCoreApplication::processEvents();
            checkShownWhole(tabs()->widget(page));
        }
        checkShownWhole(window.centralWidget());
    }

private:
    QTabWidget* tabs() const { return shell_->find<QTabWidget>("SSTab1"); }

    static void checkShownWhole(QWidget* area) {
        QList<QWidget*> shown;
        for (QWidget* w : area->findChildren<QWidget*>()) {
            const bool leaf = qobject_cast<QLabel*>(w) || qobject_cast<QLineEdit*>(w) ||
                              qobject_cast<QPushButton*>(w) || qobject_cast<UpDown*>(w) ||
                              qobject_cast<QComboBox*>(w);
            if (leaf && w->isVisible()) {
                shown << w;
            }
        }
        QVERIFY(!shown.isEmpty());
        for (QWidget* w : shown) {
            QVERIFY2(w->width() >= w->minimumSizeHint().width() &&
                         w->height() >= w->minimumSizeHint().height(),
                     qPrintable(w->objectName() + " is clipped"));
            if (auto* label = qobject_cast<QLabel*>(w)) {
                const int textWidth = label->fontMetrics().horizontalAdvance(label->text());
                QVERIFY2(label->contentsRect().width() >= textWidth,
                         qPrintable(label->objectName() + " cuts its text"));
            }
            for (QWidget* other : shown) {
                if (other != w && !w->isAncestorOf(other) && !other->isAncestorOf(w)) {
                    QVERIFY2(!geometry(w).intersects(geometry(other)),
                             qPrintable(w->objectName() + " overlaps " + other->objectName()));
                }
            }
        }
    }

    std::unique_ptr<ShellFixture> shell_;
};

}  // namespace qv::test

QV_OFFSCREEN_TEST_MAIN(qv::test::FrmMainLayoutTest)
#include "FrmMainLayoutTest.moc"
