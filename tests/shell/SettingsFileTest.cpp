#include <QComboBox>

#include "ShellFakes.h"

namespace qv::test {

class SettingsFileTest : public QObject {
    Q_OBJECT
private slots:
    void aPickKeepsAHandEditedFileLineForLine() {
        ShellFixture shell;
        const QList<QByteArray> before = {
            "; settings of the bench PC, do not share",
            "# second comment style",
            "",
            "[ports]",
            "  COM3 =  /dev/serial/by-id/usb-radio  ",
            "[language]",
            "lang = keep me",
            "comPort=3",
            "   other key   =   odd spacing   ",
            "",
            "[radio]",
            "accessCode=PROGRAMQV4",
            "model=",
            "; trailing comment",
            QByteArray(3000, 'x'),
        };
        const QString path = settingsIn(shell.dir, before.join('\n') + '\n');
        shell.ports.present = {port(3), port(5)};
        shell.load();
        QTest::keyClick(shell.find<QComboBox>("Combo2"), Qt::Key_Down);

        QList<QByteArray> expected = before;
        expected[7] = "comPort=5";
        QCOMPARE(readFile(path).split('\n'), expected << QByteArray());
    }

    void aWriteCreatesTheFileOrTheSection_data() {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("no file") << QByteArray() << QByteArray("[language]\ncomPort=12\n");
        QTest::newRow("no section")
            << QByteArray("; mine\n[radio]\nmodel=X\n")
            << QByteArray("; mine\n[radio]\nmodel=X\n[language]\ncomPort=12\n");
        QTest::newRow("no key") << QByteArray("[language]\n[radio]\n")
                                << QByteArray("[language]\ncomPort=12\n[radio]\n");
    }
    void aWriteCreatesTheFileOrTheSection() {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        QTemporaryDir dir;
        const QString path = settingsIn(dir, before);
        const SettingsFile settings(path.toStdString());
        settings.writeComPort(12);
        QCOMPARE(readFile(path), after);
        QCOMPARE(settings.readComPort(), 12);
    }

    void comPortReadsAsA16BitNumberOrZero_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("comPort");
        QTest::newRow("plain") << QByteArray("[language]\ncomPort=3\n") << 3;
        QTest::newRow("spaces") << QByteArray("[language]\n  comPort =  42  \n") << 42;
        QTest::newRow("CRLF") << QByteArray("[language]\r\ncomPort=8\r\n") << 8;
        QTest::newRow("missing file") << QByteArray() << 0;
        QTest::newRow("missing key") << QByteArray("[language]\nport=3\n") << 0;
        QTest::newRow("other section") << QByteArray("[ports]\ncomPort=3\n") << 0;
        QTest::newRow("empty") << QByteArray("[language]\ncomPort=\n") << 0;
        QTest::newRow("not a number") << QByteArray("[language]\ncomPort=COM3\n") << 0;
        QTest::newRow("trailing letters") << QByteArray("[language]\ncomPort=3x\n") << 0;
        QTest::newRow("fraction") << QByteArray("[language]\ncomPort=3.5\n") << 0;
        QTest::newRow("largest") << QByteArray("[language]\ncomPort=32767\n") << 32767;
        QTest::newRow("out of range") << QByteArray("[language]\ncomPort=32768\n") << 0;
        QTest::newRow("huge") << QByteArray("[language]\ncomPort=" + QByteArray(600, '9') + "\n")
                              << 0;
        QTest::newRow("garbled lines around")
            << QByteArray("\x01\x02garbage\n[lang\n=\n[language]\n\xff\xfe=\ncomPort=6\n") << 6;
        QTest::newRow("huge line before")
            << QByteArray(QByteArray(5000, 'z') + "\n[language]\ncomPort=4\n") << 4;
    }
    void comPortReadsAsA16BitNumberOrZero() {
        QFETCH(QByteArray, content);
        QFETCH(int, comPort);
        QTemporaryDir dir;
        QCOMPARE(SettingsFile(settingsIn(dir, content).toStdString()).readComPort(), comPort);
    }

    void portsSectionNamesDevices() {
        QTemporaryDir dir;
        const QString path =
            settingsIn(dir,
                       "[ports]\n; the bench radio\nCOM9=/dev/pts/3\nbogus=/dev/x\n"
                       "COM12 = /dev/serial/by-id/usb-1\nCOM0=/dev/zero\nCOM4=\n"
                       "[language]\ncomPort=9\n");
        std::vector<std::string> named;
        for (const PresentPort& port : SettingsFile(path.toStdString()).configuredPorts()) {
            named.push_back(port.name + "=" + port.device);
        }
        QCOMPARE(named,
                 (std::vector<std::string>{"COM9=/dev/pts/3", "COM12=/dev/serial/by-id/usb-1"}));
    }
};

}  // namespace qv::test

QV_OFFSCREEN_TEST_MAIN(qv::test::SettingsFileTest)
#include "SettingsFileTest.moc"
