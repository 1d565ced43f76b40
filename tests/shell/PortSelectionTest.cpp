#include <QAbstractItemView>
#include <QComboBox>
#include <QFile>
#include <QLabel>

#include "ShellFakes.h"
#include "shell/ComPorts.h"
#include "shell/LinuxPorts.h"

using Strings = std::vector<std::string>;
Q_DECLARE_METATYPE(Strings)

namespace qv::test {

namespace {

// Each present port as "name device".
Strings Listed(PresentPorts& ports) {
    Strings listed;
    for (const PresentPort& p : ports.List()) {
        listed.push_back(p.name + " " + p.device);
    }
    return listed;
}

}  // namespace

class PortSelectionTest : public QObject {
    Q_OBJECT
private slots:
    void listComPortsKeepsTheSystemsOrder_data() {
        QTest::addColumn<Strings>("present");
        QTest::addColumn<Strings>("entries");
        QTest::addColumn<int>("first");
        QTest::newRow("10 then 2") << Strings{"COM10", "COM2"} << Strings{"COM10", "COM2"} << 10;
        QTest::newRow("duplicates kept") << Strings{"COM3", "COM3"} << Strings{"COM3", "COM3"} << 3;
        QTest::newRow("four digits cut to three") << Strings{"COM1234"} << Strings{"COM123"} << 123;
        QTest::newRow("none") << Strings{} << Strings{} << 0;
        QTest::newRow("spaces trimmed") << Strings{"COM 7 "} << Strings{"COM7"} << 7;
        QTest::newRow("cut at NUL") << Strings{std::string("COM4\0x", 6)} << Strings{"COM4"} << 4;
        QTest::newRow("a name of another form")
            << Strings{"LPT", "COMx", "COM5"} << Strings{"COM", "COMx", "COM5"} << 5;
    }
    void listComPortsKeepsTheSystemsOrder() {
        QFETCH(Strings, present);
        QFETCH(Strings, entries);
        QFETCH(int, first);
        std::vector<PresentPort> ports;
        for (const std::string& name : present) {
            ports.push_back({name, "/dev/x"});
        }
        const PortListing listing = ListComPorts(ports);
        Strings texts;
        for (const PortEntry& e : listing.entries) {
            texts.push_back(e.text);
        }
        QCOMPARE(texts, entries);
        QCOMPARE(listing.first, first);
    }

    void eachEntryShowsItsDevice() {
        ShellFixture shell;
        shell.ports.present = {Port(3, "/dev/ttyS2"), Port(9, "/dev/pts/4")};
        FrmMain& window = shell.Load();
        QCOMPARE(Combo(shell)->itemData(1, Qt::ToolTipRole).toString(), QString("/dev/pts/4"));
        QCOMPARE(shell.Find<QLabel>("lblComDevice")->text(), QString("/dev/ttyS2"));
        QCOMPARE(window.ComPortDevice(), std::string("/dev/ttyS2"));
    }

    // A pick is saved at once; the re-scan follows ports that go and come back without
    // writing the settings file itself.
    void thePickIsSavedAndTheRescanFollowsPortsThatGoAndComeBack() {
        ShellFixture shell;
        shell.ports.present = {Port(3), Port(5)};
        FrmMain& window = shell.Load();
        QComboBox* combo = Combo(shell);
        QTest::keyClick(combo, Qt::Key_Down);
        QCOMPARE(window.ComPortNo(), 5);
        QCOMPARE(window.ComPortDevice(), std::string("/dev/ttyS4"));
        QCOMPARE(shell.settings.ReadComPort(), 5);

        shell.ports.present = {Port(3)};
        window.ReShowComPortTimer_Timer();
        QCOMPARE(window.ComPortNo(), 3);
        QCOMPARE(combo->currentText(), QString("COM3"));

        shell.ports.present = {Port(3), Port(5)};
        window.ReShowComPortTimer_Timer();
        QCOMPARE(window.ComPortNo(), 3);
        QCOMPARE(combo->currentText(), QString("COM3"));
        QCOMPARE(combo->count(), 2);
        QCOMPARE(combo->itemText(1), QString("COM5"));
        QCOMPARE(shell.settings.ReadComPort(), 5);

        shell.ports.present.clear();
        window.ReShowComPortTimer_Timer();
        QCOMPARE(window.ComPortNo(), 0);
        QCOMPARE(combo->count(), 0);
        QCOMPARE(combo->currentIndex(), -1);
    }

