// The whole tool through its window: the buttons and fields driven as a user would, the
// simulated radio on a real pseudo-terminal, the message boxes and file dialogs scripted.
#include <span>

#include "tests/window/WindowFixture.h"

namespace qv::test {
namespace {

using Memory = sim::SimulatedRadio::Memory;

std::span<std::uint8_t> asBytes(QByteArray& data) {
    return {reinterpret_cast<std::uint8_t*>(data.data()), static_cast<std::size_t>(data.size())};
}

void putValues(std::span<std::uint8_t> bytes,
               std::initializer_list<std::pair<int, unsigned>> values) {
    for (const auto& [field, value] : values) {
        bytes[fieldInfo(field).offset] = value & 0xFF;
        if (fieldInfo(field).size == 2) {
            bytes[fieldInfo(field).offset + 1] = value >> 8;
        }
    }
}

// A radio holding values the window must bend (close levels above 6) and distinct bytes where
// no field is, so a write that overwrites them shows.
Memory testImage() {
    Memory image = sim::builtInImage();
    putValues(image, {{20, 9}, {26, 200}});
    for (std::size_t i = 108; i < image.size(); ++i) {
        image[i] = i < 114 || i >= FieldRecord::kSize ? 0xA0 + i % 16 : image[i];
    }
    return image;
}

// A data file whose values all differ from the radio's; field 0 at 65535.
QByteArray dataFile() {
    QByteArray data(FieldRecord::kSize, '\x17');
    data[0] = data[1] = '\xFF';
    return data;
}

using WindowEndToEnd = WindowTest;

// Read, save, load, cancel, edit and write: the fields show the radio's memory, a file saved
// after the read holds it (with the read-only values no field shows), the radio ends with the
// edits and the close levels as shown, and the status line shows each block while the radio is
// silent on it (frame 5: block 3 of the read; frame 24: block 5 of the write, the read having
// taken 12 frames with its re-send).
TEST_F(WindowEndToEnd, ReadSaveLoadEditAndWrite) {
    openOnRadio(testImage(), {"--fault", "silence@5", "--fault", "silence@24"});
    EXPECT_EQ(status("statusPort"), "COM9: " + device);
    const auto progressShows = [&](const std::string& text) {
        return waitUntil([&] { return status("statusProgress") == text; },
                         std::chrono::seconds(15));
    };
    click(window->readButton());
    EXPECT_TRUE(progressShows("Reading block 3 of 8"));
    EXPECT_EQ(outcome(), kReadComplete);
    EXPECT_EQ(status("statusRadio"), "Radio QV-4120, version 01.02");
    expectIdleWithThePortClosed();

    pickFile(window->saveButton(), path("backup.bin"));
    QByteArray saved(reinterpret_cast<const char*>(testImage().data()), FieldRecord::kSize);
    putValues(asBytes(saved.replace(108, 6, QByteArray(6, '\0'))), {{20, 6}, {26, 6}});
    EXPECT_EQ(readFile(path("backup.bin")).toHex(), saved.toHex());
    EXPECT_EQ(status("statusFile"), "Saved " + path("backup.bin").toStdString());
    const QStringList read = shown();
    type(0, "1");
    pickFile(window->loadButton(), path("backup.bin"));
    EXPECT_EQ(shown(), read);
    EXPECT_EQ(picker.requests[0].title + picker.requests[0].fileName, "Save File");
    EXPECT_EQ(picker.requests[1].title + picker.requests[1].fileName,
              "Open File" + path("backup.bin"));
    EXPECT_EQ(picker.requests[1].filter + picker.requests[1].defaultSuffix, "data file (*.bin)bin");

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
    EXPECT_TRUE(progressShows("Writing block 5 of 8"));
    EXPECT_EQ(outcome(), kWriteComplete);
    EXPECT_EQ(notices.asked, (std::vector<std::string>{kReadQuestion, kReadQuestion, kWriteQuestion,
                                                       kWriteQuestion}));
    expectIdleWithThePortClosed();
    Memory expected = testImage();
    putValues(expected, {{4, 4321}, {5, 12}, {20, 6}, {26, 6}});
    EXPECT_EQ(radio.memoryAfterStop(), expected);
}

// Write refuses at once, naming the field, while a field holds nothing to write; a loaded file
// is written with every byte that no sent field holds kept as the radio's own.
TEST_F(WindowEndToEnd, AWriteOfALoadedFileWithoutARead) {
    const auto expectWriteRefusedNaming = [&](int field) {
        const std::string message = clickForMessage(window->writeButton());
        EXPECT_EQ(message.substr(0, message.find('\n')), kWriteStopped);
        EXPECT_NE(message.find(describeField(field)), std::string::npos) << message;
        EXPECT_EQ(notices.shown.front().icon, NoticeIcon::Stop);
        EXPECT_TRUE(notices.asked.empty());
        expectIdleWithThePortClosed();
    };
    openOnRadio(testImage());
    expectWriteRefusedNaming(0);
    writeFile(path("loaded.bin"), dataFile());
    pickFile(window->loadButton(), path("loaded.bin"));
    type(20, "\b");
    expectWriteRefusedNaming(20);
    EXPECT_EQ(radio.log(), "");
    type(20, "9");
    EXPECT_EQ(clickForMessage(window->writeButton()), kWriteComplete);
    Memory expected = testImage();
    for (const FieldInfo& f : catalogue()) {
        if (f.sent) {
            putValues(expected, {{f.index, 0x1717}});
        }
    }
    putValues(expected, {{0, 0xFFFF}, {20, 6}, {26, 6}});
    EXPECT_EQ(radio.memoryAfterStop(), expected);
}

// Saving over a longer file keeps its tail, and the loaded read-only values and Reserved; a
// file that cannot be read or written is named in a message and changes nothing.
TEST_F(WindowEndToEnd, SaveAndLoadKeepWhatTheyDoNotChange) {
    open();
    QByteArray longFile = dataFile() + QByteArray(82, '\x5A');
    writeFile(path("long.bin"), longFile);
    pickFile(window->loadButton(), path("long.bin"));
    type(4, "4321");
    pickFile(window->saveButton(), path("long.bin"));
    putValues(asBytes(longFile), {{4, 4321}, {20, 6}, {26, 6}});
    EXPECT_EQ(readFile(path("long.bin")).toHex(), longFile.toHex());
    const QStringList before = shown();
    writeFile(path("short.bin"), dataFile().left(117));
    const std::tuple<QPushButton*, const char*, std::string> failures[] = {
        {window->loadButton(), "short.bin", "The data file was not loaded.\n"},
        {window->loadButton(), "missing.bin", "The data file was not loaded.\n"},
        {window->saveButton(), "no-folder/saved.bin", "The data file was not saved.\n"}};
    for (const auto& [button, file, message] : failures) {
        const QByteArray content = readFile(path(file));
        notices.shown.clear();
        pickFile(button, path(file));
        ASSERT_EQ(notices.shown.size(), 1U);
        EXPECT_EQ(notices.shown.front().text.substr(0, message.size()), message);
        EXPECT_NE(notices.shown.front().text.find(path(file).toStdString()), std::string::npos);
        EXPECT_EQ(notices.shown.front().icon, NoticeIcon::Stop);
        EXPECT_EQ(readFile(path(file)), content);
        EXPECT_EQ(status("statusFile"), "Saved " + path("long.bin").toStdString());
    }
    EXPECT_EQ(shown(), before);
    type(26, "\b");
    pickFile(window->saveButton(), path("saved.bin"));
    EXPECT_NE(notices.shown.at(1).text.find(describeField(26)), std::string::npos);
    EXPECT_FALSE(QFile::exists(path("saved.bin")));
}

// "No Com Port!" until a click finds a port (the re-scan, which would find it by itself, is
// stopped); a port that cannot be opened is reported with the reason; a cable dropped in the
// middle of a write (after frame 11: the access code, the identification, six reads and two
// blocks) ends it with one message.
TEST_F(WindowEndToEnd, PortsThatAreMissingCannotBeOpenedOrGoAway) {
    openOnRadio(testImage(), {"--fault", "drop@11"});
    const std::vector<PresentPort> radioPort = ports.present;
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
    expectIdleWithThePortClosed();
    ports.present = radioPort;
    window->onPortRescan();
    EXPECT_EQ(status("statusPort"), "COM9: " + device);
    writeFile(path("loaded.bin"), dataFile());
    pickFile(window->loadButton(), path("loaded.bin"));
    EXPECT_EQ(clickForMessage(window->writeButton()), kPortLost);
    runEventLoopFor(std::chrono::milliseconds(200));
    EXPECT_EQ(notices.shown.size(), 1U);
    EXPECT_EQ(notices.shown.front().icon, NoticeIcon::Stop);
    expectIdleWithThePortClosed();
}

}  // namespace
}  // namespace qv::test
