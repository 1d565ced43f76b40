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
Strings listed(PresentPorts& ports) {
    Strings listed;
    for (const PresentPort& p : ports.list()) {
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
        const PortListing listing = listPorts(ports);
        Strings texts;
        for (const PortEntry& e : listing.entries) {
            texts.push_back(e.text);
        }
        QCOMPARE(texts, entries);
        QCOMPARE(listing.first, first);
    }

    void eachEntryShowsItsDevice() {
        ShellFixture shell;
        shell.ports.present = {port(3, "/dev/ttyS2"), port(9, "/dev/pts/4")};
        FrmMain& window = shell.load();
        QCOMPARE(combo(shell)->itemData(1, Qt::ToolTipRole).toString(), QString("/dev/pts/4"));
        QCOMPARE(shell.find<QLabel>("lblComDevice")->text(), QString("/dev/ttyS2"));
        QCOMPARE(window.comPortDevice(), std::string("/dev/ttyS2"));
    }

    // A pick is saved at once; the re-scan follows ports that go and come back without
    // writing the settings file itself.
    void thePickIsSavedAndTheRescanFollowsPortsThatGoAndComeBack() {
        ShellFixture shell;
        shell.ports.present = {port(3), port(5)};
        FrmMain& window = shell.load();
        QComboBox* list = combo(shell);
        QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(window.comPortNo(), 5);
        QCOMPARE(window.comPortDevice(), std::string("/dev/ttyS4"));
        QCOMPARE(shell.settings.readComPort(), 5);

        shell.ports.present = {port(3)};
        window.ReShowComPortTimer_Timer();
        QCOMPARE(window.comPortNo(), 3);
        QCOMPARE(list->currentText(), QString("COM3"));

        shell.ports.present = {port(3), port(5)};
        window.ReShowComPortTimer_Timer();
        QCOMPARE(window.comPortNo(), 3);
        QCOMPARE(list->currentText(), QString("COM3"));
        QCOMPARE(list->count(), 2);
        QCOMPARE(list->itemText(1), QString("COM5"));
        QCOMPARE(shell.settings.readComPort(), 5);

        shell.ports.present.clear();
        window.ReShowComPortTimer_Timer();
        QCOMPARE(window.comPortNo(), 0);
        QCOMPARE(list->count(), 0);
        QCOMPARE(list->currentIndex(), -1);
    }

    void theRescanChoosesTheFirstOfDuplicates() {
        ShellFixture shell;
        shell.ports.present = {port(4), port(7, "/dev/a"), port(7, "/dev/b")};
        FrmMain& window = shell.load();
        window.setComPortNo(7);
        window.ReShowComPortTimer_Timer();
        QCOMPARE(combo(shell)->currentIndex(), 1);
        QCOMPARE(window.comPortDevice(), std::string("/dev/a"));
    }

    void anUnchangedRescanLeavesTheOpenDropDownAlone() {
        ShellFixture shell;
        shell.ports.present = {port(3), port(5), port(8)};
        FrmMain& window = shell.load();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QComboBox* list = combo(shell);
        QTest::keyClick(list, Qt::Key_Down);
        list->showPopup();
        QTRY_VERIFY(list->view()->isVisible());
        list->view()->setCurrentIndex(list->model()->index(2, 0));
        window.ReShowComPortTimer_Timer();
        QVERIFY(list->view()->isVisible());
        QCOMPARE(list->view()->currentIndex().row(), 2);
        QCOMPARE(list->currentText(), QString("COM5"));
        QCOMPARE(window.comPortNo(), 5);
        list->hidePopup();
    }

    void linuxPortsNumberDevicesByName() {
        Strings system = {"/dev/ttyUSB0", "/dev/rfcomm0", "/dev/ttyS0",
                          "/dev/ttyACM1", "/dev/ttyXR2",  "/dev/ttyS10"};
        LinuxPorts ports(
            {{"COM9", "/dev/pts/3"}, {"COM100", "/dev/pts/7"}, {"COM8", "/dev/gone"}},
            [&] { return system; }, [](const std::string& path) { return path != "/dev/gone"; });
        QCOMPARE(listed(ports),
                 (Strings{"COM9 /dev/pts/3", "COM100 /dev/pts/7", "COM1 /dev/ttyS0",
                          "COM11 /dev/ttyS10", "COM33 /dev/ttyUSB0", "COM66 /dev/ttyACM1",
                          "COM101 /dev/rfcomm0", "COM102 /dev/ttyXR2"}));
        // Numbers from 100 up stay with their device for the run.
        system = {"/dev/ttyXR2", "/dev/ttyZZ0"};
        QCOMPARE(listed(ports), (Strings{"COM9 /dev/pts/3", "COM100 /dev/pts/7",
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
        QCOMPARE(listed(ports), (Strings{"COM33 /dev/ttyUSB1", "COM1 /dev/pts/2",
                                         "COM100 /dev/ttyS0", "COM101 /dev/ttyUSB0"}));
    }

    void aConfiguredLinkHidesTheDeviceItNames() {
        QTemporaryDir dir;
        const std::string device = dir.filePath("ttyUSB0").toStdString();
        QFile(QString::fromStdString(device)).open(QIODevice::WriteOnly);
        const std::string link = dir.filePath("by-id-radio").toStdString();
        QVERIFY(QFile::link(QString::fromStdString(device), QString::fromStdString(link)));
        LinuxPorts ports({{"COM9", link}}, [&] { return Strings{device}; });
        QCOMPARE(listed(ports), Strings{"COM9 " + link});
    }

private:
    static QComboBox* combo(const ShellFixture& shell) { return shell.find<QComboBox>("Combo2"); }
};

}  // namespace qv::test

QV_OFFSCREEN_TEST_MAIN(qv::test::PortSelectionTest)
#include "PortSelectionTest.moc"
