// The whole tool through its window: the buttons and fields driven as a user would, the
// simulated radio on a real pseudo-terminal, the message boxes and file dialogs scripted.
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

using WindowEndToEnd = WindowTest;

// Read, save, load, cancel, edit and write: the fields show the radio's memory, a file saved
// after the read holds it (with the read-only values no field shows), the radio ends with the
// edits and the close levels as shown, and the status line shows each block while the radio is
// silent on it (frame 5: block 3 of the read; frame 24: block 5 of the write, the read having
// taken 12 frames with its re-send). With QV_SCREENSHOTS set to a folder, the window is saved
// there as en-reading.png while it reads.
TEST_F(WindowEndToEnd, ReadSaveLoadEditAndWrite) {
    openOnRadio(testImage(), {"--fault", "silence@5", "--fault", "silence@24"});
    click(window->readButton());
    EXPECT_TRUE(waitUntil([&] { return status("statusProgress") == "Reading block 3 of 8"; }, 15s));
    if (const QString folder = qEnvironmentVariable("QV_SCREENSHOTS"); !folder.isEmpty()) {
        window->grab()
            .toImage()
            .convertToFormat(QImage::Format_Indexed8)
            .save(folder + "/en-reading.png");
    }
    EXPECT_EQ(outcome(), kReadComplete);
    EXPECT_EQ(status("statusRadio"), "Radio QV-4120, version 01.02");

    click(window->saveButton(), "backup.bin");
    QByteArray saved(reinterpret_cast<const char*>(testImage().data()), FieldRecord::kSize);
    putValues(saved.replace(108, 6, QByteArray(6, '\0')), {{20, 6}, {26, 6}});
    EXPECT_EQ(readFile(path("backup.bin")).toHex(), saved.toHex());
    EXPECT_EQ(status("statusFile"), "Saved " + path("backup.bin"));
    const QStringList read = shown();
    type(0, "1");
    click(window->loadButton(), "backup.bin");
    EXPECT_EQ(shown(), read);
    const auto [save, load] = std::pair(picker.requests.at(0), picker.requests.at(1));
    EXPECT_EQ(
        save.title + save.fileName + load.title + load.fileName + load.filter + load.defaultSuffix,
        "Save FileOpen File" + path("backup.bin") + "data file (*.bin)bin");

    // Cancelled questions and dialogs change nothing and say nothing.
    type(4, "4321");
    type(5, "12");
    notices.shown.clear();
    notices.confirmAnswer = false;
    for (QPushButton* button : {window->readButton(), window->writeButton(), window->saveButton(),
                                window->loadButton()}) {
        click(button);
    }
    EXPECT_EQ(picker.requests.back().fileName, "");  // the cancelled save cleared it
    EXPECT_TRUE(notices.shown.empty());
    EXPECT_EQ(readFile(path("backup.bin")).toHex(), saved.toHex());
    notices.confirmAnswer = true;
    click(window->writeButton());
    EXPECT_TRUE(waitUntil([&] { return status("statusProgress") == "Writing block 5 of 8"; }, 15s));
    EXPECT_EQ(outcome(), kWriteComplete);
    EXPECT_EQ(notices.asked, (std::vector<std::string>{kReadQuestion, kReadQuestion, kWriteQuestion,
                                                       kWriteQuestion}));
    expectIdleWithThePortClosed();
    Memory expected = testImage();
    putValues(expected, {{4, 4321}, {5, 12}, {20, 6}, {26, 6}});
    EXPECT_EQ(radio.memoryAfterStop(), expected);
}

