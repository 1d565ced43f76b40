// The whole tool through its window: the buttons and fields driven as a user would, the
// simulated radio on a real pseudo-terminal, the message boxes and file dialogs scripted.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <deque>
#include <span>

#include "tests/support/EventLoopWait.h"
#include "tests/support/LinkFakes.h"
#include "tests/support/RadioProcess.h"
#include "ShellFakes.h"
#include "SimulatedRadio.h"
#include "link/SerialPortAdapter.h"
#include "shell/Commands.h"

namespace qv {
namespace {

using namespace std::chrono_literals;
using Memory = sim::SimulatedRadio::Memory;
using Texts = std::vector<std::string>;

// Generous: the machine may be busy with other builds.
constexpr auto kAnswerWait = 15s;
constexpr char kNotLoaded[] = "The data file was not loaded.\n";
constexpr char kNotSaved[] = "The data file was not saved.\n";

// Answers the file dialog from a script and keeps what each showing asked for.
class ScriptedPicker : public FilePicker {
public:
    std::deque<std::optional<QString>> answers;
    std::vector<Request> requests;

    std::optional<QString> pick(const Request& request) override {
        requests.push_back(request);
        if (answers.empty()) {
            ADD_FAILURE() << "a file dialog nobody expected: " << request.title.toStdString();
            return std::nullopt;
        }
        std::optional<QString> answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

std::span<const std::uint8_t> asBytes(const QByteArray& data) {
    return {reinterpret_cast<const std::uint8_t*>(data.constData()),
            static_cast<std::size_t>(data.size())};
}

QByteArray asData(const Memory& memory) {
    return {reinterpret_cast<const char*>(memory.data()), static_cast<qsizetype>(memory.size())};
}

unsigned valueAt(std::span<const std::uint8_t> bytes, const FieldInfo& f) {
    return f.size == 1 ? bytes[f.offset] : bytes[f.offset] | bytes[f.offset + 1] << 8;
}

void putValue(std::span<std::uint8_t> bytes, const FieldInfo& f, unsigned value) {
    bytes[f.offset] = value & 0xFF;
    if (f.size == 2) {
        bytes[f.offset + 1] = value >> 8;
    }
}

unsigned shownValue(std::span<const std::uint8_t> bytes, const FieldInfo& f) {
    return std::min(valueAt(bytes, f), static_cast<unsigned>(f.rangeMax));
}

// What the 78 fields show for these bytes: each value, or the top of its field's range.
Texts shownFor(std::span<const std::uint8_t> bytes) {
    Texts texts;
    for (const FieldInfo& f : catalogue()) {
        texts.push_back(std::to_string(shownValue(bytes, f)));
    }
    return texts;
}

// The radio after a write of fields showing `file`: the sent fields from it, every other
// byte (read-only members, reserved bytes, the bytes past the record) the radio's own.
Memory writtenOver(Memory radio, const QByteArray& file) {
    for (const FieldInfo& f : catalogue()) {
        if (f.sent) {
            putValue(radio, f, shownValue(asBytes(file), f));
        }
    }
    return radio;
}

// A radio holding values the window must bend or keep (65535, close levels above 6), and
// distinct bytes where no field is, so a write that overwrites them shows.
Memory testImage() {
    Memory image = sim::builtInImage();
    putValue(image, fieldInfo(0), 0xFFFF);
    putValue(image, fieldInfo(20), 9);
    putValue(image, fieldInfo(26), 200);
    for (std::size_t i = 108; i < image.size(); ++i) {
        if (i < 114 || i >= FieldRecord::kSize) {
            image[i] = static_cast<std::uint8_t>(0xA0 + i % 16);
        }
    }
    return image;
}

// A data file whose values all differ from the radio's; field 0 at 65535.
QByteArray DataFile() {
    QByteArray data(FieldRecord::kSize, '\x17');
    data[0] = data[1] = '\xFF';
    return data;
}

void writeFile(const QString& path, const QByteArray& data) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(data);
}

class WindowEndToEnd : public testing::Test {
protected:
    // Starts the simulated radio with the test image and these options; its device.
    std::string startRadio(const QStringList& options = {}) {
        writeFile(path("radio.bin"), asData(testImage()));
        return radio.start(options);
    }

