#include <QAbstractItemView>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>

#include "ShellFakes.h"
#include "shell/ComPorts.h"
#include "shell/LinuxPorts.h"

Q_DECLARE_METATYPE(std::vector<qv::PresentPort>)
Q_DECLARE_METATYPE(std::vector<std::string>)

namespace qv::test {

namespace {

std::vector<std::string> Texts(const std::vector<PortEntry>& entries) {
    std::vector<std::string> texts;
    for (const PortEntry& e : entries) {
        texts.push_back(e.text);
    }
    return texts;
}

std::vector<PresentPort> Named(std::initializer_list<std::string> names) {
    std::vector<PresentPort> ports;
    for (const std::string& name : names) {
        ports.push_back({name, "/dev/x"});
    }
    return ports;
}

QStringList ComboTexts(const QComboBox& combo) {
    QStringList texts;
    for (int i = 0; i < combo.count(); ++i) {
        texts << combo.itemText(i);
    }
    return texts;
}

}  // namespace

class PortSelectionTest : public QObject {
    Q_OBJECT
private slots:
    void listComPortsKeepsTheSystemsOrder_data() {
        QTest::addColumn<std::vector<PresentPort>>("present");
        QTest::addColumn<std::vector<std::string>>("entries");
        QTest::addColumn<int>("first");
        using S = std::vector<std::string>;
        QTest::newRow("10 then 2") << Named({"COM10", "COM2"}) << S{"COM10", "COM2"} << 10;
        QTest::newRow("duplicates kept") << Named({"COM3", "COM3"}) << S{"COM3", "COM3"} << 3;
        QTest::newRow("four digits cut to three") << Named({"COM1234"}) << S{"COM123"} << 123;
        QTest::newRow("none") << Named({}) << S{} << 0;
        QTest::newRow("spaces trimmed") << Named({"COM 7 "}) << S{"COM7"} << 7;
        QTest::newRow("cut at NUL") << Named({std::string("COM4\0x", 6)}) << S{"COM4"} << 4;
        QTest::newRow("a name of another form")
            << Named({"LPT", "COMx", "COM5"}) << S{"COM", "COMx", "COM5"} << 5;
    }
    void listComPortsKeepsTheSystemsOrder() {
        QFETCH(std::vector<PresentPort>, present);
        QFETCH(std::vector<std::string>, entries);
        QFETCH(int, first);
        const PortListing listing = ListComPorts(present);
        QCOMPARE(Texts(listing.entries), entries);
        QCOMPARE(listing.first, first);
    }

    void findAndInComPortsCompareWholeTexts() {
        const std::vector<PortEntry> entries = {{"COM3", "/a"}, {"COM12", "/b"}, {"COM12", "/c"}};
        QCOMPARE(FindComPortText(entries, "COM12"), std::string("COM12"));
        QCOMPARE(FindComPortText(entries, "COM1"), std::string("COM3"));
        QCOMPARE(FindComPortText({}, "COM3"), std::string());
        QVERIFY(InComPorts(entries, 12));
        QVERIFY(!InComPorts(entries, 1));
        QVERIFY(!InComPorts(entries, 0));
        QVERIFY(!InComPorts({}, 3));
    }

    void eachEntryShowsItsDevice() {
        ShellFixture shell;
        shell.ports.present = {Port(3, "/dev/ttyS2"), Port(9, "/dev/pts/4")};
        FrmMain& window = shell.Load();
        auto* combo = shell.Find<QComboBox>("Combo2");
        QCOMPARE(combo->itemData(1, Qt::ToolTipRole).toString(), QString("/dev/pts/4"));
        QCOMPARE(shell.Find<QLabel>("lblComDevice")->text(), QString("/dev/ttyS2"));
        QCOMPARE(window.ComPortDevice(), std::string("/dev/ttyS2"));
    }