    void theRescanChoosesTheFirstOfDuplicates() {
        ShellFixture shell;
        shell.ports.present = {Port(4), Port(7, "/dev/a"), Port(7, "/dev/b")};
        FrmMain& window = shell.Load();
        window.SetComPortNo(7);
        window.ReShowComPortTimer_Timer();
        QCOMPARE(Combo(shell)->currentIndex(), 1);
        QCOMPARE(window.ComPortDevice(), std::string("/dev/a"));
    }

    void anUnchangedRescanLeavesTheOpenDropDownAlone() {
        ShellFixture shell;
        shell.ports.present = {Port(3), Port(5), Port(8)};
        FrmMain& window = shell.Load();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QComboBox* combo = Combo(shell);
        QTest::keyClick(combo, Qt::Key_Down);
        combo->showPopup();
        QTRY_VERIFY(combo->view()->isVisible());
        combo->view()->setCurrentIndex(combo->model()->index(2, 0));
        window.ReShowComPortTimer_Timer();
        QVERIFY(combo->view()->isVisible());
        QCOMPARE(combo->view()->currentIndex().row(), 2);
        QCOMPARE(combo->currentText(), QString("COM5"));
        QCOMPARE(window.ComPortNo(), 5);
        combo->hidePopup();
    }

    void linuxPortsNumberDevicesByName() {
        Strings system = {"/dev/ttyUSB0", "/dev/rfcomm0", "/dev/ttyS0",
                          "/dev/ttyACM1", "/dev/ttyXR2",  "/dev/ttyS10"};
        LinuxPorts ports(
            {{"COM9", "/dev/pts/3"}, {"COM100", "/dev/pts/7"}, {"COM8", "/dev/gone"}},
            [&] { return system; }, [](const std::string& path) { return path != "/dev/gone"; });
        QCOMPARE(Listed(ports),
                 (Strings{"COM9 /dev/pts/3", "COM100 /dev/pts/7", "COM1 /dev/ttyS0",
                          "COM11 /dev/ttyS10", "COM33 /dev/ttyUSB0", "COM66 /dev/ttyACM1",
                          "COM101 /dev/rfcomm0", "COM102 /dev/ttyXR2"}));
        // Numbers from 100 up stay with their device for the run.
        system = {"/dev/ttyXR2", "/dev/ttyZZ0"};
        QCOMPARE(Listed(ports), (Strings{"COM9 /dev/pts/3", "COM100 /dev/pts/7",
                                         "COM102 /dev/ttyXR2", "COM103 /dev/ttyZZ0"}));
    }

    // Two entries with one number would show one device and open the other.
    void aNamedDeviceNeverTakesAConfiguredNumber() {
        LinuxPorts ports(
            {{"COM33", "/dev/ttyUSB1"}, {"COM1", "/dev/pts/2"}},
            [] {
                return Strings{"/dev/ttyUSB0", "/dev/ttyUSB1", "/dev/ttyS0"};
            },
            [](const std::string&) { return true; });
        QCOMPARE(Listed(ports), (Strings{"COM33 /dev/ttyUSB1", "COM1 /dev/pts/2",
                                         "COM100 /dev/ttyS0", "COM101 /dev/ttyUSB0"}));
    }

    void aConfiguredLinkHidesTheDeviceItNames() {
        QTemporaryDir dir;
        const std::string device = dir.filePath("ttyUSB0").toStdString();
        QFile(QString::fromStdString(device)).open(QIODevice::WriteOnly);
        const std::string link = dir.filePath("by-id-radio").toStdString();
        QVERIFY(QFile::link(QString::fromStdString(device), QString::fromStdString(link)));
        LinuxPorts ports({{"COM9", link}}, [&] { return Strings{device}; });
        QCOMPARE(Listed(ports), Strings{"COM9 " + link});
    }

private:
    static QComboBox* Combo(const ShellFixture& shell) { return shell.Find<QComboBox>("Combo2"); }
};

}  // namespace qv::test

QV_OFFSCREEN_TEST_MAIN(qv::test::PortSelectionTest)
#include "PortSelectionTest.moc"