    // The window built as the app builds it, with these ports present, after its start-up.
    FrmMain& openWindow(std::vector<PresentPort> present) {
        shell.ports.present = std::move(present);
        FrmMain& window = shell.make();
        commands =
            std::make_unique<Commands>(window, CommandServices{port, pause, shell.notices, picker});
        window.Form_Load();
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
        shell.notices.shown.clear();  // the start-up reminder
        return window;
    }

    FrmMain& openWindowOnRadio(const QStringList& options = {}) {
        device = startRadio(options);
        return openWindow({test::port(9, device)});
    }

    FrmMain& window() { return *shell.window; }

    static void click(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

    // The first message since the last click; it ends a transfer.
    std::string outcome() {
        if (!test::waitUntil([&] { return !shell.notices.shown.empty(); }, kAnswerWait)) {
            return "no message; the radio's log:\n" + radio.log();
        }
        return shell.notices.shown.front().text;
    }

    std::string clickForMessage(QPushButton* button) {
        shell.notices.shown.clear();
        click(button);
        return outcome();
    }

    void loadFile(const QString& path) {
        picker.answers.push_back(path);
        click(window().loadButton());
    }

    // Loads DataFile(); its path.
    QString loadDataFile() {
        const QString path = this->path("loaded.bin");
        writeFile(path, DataFile());
        loadFile(path);
        return path;
    }

    void saveFile(const QString& path) {
        picker.answers.push_back(path);
        click(window().saveButton());
    }

    QLineEdit* box(int field) const {
        return shell.find<QLineEdit>(QStringLiteral("Text1_%1").arg(field));
    }

    // Replaces the field's text key by key, as a user does.
    void type(int field, const QString& text) const {
        box(field)->selectAll();
        QTest::keyClicks(box(field), text);
    }

    void erase(int field) const {
        box(field)->selectAll();
        QTest::keyClick(box(field), Qt::Key_Backspace);
    }

    Texts Shown() const {
        Texts texts;
        for (int i = 0; i < kFieldCount; ++i) {
            texts.push_back(box(i)->text().toStdString());
        }
        return texts;
    }

    std::string status(const char* section) const {
        return shell.find<QLabel>(section)->text().toStdString();
    }

    testing::AssertionResult progressShows(const std::string& text) {
        if (test::waitUntil([&] { return status("statusProgress") == text; }, kAnswerWait)) {
            return testing::AssertionSuccess();
        }
        return testing::AssertionFailure()
               << "the status line shows \"" << status("statusProgress") << "\"; the radio's log:\n"
               << radio.log();
    }

    void expectIdleWithThePortClosed() {
        EXPECT_EQ(commands->currentTransfer().state().TransferMode, kIdle);
        EXPECT_FALSE(port.isOpen());
        EXPECT_FALSE(window().waitTimer()->isActive());
        EXPECT_EQ(status("statusProgress"), "");
    }

    // Write says why it refuses before it asks anything, and nothing reaches the radio.
    void expectWriteRefusedNaming(int field) {
        const std::string message = clickForMessage(window().writeButton());
        EXPECT_TRUE(message.starts_with(std::string(kWriteStopped) + "\n")) << message;
        EXPECT_NE(message.find(describeField(field)), std::string::npos) << message;
        EXPECT_EQ(shell.notices.shown.front().icon, NoticeIcon::Stop);
        EXPECT_TRUE(shell.notices.asked.empty());
        expectIdleWithThePortClosed();
        EXPECT_EQ(radio.memoryAfterStop(), testImage());
        EXPECT_EQ(radio.log(), "");
    }

    QString path(const char* name) const { return shell.dir.filePath(name); }

    test::ShellFixture shell;
    test::RadioProcess radio{path("radio.bin"), path("radio.log")};
    std::string device;
    SerialPortAdapter port;
    test::Journal journal;
    test::FakePause pause{journal};
    ScriptedPicker picker;
    std::unique_ptr<Commands> commands;
};

TEST_F(WindowEndToEnd, ReadShowsTheRadiosMemoryInEveryField) {
    FrmMain& window = openWindowOnRadio();
    EXPECT_EQ(clickForMessage(window.readButton()), kReadComplete);
    EXPECT_EQ(shell.notices.asked, Texts{kReadQuestion});
    EXPECT_EQ(Shown(), shownFor(testImage()));
    EXPECT_EQ(box(0)->text(), "65535");
    EXPECT_EQ(box(20)->text(), "6");
    EXPECT_EQ(box(26)->text(), "6");
    EXPECT_EQ(std::ranges::count(pause.durations, kEndPauseMs), 1);
    test::runEventLoopFor(100ms);
    EXPECT_EQ(shell.notices.shown.size(), 1U);
    expectIdleWithThePortClosed();
}

TEST_F(WindowEndToEnd, WriteAfterReadSendsTheEditsAndTheShownCloseLevels) {
    FrmMain& window = openWindowOnRadio();
    ASSERT_EQ(clickForMessage(window.readButton()), kReadComplete);
    type(4, "4321");
    type(5, "12");

    EXPECT_EQ(clickForMessage(window.writeButton()), kWriteComplete);
    EXPECT_EQ(shell.notices.asked.back(), kWriteQuestion);
    Memory expected = testImage();
    putValue(expected, fieldInfo(4), 4321);
    putValue(expected, fieldInfo(5), 12);
    putValue(expected, fieldInfo(20), 6);
    putValue(expected, fieldInfo(26), 6);
    EXPECT_EQ(radio.memoryAfterStop(), expected);
}

TEST_F(WindowEndToEnd, WriteOfALoadedFileKeepsEveryByteNoSentFieldHolds) {
    FrmMain& window = openWindowOnRadio();
    loadDataFile();

    EXPECT_EQ(clickForMessage(window.writeButton()), kWriteComplete);
    EXPECT_EQ(radio.memoryAfterStop(), writtenOver(testImage(), DataFile()));
}

TEST_F(WindowEndToEnd, WriteWithTheFieldsOfAFreshStartIsRefused) {
    openWindowOnRadio();
    expectWriteRefusedNaming(0);
}

TEST_F(WindowEndToEnd, WriteWithAnEmptiedCloseLevelIsRefused) {
    openWindowOnRadio();
    loadDataFile();
    erase(20);
    ASSERT_EQ(box(20)->text(), "");
    expectWriteRefusedNaming(20);
}

TEST_F(WindowEndToEnd, ReadClickedDuringATransferStartsOver) {
    // Silent on block 3 (frame 5): the first read waits there when the second click comes.
    FrmMain& window = openWindowOnRadio({"--fault", "silence@5"});
    click(window.readButton());
    ASSERT_TRUE(progressShows("Reading block 3 of 8"));

    EXPECT_EQ(clickForMessage(window.readButton()), kReadComplete);
    EXPECT_EQ(shell.notices.asked, (Texts{kReadQuestion, kReadQuestion}));
    EXPECT_EQ(Shown(), shownFor(testImage()));
    // Longer than the answer time: the abandoned read must not speak up.
    test::runEventLoopFor(700ms);
    EXPECT_EQ(shell.notices.shown.size(), 1U);
    expectIdleWithThePortClosed();
}

struct QuestionCase {
    const char* name;
    QPushButton* (FrmMain::*button)() const;
    const char* question;
};

void PrintTo(const QuestionCase& c, std::ostream* out) {
    *out << c.name;
}

class CancelledQuestion : public WindowEndToEnd,
                          public testing::WithParamInterface<QuestionCase> {};

TEST_P(CancelledQuestion, SendsNothing) {
    FrmMain& window = openWindowOnRadio();
    loadDataFile();
    shell.notices.confirmAnswer = false;

    click((window.*GetParam().button)());
    EXPECT_EQ(shell.notices.asked, Texts{GetParam().question});
    EXPECT_TRUE(shell.notices.shown.empty());
    expectIdleWithThePortClosed();
    EXPECT_EQ(radio.memoryAfterStop(), testImage());
    EXPECT_EQ(radio.log(), "");
}

INSTANTIATE_TEST_SUITE_P(WindowEndToEnd, CancelledQuestion,
                         testing::Values(QuestionCase{"Read", &FrmMain::readButton, kReadQuestion},
                                         QuestionCase{"Write", &FrmMain::writeButton,
                                                      kWriteQuestion}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(WindowEndToEnd, SavedDataLoadsBackIntoEveryField) {
    FrmMain& window = openWindowOnRadio();
    ASSERT_EQ(clickForMessage(window.readButton()), kReadComplete);
    shell.notices.shown.clear();
    const Texts read = Shown();
    const QString path = this->path("backup.bin");

    saveFile(path);
    const QByteArray saved = test::readFile(path);
    EXPECT_EQ(saved.size(), FieldRecord::kSize);
    EXPECT_EQ(shownFor(asBytes(saved)), read);
    EXPECT_EQ(status("statusFile"), "Saved " + path.toStdString());

    type(0, "1");
    type(21, "2");
    loadFile(path);
    EXPECT_EQ(Shown(), read);
    EXPECT_EQ(status("statusFile"), "Loaded " + path.toStdString());
    EXPECT_TRUE(shell.notices.shown.empty());

    ASSERT_EQ(picker.requests.size(), 2U);
    EXPECT_EQ(picker.requests[0].kind, FilePicker::Kind::Save);
    EXPECT_EQ(picker.requests[0].title, "Save File");
    EXPECT_EQ(picker.requests[0].fileName, "");
    EXPECT_EQ(picker.requests[1].kind, FilePicker::Kind::Open);
    EXPECT_EQ(picker.requests[1].title, "Open File");
    EXPECT_EQ(picker.requests[1].fileName, path);
    for (const FilePicker::Request& request : picker.requests) {
        EXPECT_EQ(request.filter, "data file (*.bin)");
        EXPECT_EQ(request.defaultSuffix, "bin");
    }
}

TEST_F(WindowEndToEnd, SavingOverALongerFileKeepsItsTail) {
    openWindow({});
    const QString path = this->path("long.bin");
    const QByteArray original = DataFile() + QByteArray(82, '\x5A');
    writeFile(path, original);
    loadFile(path);
    type(4, "4321");

    saveFile(path);
    const QByteArray saved = test::readFile(path);
    ASSERT_EQ(saved.size(), 200);
    EXPECT_EQ(shownFor(asBytes(saved)), Shown());
    EXPECT_EQ(saved.mid(FieldRecord::kSize), original.mid(FieldRecord::kSize));
    EXPECT_TRUE(shell.notices.shown.empty());
}

TEST_F(WindowEndToEnd, CancelledDialogsChangeNothingAndSayNothing) {
    openWindow({});
    const QString path = loadDataFile();
    type(4, "4321");
    const Texts edited = Shown();
    picker.answers = {std::nullopt, std::nullopt};

    click(window().saveButton());
    click(window().loadButton());
    EXPECT_TRUE(shell.notices.shown.empty());
    EXPECT_EQ(Shown(), edited);
    EXPECT_EQ(test::readFile(path), DataFile());
    // The cancelled save cleared the name the load would have started with.
    EXPECT_EQ(picker.requests.back().fileName, "");
    EXPECT_EQ(status("statusFile"), "Loaded " + path.toStdString());
}

struct FileFailureCase {
    const char* name;
    bool saving;
    const char* file;
    QByteArray content;  // written to the file first, unless empty
    const char* message;
};

void PrintTo(const FileFailureCase& c, std::ostream* out) {
    *out << c.name;
}

class FailedFileCommand : public WindowEndToEnd,
                          public testing::WithParamInterface<FileFailureCase> {};

TEST_P(FailedFileCommand, SaysWhyAndChangesNothing) {
    const FileFailureCase& c = GetParam();
    openWindow({});
    const QString good = loadDataFile();
    const Texts before = Shown();
    const QString path = this->path(c.file);
    if (!c.content.isEmpty()) {
        writeFile(path, c.content);
    }

    if (c.saving) {
        saveFile(path);
    } else {
        loadFile(path);
    }
    ASSERT_EQ(shell.notices.shown.size(), 1U);
    const std::string message = shell.notices.shown.front().text;
    EXPECT_TRUE(message.starts_with(c.message)) << message;
    EXPECT_NE(message.find(path.toStdString()), std::string::npos) << message;
    EXPECT_EQ(shell.notices.shown.front().icon, NoticeIcon::Stop);
    EXPECT_EQ(Shown(), before);
    EXPECT_EQ(test::readFile(path), c.content);
    EXPECT_EQ(status("statusFile"), "Loaded " + good.toStdString());
}

INSTANTIATE_TEST_SUITE_P(
    WindowEndToEnd, FailedFileCommand,
    testing::Values(FileFailureCase{"ShortFile", false, "short.bin", DataFile().left(117),
                                    kNotLoaded},
                    FileFailureCase{"MissingFile", false, "missing.bin", {}, kNotLoaded},
                    FileFailureCase{"MissingFolder", true, "no-folder/saved.bin", {}, kNotSaved}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WindowEndToEnd, SaveWithAnEmptiedFieldNamesItAndWritesNoFile) {
    openWindow({});
    loadDataFile();
    erase(26);

    saveFile(path("saved.bin"));
    ASSERT_EQ(shell.notices.shown.size(), 1U);
    const std::string message = shell.notices.shown.front().text;
    EXPECT_TRUE(message.starts_with(kNotSaved)) << message;
    EXPECT_NE(message.find(describeField(26)), std::string::npos) << message;
    EXPECT_FALSE(QFile::exists(path("saved.bin")));
}

TEST_F(WindowEndToEnd, NoComPortUntilAClickFindsOne) {
    device = startRadio();
    FrmMain& window = openWindow({});
    EXPECT_EQ(status("statusPort"), "No port");
    // The re-scan would find the port by itself; here only the clicks may.
    shell.find<QTimer>("ReShowComPortTimer")->stop();

    EXPECT_EQ(clickForMessage(window.readButton()), kNoComPort);
    EXPECT_EQ(shell.notices.shown.front().icon, NoticeIcon::None);
    EXPECT_EQ(window.comPortNo(), 0);

    shell.ports.present = {test::port(9, device)};
    EXPECT_EQ(clickForMessage(window.readButton()), kNoComPort);
    EXPECT_EQ(window.comPortNo(), 9);
    EXPECT_EQ(clickForMessage(window.readButton()), kReadComplete);
    EXPECT_EQ(Shown(), shownFor(testImage()));
    EXPECT_EQ(status("statusPort"), "COM9: " + device);
}

TEST_F(WindowEndToEnd, PortThatCannotBeOpenedIsReportedWithTheReason) {
    FrmMain& window = openWindow({test::port(9, path("no-such-device").toStdString())});
    EXPECT_EQ(clickForMessage(window.readButton()),
              std::string(kCannotOpenPort) + "\nNo such device: is the cable plugged in?");
    EXPECT_EQ(shell.notices.shown.front().icon, NoticeIcon::Stop);
    expectIdleWithThePortClosed();
}

TEST_F(WindowEndToEnd, CableDroppedMidWriteEndsWithOneMessage) {
    // Frames 1..8 are the access code, the identification and six reads; 11 is block 3.
    FrmMain& window = openWindowOnRadio({"--fault", "drop@11"});
    loadDataFile();

    EXPECT_EQ(clickForMessage(window.writeButton()), kPortLost);
    test::runEventLoopFor(200ms);
    EXPECT_EQ(shell.notices.shown.size(), 1U);
    EXPECT_EQ(shell.notices.shown.front().icon, NoticeIcon::Stop);
    expectIdleWithThePortClosed();
}

TEST_F(WindowEndToEnd, StatusLineFollowsTheTransfers) {
    // The radio stays silent on block 3 of the read (frame 5) and on block 5 of the write
    // after it (frame 24: the read took 12 frames with its re-send), so each shows for a
    // whole answer time.
    FrmMain& window = openWindowOnRadio({"--fault", "silence@5", "--fault", "silence@24"});
    EXPECT_EQ(status("statusPort"), "COM9: " + device);

    click(window.readButton());
    EXPECT_TRUE(progressShows("Reading block 3 of 8"));
    EXPECT_EQ(outcome(), kReadComplete);
    EXPECT_EQ(status("statusProgress"), "");
    EXPECT_EQ(status("statusRadio"), "Radio QV-4120, version 01.02");

    shell.notices.shown.clear();
    click(window.writeButton());
    EXPECT_TRUE(progressShows("Writing block 5 of 8"));
    EXPECT_EQ(outcome(), kWriteComplete);
    EXPECT_EQ(status("statusProgress"), "");
}

}  // namespace
}  // namespace qv