    void aPickSetsThePortAndSavesItAtOnce() {
        ShellFixture shell;
        shell.ports.present = {Port(3), Port(5)};
        FrmMain& window = shell.Load();
        auto* combo = shell.Find<QComboBox>("Combo2");
        QTest::keyClick(combo, Qt::Key_Down);
        QCOMPARE(combo->currentText(), QString("COM5"));
        QCOMPARE(window.ComPortNo(), 5);
        QCOMPARE(shell.settings.ReadComPort(), 5);
        QCOMPARE(window.ComPortDevice(), std::string("/dev/ttyS4"));
    }

    void theRescanFollowsPortsThatGoAndComeBack() {
        ShellFixture shell;
        shell.ports.present = {Port(3), Port(5)};
        FrmMain& window = shell.Load();
        auto* combo = shell.Find<QComboBox>("Combo2");
        QTest::keyClick(combo, Qt::Key_Down);
        QCOMPARE(window.ComPortNo(), 5);

        shell.ports.present = {Port(3)};
        window.ReShowComPortTimer_Timer();
        QCOMPARE(window.ComPortNo(), 3);
        QCOMPARE(combo->currentText(), QString("COM3"));

        shell.ports.present = {Port(3), Port(5)};
        window.ReShowComPortTimer_Timer();
        QCOMPARE(window.ComPortNo(), 3);
        QCOMPARE(combo->currentText(), QString("COM3"));
        QCOMPARE(ComboTexts(*combo), QStringList({"COM3", "COM5"}));
        // The re-scan itself never writes the settings file.
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
        QCOMPARE(shell.Find<QComboBox>("Combo2")->currentIndex(), 1);
        QCOMPARE(window.ComPortDevice(), std::string("/dev/a"));
    }

    void anUnchangedRescanLeavesTheOpenDropDownAlone() {
        ShellFixture shell;
        shell.ports.present = {Port(3), Port(5), Port(8)};
        FrmMain& window = shell.Load();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto* combo = shell.Find<QComboBox>("Combo2");
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
        const std::vector<PresentPort> configured = {
            {"COM9", "/dev/pts/3"}, {"COM100", "/dev/pts/7"}, {"COM8", "/dev/gone"}};
        std::vector<std::string> system = {"/dev/ttyUSB0", "/dev/rfcomm0", "/dev/ttyS0",
                                           "/dev/ttyACM1", "/dev/ttyXR2",  "/dev/ttyS10"};
        LinuxPorts ports(
            configured, [&] { return system; },
            [](const std::string& path) { return path != "/dev/gone"; });
        std::vector<PresentPort> listed = ports.List();
        std::vector<std::string> names;
        std::vector<std::string> devices;
        for (const PresentPort& p : listed) {
            names.push_back(p.name);
            devices.push_back(p.device);
        }
        QCOMPARE(names, (std::vector<std::string>{"COM9", "COM100", "COM1", "COM11", "COM33",
                                                  "COM66", "COM101", "COM102"}));
        QCOMPARE(devices, (std::vector<std::string>{"/dev/pts/3", "/dev/pts/7", "/dev/ttyS0",
                                                    "/dev/ttyS10", "/dev/ttyUSB0", "/dev/ttyACM1",
                                                    "/dev/rfcomm0", "/dev/ttyXR2"}));

        // Numbers from 100 up stay with their device for the run.
        system = {"/dev/ttyXR2", "/dev/ttyZZ0"};
        listed = ports.List();
        QCOMPARE(listed.at(2).name, std::string("COM102"));
        QCOMPARE(listed.at(3).name, std::string("COM103"));
    }

    void aConfiguredLinkHidesTheDeviceItNames() {
        QTemporaryDir dir;
        const QString device = dir.filePath("ttyUSB0");
        QFile(device).open(QIODevice::WriteOnly);
        const QString link = dir.filePath("by-id-radio");
        QVERIFY(QFile::link(device, link));
        LinuxPorts ports({{"COM9", link.toStdString()}},
                         [&] { return std::vector<std::string>{device.toStdString()}; });
        const std::vector<PresentPort> listed = ports.List();
        QCOMPARE(listed.size(), std::size_t{1});
        QCOMPARE(listed[0].name, std::string("COM9"));
    }
};

}  // namespace qv::test

QV_OFFSCREEN_TEST_MAIN(qv::test::PortSelectionTest)
#include "PortSelectionTest.moc"
