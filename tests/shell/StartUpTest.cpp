#include <QComboBox>
#include <QLocale>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>

#include "ShellFakes.h"
#include "shell/QtSystemLocale.h"

namespace qv::test {

class StartUpTest : public QObject {
    Q_OBJECT
private slots:
    void languageComesFromTheLocaleIdentifier_data() {
        QTest::addColumn<int>("localeId");
        QTest::addColumn<int>("languageId");
        QTest::addColumn<QString>("read");
        QTest::addColumn<QString>("write");
        QTest::newRow("0x0804") << 0x0804 << 2 << QString("读出(&R)") << QString("写入(&W)");
        for (const int id : {0x0404, 0x1004, 0x0409, 0x040C}) {
            QTest::addRow("0x%04X", id) << id << 1 << QString("&Read") << QString("&Write");
        }
    }
    void languageComesFromTheLocaleIdentifier() {
        QFETCH(int, localeId);
        QFETCH(int, languageId);
        QFETCH(QString, read);
        QFETCH(QString, write);
        ShellFixture shell;
        shell.locale.id = localeId;
        FrmMain& window = shell.load();
        QCOMPARE(window.languageId(), languageId);
        QCOMPARE(shell.find<QPushButton>("Command1")->text(), read);
        QCOMPARE(shell.find<QPushButton>("Command2")->text(), write);
    }

    void onlyChineseOfChinaGivesTheChineseIdentifier() {
        const std::pair<QLocale, bool> locales[] = {
            {QLocale(QLocale::Chinese, QLocale::China), true},
            {QLocale(QLocale::Chinese, QLocale::Taiwan), false},
            {QLocale(QLocale::Chinese, QLocale::Singapore), false},
            {QLocale(QLocale::English, QLocale::UnitedStates), false},
            {QLocale(QLocale::French, QLocale::France), false},
            {QLocale::c(), false}};
        for (const auto& [locale, chinese] : locales) {
            QVERIFY2((localeIdOf(locale) == 0x0804) == chinese, qPrintable(locale.name()));
        }
    }

    void theReminderComesLastAndBeforeTheWindowShows() {
        ShellFixture shell;
        shell.ports.present = {port(3)};
        settingsIn(shell.dir, "[language]\ncomPort=9\n");
        bool visible = true;
        bool rescanning = false;
        QByteArray settingsAtReminder;
        QString readCaption;
        shell.notices.onShow = [&] {
            visible = shell.window->isVisible();
            rescanning = shell.find<QTimer>("ReShowComPortTimer")->isActive();
            settingsAtReminder = readFile(shell.dir.filePath("mysetup.ini"));
            readCaption = shell.find<QPushButton>("Command1")->text();
        };
        shell.load();
        QCOMPARE(shell.notices.shown.size(), std::size_t{1});
        QCOMPARE(shell.notices.shown[0].text,
                 std::string("Please READ and SAVE (backup) the calibration data before making "
                             "any changes."));
        QCOMPARE(shell.notices.shown[0].icon, NoticeIcon::Exclamation);
        QVERIFY(!visible);
        QVERIFY(rescanning);
        QCOMPARE(settingsAtReminder, QByteArray("[language]\ncomPort=3\n"));
        QCOMPARE(readCaption, QString("&Read"));
    }

    void theSavedPortIsRestored_data() {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<QList<int>>("present");
        QTest::addColumn<int>("comPortNo");
        QTest::addColumn<QByteArray>("settingsAfter");
        // A settings file holding only comPort=<saved>; none for nullptr.
        const auto file = [](const char* saved) {
            return saved == nullptr ? QByteArray()
                                    : "[language]\ncomPort=" + QByteArray(saved) + "\n";
        };
        const auto row = [&](const char* name, const char* saved, const QList<int>& present,
                             int comPortNo, const char* savedAfter) {
            QTest::newRow(name) << file(saved) << present << comPortNo << file(savedAfter);
        };
        row("saved port present", "5", {3, 5}, 5, "5");
        row("saved port absent: the first one, saved", "9", {3, 5}, 3, "3");
        row("no port present: nothing chosen, file untouched", "4", {}, 0, "4");
        row("no settings file", nullptr, {7}, 7, "7");
        row("garbled value", "COM5", {5, 6}, 5, "5");
        row("port names compared whole", "1", {12, 1}, 1, "1");
        row("a saved port that only begins a present one", "1", {12, 3}, 12, "12");
    }
    void theSavedPortIsRestored() {
        QFETCH(QByteArray, settings);
        QFETCH(QList<int>, present);
        QFETCH(int, comPortNo);
        QFETCH(QByteArray, settingsAfter);
        ShellFixture shell;
        const QString path = settingsIn(shell.dir, settings);
        for (int n : present) {
            shell.ports.present.push_back(port(n));
        }
        QCOMPARE(shell.load().comPortNo(), comPortNo);
        QCOMPARE(shell.find<QComboBox>("Combo2")->currentText(),
                 comPortNo == 0 ? QString() : QString("COM%1").arg(comPortNo));
        QCOMPARE(readFile(path), settingsAfter);
    }

    void anUnwritableSettingsFileIsIgnored() {
        ShellFixture shell;
        shell.settings = SettingsFile("/nonexistent-folder/mysetup.ini");
        shell.ports.present = {port(2)};
        QCOMPARE(shell.load().comPortNo(), 2);
        QCOMPARE(shell.notices.shown.size(), std::size_t{1});
    }

    void exitAndTheCloseBoxShutDownAlike_data() {
        QTest::addColumn<bool>("byExitButton");
        QTest::newRow("Exit button") << true;
        QTest::newRow("close box") << false;
    }
    void exitAndTheCloseBoxShutDownAlike() {
        QFETCH(bool, byExitButton);
        ShellFixture shell;
        FrmMain& window = shell.load();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QSignalSpy unloading(&window, &FrmMain::unloading);
        if (byExitButton) {
            shell.find<QPushButton>("Command3")->click();
        } else {
            window.close();
        }
        QVERIFY(!window.isVisible());
        QVERIFY(!shell.find<QTimer>("ReShowComPortTimer")->isActive());
        QCOMPARE(unloading.count(), 1);
        QCOMPARE(shell.notices.shown.size(), std::size_t{1});
    }

    void theRadioKeysAreHandedOnAsWritten() {
        ShellFixture shell;
        settingsIn(shell.dir, "[radio]\naccessCode = PROGRAMQV4\nmodel=QV-4120\n");
        FrmMain& window = shell.load();
        QCOMPARE(window.accessCodeText(), std::string("PROGRAMQV4"));
        QCOMPARE(window.modelText(), std::string("QV-4120"));
    }
};

}  // namespace qv::test

QV_OFFSCREEN_TEST_MAIN(qv::test::StartUpTest)
#include "StartUpTest.moc"
