// The whole tool through its window: the buttons and fields driven as a user would, the
// simulated radio on a real pseudo-terminal, the message boxes and file dialogs scripted.
#include <QTabBar>

#include "tests/window/WindowFixture.h"

namespace qv::test {
namespace {

using Memory = sim::SimulatedRadio::Memory;
using namespace std::chrono_literals;

template <typename Bytes>
void putValues(Bytes& bytes, std::initializer_list<std::pair<int, unsigned>> values) {
    for (const auto& [field, value] : values) {
        bytes[fieldInfo(field).offset] = static_cast<std::uint8_t>(value);
        if (fieldInfo(field).size == 2) {
            bytes[fieldInfo(field).offset + 1] = static_cast<std::uint8_t>(value >> 8);
        }
    }
}

// A radio holding values the window must bend (close levels above 6) and distinct bytes where
// no field is, so a write that overwrites them shows.
Memory testImage() {
    Memory image = sim::builtInImage();
    putValues(image, {{20, 9}, {26, 200}});
    std::fill(image.begin() + 108, image.begin() + 114, 0xA5);
    std::fill(image.begin() + FieldRecord::kSize, image.end(), 0x5A);
    return image;
}

// A data file whose values all differ from the radio's; field 0 at 65535.
QByteArray dataFile() {
    return "\xFF\xFF" + QByteArray(FieldRecord::kSize - 2, '\x17');
}

// The radio after a write of dataFile() as loaded: the bytes no sent field holds are the
// radio's own, the close levels as the window shows them.
Memory writtenFromDataFile() {
    Memory expected = testImage();
    for (const FieldInfo& f : catalogue()) {
        if (f.sent) {
            putValues(expected, {{f.index, 0x1717}});
        }
    }
    putValues(expected, {{0, 0xFFFF}, {20, 6}, {26, 6}});
    return expected;
}

using WindowEndToEnd = WindowTest;

// Read, save, load, edit and write: "Read Complete!" comes with the fields showing the radio's
// memory, a file saved after the read holds it (with the read-only values no field shows), the
// radio ends with the edits and the close levels as shown, and the status line shows each block
// while the radio is silent on it (frame 5: block 3 of the read; frame 27: block 5 of the write,
// the read having taken 12 frames with its re-send and the write's own read of the radio 10).
TEST_F(WindowEndToEnd, ReadSaveLoadEditAndWrite) {
    openOnRadio(testImage(), {"--fault", "silence@5", "--fault", "silence@27"});
    QStringList read;
    notices.onShow = [&] { read = shown(); };
    click(window->readButton());
    EXPECT_TRUE(waitUntil([&] { return status("statusProgress") == "Reading block 3 of 8"; }, 15s));
    EXPECT_EQ(outcome(), "Read Complete!");
    EXPECT_EQ(status("statusRadio"), "Radio QV-4120, version 01.02");
    const QStringList backups =
        QDir(path("data/qv4120-settestdata/backups")).entryList({"QV-4120_01.02_*_read.json"});
    ASSERT_EQ(backups.size(), 1);
    EXPECT_EQ(status("statusFile"),
              "Backup kept: " + path("data/qv4120-settestdata/backups/") + backups.front());
    click(window->saveButton(), "backup.bin");
    QByteArray saved(reinterpret_cast<const char*>(testImage().data()), FieldRecord::kSize);
    putValues(saved.replace(108, 6, QByteArray(6, '\0')), {{20, 6}, {26, 6}});
    EXPECT_EQ(readFile(path("backup.bin")).toHex(), saved.toHex());
    EXPECT_EQ(status("statusFile"), "Saved " + path("backup.bin"));
    type(0, "1");
    EXPECT_EQ(status("statusChanges"), "1 field changed");
    EXPECT_TRUE(edit(0)->property("changed").toBool());
    click(window->loadButton(), "backup.bin");
    EXPECT_EQ(shown(), read);
    EXPECT_EQ(status("statusChanges"), "");
    type(0, "1");
    const QByteArray kept = "data/qv4120-settestdata/backups/" + backups.front().toUtf8();
    click(window->loadButton(), kept.constData());
    EXPECT_EQ(shown(), read);
    type(4, "4321");
    type(5, "12");
    type(0, "0" + edit(0)->text());  // the same value as read, however written
    EXPECT_EQ(status("statusChanges"), "2 fields changed");
    click(window->writeButton());
    EXPECT_TRUE(waitUntil([&] { return status("statusProgress") == "Writing block 5 of 8"; }, 15s));
    EXPECT_EQ(outcome(), "Write Complete!");
    EXPECT_EQ(status("statusChanges"), "");
    Memory expected = testImage();
    putValues(expected, {{4, 4321}, {5, 12}, {20, 6}, {26, 6}});
    EXPECT_EQ(radio.memoryAfterStop(), expected);
}

// While a field holds nothing to write (a close level may be left empty), Write and Save refuse
// at once, naming it: no question, no file, nothing sent. A file too short to load is named in a
// message and changes nothing. A loaded file is saved with its read-only values and written with
// every byte that no sent field holds kept as the radio's own.
TEST_F(WindowEndToEnd, LoadEditSaveAndWriteAFileWithoutARead) {
    openOnRadio(testImage());
    QByteArray file = dataFile();
    writeFile(path("loaded.bin"), file);
    click(window->loadButton(), "loaded.bin");
    type(20, "\b");
    for (QPushButton* button : {window->writeButton(), window->saveButton()}) {
        EXPECT_NE(clickForMessage(button, "saved.bin").find("field 20 \"***ASQ close level\""),
                  std::string::npos);
        EXPECT_EQ(notices.shown.front().icon, NoticeIcon::Stop);
    }
    EXPECT_TRUE(notices.asked.empty());
    EXPECT_EQ(radio.log(), "");
    EXPECT_FALSE(QFile::exists(path("saved.bin")));
    const QStringList before = shown();
    writeFile(path("short.bin"), file.left(117));
    EXPECT_EQ(clickForMessage(window->loadButton(), "short.bin").substr(0, 30),
              "The data file was not loaded.\n");
    EXPECT_NE(notices.shown.front().text.find(path("short.bin").toStdString()), std::string::npos);
    EXPECT_EQ(shown(), before);
    type(20, "9");
    type(4, "4321");
    click(window->saveButton(), "saved.bin");
    putValues(file, {{4, 4321}, {20, 6}, {26, 6}});
    EXPECT_EQ(readFile(path("saved.bin")).toHex(), file.toHex());
    // No block goes to a radio whose memory cannot be kept first.
    writeFile(path("blocked"), "x");
    qputenv("XDG_DATA_HOME", path("blocked/data").toLocal8Bit());
    EXPECT_EQ(
        clickForMessage(window->writeButton()).substr(0, 84),
        "Nothing was written to the radio.\nThe radio's memory could not be kept as a backup: ");
    EXPECT_EQ(radio.log().find("write stored"), std::string::npos);
    qputenv("XDG_DATA_HOME", path("data").toLocal8Bit());
    EXPECT_EQ(clickForMessage(window->writeButton()), "Write Complete!");
    EXPECT_EQ(QDir(path("data/qv4120-settestdata/backups")).entryList({"*_write.json"}).size(), 1);
    Memory expected = writtenFromDataFile();
    putValues(expected, {{4, 4321}});
    EXPECT_EQ(radio.memoryAfterStop(), expected);
}

// A write sends the values shown when it was confirmed: a file loaded and an edit made during
// its own read of the radio (silent on its third block, frame 5) wait for the next write, and
// stay marked as changed once it is over.
TEST_F(WindowEndToEnd, AWriteSendsTheValuesShownWhenConfirmed) {
    openOnRadio(testImage(), {"--fault", "silence@5"});
    writeFile(path("confirmed.bin"), dataFile());
    writeFile(path("later.bin"), QByteArray(FieldRecord::kSize, '\x01'));
    click(window->loadButton(), "confirmed.bin");
    click(window->writeButton());
    ASSERT_TRUE(waitUntil([&] { return status("statusProgress") == "Reading block 3 of 8"; }, 15s));
    click(window->loadButton(), "later.bin");
    type(4, "4321");
    EXPECT_EQ(outcome(), "Write Complete!");
    EXPECT_EQ(edit(4)->text(), "4321");
    EXPECT_TRUE(edit(4)->property("changed").toBool() && edit(5)->property("changed").toBool());
    EXPECT_EQ(radio.memoryAfterStop(), writtenFromDataFile());
}

// From its confirmation to its outcome, a write is cut off only when the person says so: Exit
// asks, and No, the default, keeps the window and the write, which completes; Yes closes as
// ever. Closing during a read asks nothing. Steps held keep a transfer at its first pause.
TEST_F(WindowEndToEnd, ClosingDuringAWriteAsksFirst) {
    const std::string question =
        "A write is in progress. Closing now can leave the radio half written. Close anyway?";
    openOnRadio(testImage(), {"--fault", "silence@5"});
    writeFile(path("confirmed.bin"), dataFile());
    click(window->loadButton(), "confirmed.bin");
    click(window->writeButton());
    ASSERT_TRUE(waitUntil([&] { return status("statusProgress") == "Reading block 3 of 8"; }, 15s));
    QTest::mouseClick(window->findChild<QPushButton*>("exitButton"), Qt::LeftButton);
    EXPECT_EQ(notices.asked.back(), question);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(outcome(), "Write Complete!");

    steps.held = true;
    notices.asked.clear();
    click(window->readButton());
    EXPECT_TRUE(commands->currentTransfer().running());
    window->close();
    EXPECT_EQ(notices.asked.size(), 1U);  // Read's own question
    EXPECT_FALSE(window->isVisible());

    open({port(9, device)});
    click(window->loadButton(), "confirmed.bin");
    click(window->writeButton());
    notices.answers = {true};
    window->close();
    EXPECT_EQ(notices.asked.back(), question);
    EXPECT_FALSE(window->isVisible() || commands->currentTransfer().running());
    EXPECT_TRUE(notices.shown.empty());
}

// The backup of a radio whose close level holds 7 loads as the window shows that radio (6, not
// marked changed) and a write of it sends 6, the bytes qv4120-cal's write of it sends
// (tests/cli); a 9 put in a document by hand shows as 6, marked changed. Read and Write
// cancelled send nothing.
TEST_F(WindowEndToEnd, ABackupHoldingAValueOutOfRangeIsWrittenInRange) {
    Memory image = sim::builtInImage();
    putValues(image, {{20, 7}});
    openOnRadio(image);
    EXPECT_EQ(clickForMessage(window->readButton()), "Read Complete!");
    const QDir kept(path("data/qv4120-settestdata/backups"));
    ASSERT_EQ(kept.entryList({"*_read.json"}).size(), 1);
    const QString backup = kept.filePath(kept.entryList({"*_read.json"}).front());
    QByteArray byHand = readFile(backup);
    byHand.replace(R"("***ASQ close level","value":7)", R"("***ASQ close level","value":9)");
    writeFile(path("by-hand.json"), byHand);

    click(window->loadButton(), "by-hand.json");
    EXPECT_EQ(edit(20)->text(), "6");
    EXPECT_TRUE(edit(20)->property("changed").toBool());
    EXPECT_EQ(status("statusChanges"), "1 field changed");
    picker.next = backup;
    QTest::mouseClick(window->loadButton(), Qt::LeftButton);
    EXPECT_EQ(edit(20)->text(), "6");
    EXPECT_EQ(status("statusChanges"), "");
    const std::string logged = radio.log();
    notices.answers = {false, false};
    notices.asked.clear();
    click(window->readButton());
    click(window->writeButton());
    EXPECT_EQ(notices.asked.size(), 2U);
    EXPECT_FALSE(commands->currentTransfer().running());
    EXPECT_TRUE(notices.shown.empty());
    EXPECT_EQ(radio.log(), logged);
    EXPECT_EQ(clickForMessage(window->writeButton()), "Write Complete!");
    putValues(image, {{20, 6}});
    EXPECT_EQ(radio.memoryAfterStop(), image);
}

// "No Com Port!" until a click finds a port (the re-scan, which would find it by itself, is
// stopped); a port that cannot be opened is reported with the reason. A cable dropped in the
// middle of a transfer is among the outcomes below.
TEST_F(WindowEndToEnd, PortsThatAreMissingOrCannotBeOpened) {
    open({port(9)});
    window->findChild<QTimer*>("portRescanTimer")->stop();
    ports.present.clear();
    window->onPortRescan();
    EXPECT_EQ(status("statusPort"), "No port");
    EXPECT_EQ(clickForMessage(window->readButton()), "No Com Port!");
    ports.present = {port(9, path("no-such-device").toStdString())};
    EXPECT_EQ(clickForMessage(window->readButton()), "No Com Port!");
    EXPECT_EQ(clickForMessage(window->readButton()),
              "Cannot Open Communication Port.\nCOM9 (" + path("no-such-device").toStdString() +
                  "): No such device: is the cable plugged in?");
}

// A failed read names its log, which holds the exchange in hex even with the logging rules on;
// the folder keeps the last 20 of the tool's logs and nothing else of it is removed.
TEST_F(WindowEndToEnd, AFailedReadNamesItsLogAndTheLastTwentyAreKept) {
    const QString logs = path("data") + "/qv4120-settestdata/logs";
    QDir().mkpath(logs);
    QFile::setPermissions(logs, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    for (int k = 0; k < 25; ++k) {
        writeFile(logs + QString("/20200101T0000%1Z_read.log").arg(k, 2, 10, QChar('0')), "");
    }
    writeFile(logs + "/notes.log", "mine");
    QLoggingCategory::setFilterRules("qv.*=true");
    openOnRadio(testImage(), {"--fault", "silence@3-40"});
    click(window->readButton());
    EXPECT_EQ(outcome().substr(0, 20), "Communication Error!");
    QLoggingCategory::setFilterRules("");
    const QString log = QString::fromStdString(logOf(notices.shown.front().text));
    const QString text = QString::fromUtf8(readFile(log));
    for (const char* line : {R"(qv\.link: +\d+ ms -> 50 52 4F 47)", R"(qv\.link: +\d+ ms <- \w\w)",
                             R"(qv\.workflow: failed, no answer)"}) {
        EXPECT_TRUE(text.contains(QRegularExpression(line))) << line << "\n" << text.toStdString();
    }
    const QStringList kept = QDir(logs).entryList(QDir::Files, QDir::Name);
    EXPECT_EQ(kept.size(), 21) << kept.join(' ').toStdString();
    EXPECT_EQ(kept.front().toStdString(), "20200101T000006Z_read.log");
    EXPECT_TRUE(kept.contains("notes.log"));
}

// The window answers throughout: while a read waits for an answer (the radio silent on its
// third block) it switches pages, with Read and Write held back; "Read Complete!" comes at END's
// acknowledgement, and while the radio then rests it switches pages, Read and Write are back, and
// Exit closes it, ending the rest.
TEST_F(WindowEndToEnd, AnswersDuringATransferAndTheRest) {
    openOnRadio(testImage(), {"--fault", "silence@5"});
    auto* pages = window->findChild<QTabWidget*>();
    const auto switchTo = [&](int page) {
        QTest::mouseClick(pages->tabBar(), Qt::LeftButton, {},
                          pages->tabBar()->tabRect(page).center());
        return pages->currentIndex() == page;
    };
    notices.onShow = [&] { steps.held = true; };
    click(window->readButton());
    EXPECT_TRUE(waitUntil([&] { return status("statusProgress") == "Reading block 3 of 8"; }, 15s));
    EXPECT_TRUE(switchTo(1));
    EXPECT_FALSE(window->readButton()->isEnabled() || window->writeButton()->isEnabled());
    EXPECT_EQ(outcome(), "Read Complete!");
    EXPECT_TRUE(waitUntil([&] { return status("statusProgress") == "The radio rests: 2 s"; }, 5s));
    EXPECT_TRUE(commands->currentTransfer().resting());
    EXPECT_TRUE(window->readButton()->isEnabled() && window->writeButton()->isEnabled());
    EXPECT_TRUE(switchTo(2));
    QTest::mouseClick(window->findChild<QPushButton*>("exitButton"), Qt::LeftButton);
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(commands->currentTransfer().resting());
}

class Outcomes : public WindowTest, public testing::WithParamInterface<bool> {};

// Every outcome of a transfer speaks the language of the locale, and so does the status line
// while it runs: a read (silent once on its first block), a write, a radio that stays silent
// (frames 43 to 46: the access code and its three re-sends; the write reads the radio back), a lost
// line. With QV_SCREENSHOTS set, the window while it reads and each message are saved as
// <language>-reading.png and <language>-outcome-<what>.png.
TEST_P(Outcomes, FollowTheLocale) {
    locale.chineseChina = GetParam();
    const QString language = GetParam() ? "zh-" : "en-";
    openOnRadio(testImage(),
                {"--fault", "silence@3", "--fault", "silence@43-46", "--fault", "drop@47"});
    click(window->readButton());
    EXPECT_TRUE(waitUntil([&] { return !status("statusProgress").isEmpty(); }, 15s));
    EXPECT_EQ(isChinese(status("statusProgress")), GetParam());
    screenshot(language + "reading");
    const std::tuple<QPushButton*, std::string, const char*, NoticeIcon> outcomes[] = {
        {nullptr, "Read Complete!", "read", NoticeIcon::None},  // of the read running
        {window->writeButton(), "Write Complete!", "write", NoticeIcon::None},
        {window->readButton(), "Communication Error!", "silent", NoticeIcon::None},
        {window->readButton(), "The connection to the radio was lost", "lost", NoticeIcon::Stop}};
    for (const auto& [button, english, what, icon] : outcomes) {
        const std::string text = button != nullptr ? clickForMessage(button) : outcome();
        ASSERT_EQ(notices.shown.size(), 1U) << english;
        EXPECT_EQ(notices.shown.front().icon, icon) << english;
        EXPECT_EQ(isChinese(QString::fromStdString(text)), GetParam()) << text;
        EXPECT_EQ(text.starts_with(english), !GetParam()) << text;
        // A failure names its log, written with the logging rules off too.
        const QString log = QString::fromStdString(logOf(notices.shown.front().text));
        EXPECT_EQ(readFile(log).contains(" -> "), !english.ends_with("Complete!")) << text;
        screenshot(language + "outcome-" + what, notices.shown.front());
    }
    EXPECT_EQ(status("statusProgress"), "");
}

INSTANTIATE_TEST_SUITE_P(InEnglishAndChinese, Outcomes, testing::Bool());

}  // namespace
}  // namespace qv::test
