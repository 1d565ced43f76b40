#include <QComboBox>
#include <QFile>
#include <QLocale>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
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
        QTest::newRow("0x0404") << 0x0404 << 1 << QString("&Read") << QString("&Write");
        QTest::newRow("0x1004") << 0x1004 << 1 << QString("&Read") << QString("&Write");
        QTest::newRow("0x0409") << 0x0409 << 1 << QString("&Read") << QString("&Write");
        QTest::newRow("0x040C") << 0x040C << 1 << QString("&Read") << QString("&Write");
    }
    void languageComesFromTheLocaleIdentifier() {
        QFETCH(int, localeId);
        QFETCH(int, languageId);
        QFETCH(QString, read);
        QFETCH(QString, write);
        ShellFixture shell;
        shell.locale.localeId = localeId;
        FrmMain& window = shell.Load();
        QCOMPARE(window.LanguageId(), languageId);
        QCOMPARE(shell.Find<QPushButton>("Command1")->text(), read);
        QCOMPARE(shell.Find<QPushButton>("Command2")->text(), write);
    }

    void qtLocalesMapToTheirIdentifiers_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<bool>("chineseChina");
        QTest::newRow("zh_CN") << QLocale(QLocale::Chinese, QLocale::China) << true;
        QTest::newRow("zh_TW") << QLocale(QLocale::Chinese, QLocale::Taiwan) << false;
        QTest::newRow("zh_SG") << QLocale(QLocale::Chinese, QLocale::Singapore) << false;
        QTest::newRow("en_US") << QLocale(QLocale::English, QLocale::UnitedStates) << false;
        QTest::newRow("fr_FR") << QLocale(QLocale::French, QLocale::France) << false;
        QTest::newRow("C") << QLocale::c() << false;
    }
    void qtLocalesMapToTheirIdentifiers() {
        QFETCH(QLocale, locale);
        QFETCH(bool, chineseChina);
        QCOMPARE(LocaleIdOf(locale) == 0x0804, chineseChina);
    }

    void theReminderComesLastAndBeforeTheWindowShows() {
        ShellFixture shell;
        shell.ports.present = {Port(3)};
        SettingsIn(shell.dir, "[language]\ncomPort=9\n");
        bool visible = true;
        bool rescanning = false;
        QByteArray settingsAtReminder;
        QString readCaption;
        shell.notices.onShow = [&] {
            visible = shell.window->isVisible();
            rescanning = shell.Find<QTimer>("ReShowComPortTimer")->isActive();
            settingsAtReminder = ReadFile(shell.dir.filePath("mysetup.ini"));
            readCaption = shell.Find<QPushButton>("Command1")->text();
        };
        shell.Load();
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
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QByteArray>("settingsAfter");
        QTest::newRow("saved port present")
            << QByteArray("[language]\ncomPort=5\n") << QList<int>{3, 5} << 5 << "COM5"
            << QByteArray("[language]\ncomPort=5\n");
        QTest::newRow("saved port absent: the first one, saved")
            << QByteArray("[language]\ncomPort=9\n") << QList<int>{3, 5} << 3 << "COM3"
            << QByteArray("[language]\ncomPort=3\n");
        QTest::newRow("no port present: nothing chosen, file untouched")
            << QByteArray("[language]\ncomPort=4\n") << QList<int>{} << 0 << ""
            << QByteArray("[language]\ncomPort=4\n");
        QTest::newRow("no settings file") << QByteArray() << QList<int>{7} << 7 << "COM7"
                                          << QByteArray("[language]\ncomPort=7\n");
        QTest::newRow("garbled value")
            << QByteArray("[language]\ncomPort=COM5\n") << QList<int>{5, 6} << 5 << "COM5"
            << QByteArray("[language]\ncomPort=5\n");
    }
    void theSavedPortIsRestored() {
        QFETCH(QByteArray, settings);
        QFETCH(QList<int>, present);
        QFETCH(int, comPortNo);
        QFETCH(QString, chosen);
        QFETCH(QByteArray, settingsAfter);
        ShellFixture shell;
        const QString path = SettingsIn(shell.dir, settings);
        for (int n : present) {
            shell.ports.present.push_back(Port(n));
        }
        FrmMain& window = shell.Load();
        QCOMPARE(window.ComPortNo(), comPortNo);
        QCOMPARE(shell.Find<QComboBox>("Combo2")->currentText(), chosen);
        QCOMPARE(ReadFile(path), settingsAfter);
    }

    void anUnwritableSettingsFileIsIgnored() {
        FakeLocale locale;
        FakePorts ports;
        ports.present = {Port(2)};
        ScriptedNotices notices;
        const SettingsFile settings("/nonexistent-folder/mysetup.ini");
        FrmMain window({notices, locale, ports, settings});
        window.Form_Load();
        QCOMPARE(window.ComPortNo(), 2);
        QCOMPARE(notices.shown.size(), std::size_t{1});
    }

    void startUpHidesTwoPagesAndOpensSMeter() {
        ShellFixture shell;
        shell.Load();
        auto* tabs = shell.Find<QTabWidget>("SSTab1");
        QVERIFY(!tabs->isTabVisible(0));
        QVERIFY(!tabs->isTabVisible(1));
        QCOMPARE(tabs->currentIndex(), 2);
    }

    void exitAndTheCloseBoxShutDownAlike_data() {
        QTest::addColumn<bool>("byExitButton");
        QTest::newRow("Exit button") << true;
        QTest::newRow("close box") << false;
    }
    void exitAndTheCloseBoxShutDownAlike() {
        QFETCH(bool, byExitButton);
        ShellFixture shell;
        FrmMain& window = shell.Load();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QSignalSpy unloading(&window, &FrmMain::Unloading);
        if (byExitButton) {
            shell.Find<QPushButton>("Command3")->click();
        } else {
            window.close();
        }
        QVERIFY(!window.isVisible());
        QVERIFY(!shell.Find<QTimer>("ReShowComPortTimer")->isActive());
        QCOMPARE(unloading.count(), 1);
        QCOMPARE(shell.notices.shown.size(), std::size_t{1});
    }

    void theRadioKeysAreHandedOnAsWritten() {
        ShellFixture shell;
        SettingsIn(shell.dir, "[radio]\naccessCode = PROGRAMQV4\nmodel=QV-4120\n");
        FrmMain& window = shell.Load();
        QCOMPARE(window.AccessCodeText(), std::string("PROGRAMQV4"));
        QCOMPARE(window.ModelText(), std::string("QV-4120"));
    }
};

}  // namespace qv::test

QV_OFFSCREEN_TEST_MAIN(qv::test::StartUpTest)
#include "StartUpTest.moc"