// Write refuses at once, naming the field, while a field holds nothing to write. Saving over a
// longer file keeps its tail and the loaded read-only values and Reserved; a file that cannot be
// read or written is named in a message and changes nothing. A loaded file is written with every
// byte that no sent field holds kept as the radio's own.
TEST_F(WindowEndToEnd, LoadEditSaveAndWriteAFileWithoutARead) {
    const auto expectRefusedNaming = [&](QPushButton* button, const char* file, int field) {
        EXPECT_NE(clickForMessage(button, file).find(describeField(field)), std::string::npos);
        EXPECT_EQ(notices.shown.front().icon, NoticeIcon::Stop);
        EXPECT_TRUE(notices.asked.empty());
        EXPECT_FALSE(QFile::exists(path("saved.bin")));
    };
    openOnRadio(testImage());
    expectRefusedNaming(window->writeButton(), nullptr, 0);
    QByteArray longFile = dataFile() + QByteArray(82, '\x5A');
    writeFile(path("long.bin"), longFile);
    click(window->loadButton(), "long.bin");
    type(4, "4321");
    click(window->saveButton(), "long.bin");
    putValues(longFile, {{4, 4321}, {20, 6}, {26, 6}});
    EXPECT_EQ(readFile(path("long.bin")).toHex(), longFile.toHex());
    const QStringList before = shown();
    writeFile(path("short.bin"), dataFile().left(117));
    const std::tuple<QPushButton*, const char*, std::string> failures[] = {
        {window->loadButton(), "short.bin", "The data file was not loaded.\n"},
        {window->loadButton(), "missing.bin", "The data file was not loaded.\n"},
        {window->saveButton(), "no-folder/saved.bin", "The data file was not saved.\n"}};
    for (const auto& [button, file, message] : failures) {
        const QByteArray content = readFile(path(file));
        EXPECT_EQ(clickForMessage(button, file).substr(0, message.size()), message);
        EXPECT_NE(notices.shown.front().text.find(path(file).toStdString()), std::string::npos);
        EXPECT_EQ(readFile(path(file)), content);
    }
    EXPECT_EQ(shown(), before);
    type(20, "\b");
    expectRefusedNaming(window->writeButton(), nullptr, 20);
    expectRefusedNaming(window->saveButton(), "saved.bin", 20);
    EXPECT_EQ(radio.log(), "");
    type(20, "9");
    EXPECT_EQ(clickForMessage(window->writeButton()), kWriteComplete);
    Memory expected = testImage();
    for (const FieldInfo& f : catalogue()) {
        if (f.sent) {
            putValues(expected, {{f.index, 0x1717}});
        }
    }
    putValues(expected, {{0, 0xFFFF}, {4, 4321}, {20, 6}, {26, 6}});
    EXPECT_EQ(radio.memoryAfterStop(), expected);
}

// "No Com Port!" until a click finds a port (the re-scan, which would find it by itself, is
// stopped); a port that cannot be opened is reported with the reason; a cable dropped in the
// middle of a write (after frame 11: the access code, the identification, six reads and two
// blocks) ends it with one message.
TEST_F(WindowEndToEnd, PortsThatAreMissingCannotBeOpenedOrGoAway) {
    openOnRadio(testImage(), {"--fault", "drop@11"});
    window->findChild<QTimer*>("portRescanTimer")->stop();
    ports.present.clear();
    window->onPortRescan();
    EXPECT_EQ(status("statusPort"), "No port");
    EXPECT_EQ(clickForMessage(window->readButton()), kNoComPort);
    EXPECT_EQ(notices.shown.front().icon, NoticeIcon::None);
    ports.present = {port(9, path("no-such-device").toStdString())};
    EXPECT_EQ(clickForMessage(window->readButton()), kNoComPort);
    EXPECT_EQ(clickForMessage(window->readButton()),
              std::string(kCannotOpenPort) + "\nNo such device: is the cable plugged in?");
    EXPECT_EQ(notices.shown.front().icon, NoticeIcon::Stop);
    ports.present = {port(9, device)};
    window->onPortRescan();
    EXPECT_EQ(status("statusPort").toStdString(), "COM9: " + device);
    writeFile(path("loaded.bin"), dataFile());
    click(window->loadButton(), "loaded.bin");
    EXPECT_EQ(clickForMessage(window->writeButton()), kPortLost);
    runEventLoopFor(200ms);
    EXPECT_EQ(notices.shown.size(), 1U);
    EXPECT_EQ(notices.shown.front().icon, NoticeIcon::Stop);
    expectIdleWithThePortClosed();
}

}  // namespace
}  // namespace qv::test
