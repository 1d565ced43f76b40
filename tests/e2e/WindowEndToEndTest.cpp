// The whole tool through its window: the buttons and fields driven as a user would, the
// simulated radio on a real pseudo-terminal, the message boxes and file dialogs scripted.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <deque>
#include <span>

#include "EventLoopWait.h"
#include "LinkFakes.h"
#include "RadioProcess.h"
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

    std::optional<QString> Pick(const Request& request) override {
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

std::span<const std::uint8_t> AsBytes(const QByteArray& data) {
    return {reinterpret_cast<const std::uint8_t*>(data.constData()),
            static_cast<std::size_t>(data.size())};
}

QByteArray AsData(const Memory& memory) {
    return {reinterpret_cast<const char*>(memory.data()), static_cast<qsizetype>(memory.size())};
}

unsigned ValueAt(std::span<const std::uint8_t> bytes, const FieldInfo& f) {
    return f.size == 1 ? bytes[f.offset] : bytes[f.offset] | bytes[f.offset + 1] << 8;
}

void PutValue(std::span<std::uint8_t> bytes, const FieldInfo& f, unsigned value) {
    bytes[f.offset] = value & 0xFF;
    if (f.size == 2) {
        bytes[f.offset + 1] = value >> 8;
    }
}

unsigned ShownValue(std::span<const std::uint8_t> bytes, const FieldInfo& f) {
    return std::min(ValueAt(bytes, f), static_cast<unsigned>(f.rangeMax));
}

// What the 78 fields show for these bytes: each value, or the top of its field's range.
Texts ShownFor(std::span<const std::uint8_t> bytes) {
    Texts texts;
    for (const FieldInfo& f : Catalogue()) {
        texts.push_back(std::to_string(ShownValue(bytes, f)));
    }
    return texts;
}

// The radio after a write of fields showing `file`: the sent fields from it, every other
// byte (read-only members, reserved bytes, the bytes past the record) the radio's own.
Memory WrittenOver(Memory radio, const QByteArray& file) {
    for (const FieldInfo& f : Catalogue()) {
        if (f.sent) {
            PutValue(radio, f, ShownValue(AsBytes(file), f));
        }
    }
    return radio;
}

// A radio holding values the window must bend or keep (65535, close levels above 6), and
// distinct bytes where no field is, so a write that overwrites them shows.
Memory TestImage() {
    Memory image = sim::BuiltInImage();
    PutValue(image, Field(0), 0xFFFF);
    PutValue(image, Field(20), 9);
    PutValue(image, Field(26), 200);
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

void WriteFile(const QString& path, const QByteArray& data) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(data);
}

class WindowEndToEnd : public testing::Test {
protected:
    // Starts the simulated radio with the test image and these options; its device.
    std::string StartRadio(const QStringList& options = {}) {
        WriteFile(Path("radio.bin"), AsData(TestImage()));
        return radio.Start(options);
    }

    // The window built as the app builds it, with these ports present, after its start-up.
    FrmMain& OpenWindow(std::vector<PresentPort> present) {
        shell.ports.present = std::move(present);
        FrmMain& window = shell.Make();
        commands =
            std::make_unique<Commands>(window, CommandServices{port, pause, shell.notices, picker});
        window.Form_Load();
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
        shell.notices.shown.clear();  // the start-up reminder
        return window;
    }

    FrmMain& OpenWindowOnRadio(const QStringList& options = {}) {
        device = StartRadio(options);
        return OpenWindow({test::Port(9, device)});
    }

    FrmMain& Window() { return *shell.window; }

    static void Click(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

    // The first message since the last click; it ends a transfer.
    std::string Outcome() {
        if (!test::WaitUntil([&] { return !shell.notices.shown.empty(); }, kAnswerWait)) {
            return "no message; the radio's log:\n" + radio.Log();
        }
        return shell.notices.shown.front().text;
    }

    std::string ClickForMessage(QPushButton* button) {
        shell.notices.shown.clear();
        Click(button);
        return Outcome();
    }

    void LoadFile(const QString& path) {
        picker.answers.push_back(path);
        Click(Window().LoadButton());
    }

    // Loads DataFile(); its path.
    QString LoadDataFile() {
        const QString path = Path("loaded.bin");
        WriteFile(path, DataFile());
        LoadFile(path);
        return path;
    }

    void SaveFile(const QString& path) {
        picker.answers.push_back(path);
        Click(Window().SaveButton());
    }

    QLineEdit* Box(int field) const {
        return shell.Find<QLineEdit>(QStringLiteral("Text1_%1").arg(field));
    }

    // Replaces the field's text key by key, as a user does.
    void Type(int field, const QString& text) const {
        Box(field)->selectAll();
        QTest::keyClicks(Box(field), text);
    }

    void Erase(int field) const {
        Box(field)->selectAll();
        QTest::keyClick(Box(field), Qt::Key_Backspace);
    }

    Texts Shown() const {
        Texts texts;
        for (int i = 0; i < kFieldCount; ++i) {
            texts.push_back(Box(i)->text().toStdString());
        }
        return texts;
    }

    std::string Status(const char* section) const {
        return shell.Find<QLabel>(section)->text().toStdString();
    }

    testing::AssertionResult ProgressShows(const std::string& text) {
        if (test::WaitUntil([&] { return Status("statusProgress") == text; }, kAnswerWait)) {
            return testing::AssertionSuccess();
        }
        return testing::AssertionFailure()
               << "the status line shows \"" << Status("statusProgress") << "\"; the radio's log:\n"
               << radio.Log();
    }

    void ExpectIdleWithThePortClosed() {
        EXPECT_EQ(commands->CurrentTransfer().State().TransferMode, kIdle);
        EXPECT_FALSE(port.IsOpen());
        EXPECT_FALSE(Window().WaitTimer()->isActive());
        EXPECT_EQ(Status("statusProgress"), "");
    }

    // Write says why it refuses before it asks anything, and nothing reaches the radio.
    void ExpectWriteRefusedNaming(int field) {
        const std::string message = ClickForMessage(Window().WriteButton());
        EXPECT_TRUE(message.starts_with(std::string(kWriteStopped) + "\n")) << message;
        EXPECT_NE(message.find(DescribeField(field)), std::string::npos) << message;
        EXPECT_EQ(shell.notices.shown.front().icon, NoticeIcon::Stop);
        EXPECT_TRUE(shell.notices.asked.empty());
        ExpectIdleWithThePortClosed();
        EXPECT_EQ(radio.MemoryAfterStop(), TestImage());
        EXPECT_EQ(radio.Log(), "");
    }

    QString Path(const char* name) const { return shell.dir.filePath(name); }

    test::ShellFixture shell;
    test::RadioProcess radio{Path("radio.bin"), Path("radio.log")};
    std::string device;
    SerialPortAdapter port;
    test::Journal journal;
    test::FakePause pause{journal};
    ScriptedPicker picker;
    std::unique_ptr<Commands> commands;
};

TEST_F(WindowEndToEnd, ReadShowsTheRadiosMemoryInEveryField) {
    FrmMain& window = OpenWindowOnRadio();
    EXPECT_EQ(ClickForMessage(window.ReadButton()), kReadComplete);
    EXPECT_EQ(shell.notices.asked, Texts{kReadQuestion});
    EXPECT_EQ(Shown(), ShownFor(TestImage()));
    EXPECT_EQ(Box(0)->text(), "65535");
    EXPECT_EQ(Box(20)->text(), "6");
    EXPECT_EQ(Box(26)->text(), "6");
    EXPECT_EQ(std::ranges::count(pause.durations, kEndPauseMs), 1);
    test::RunEventLoopFor(100ms);
    EXPECT_EQ(shell.notices.shown.size(), 1U);
    ExpectIdleWithThePortClosed();
}

TEST_F(WindowEndToEnd, WriteAfterReadSendsTheEditsAndTheShownCloseLevels) {
    FrmMain& window = OpenWindowOnRadio();
    ASSERT_EQ(ClickForMessage(window.ReadButton()), kReadComplete);
    Type(4, "4321");
    Type(5, "12");

    EXPECT_EQ(ClickForMessage(window.WriteButton()), kWriteComplete);
    EXPECT_EQ(shell.notices.asked.back(), kWriteQuestion);
    Memory expected = TestImage();
    PutValue(expected, Field(4), 4321);
    PutValue(expected, Field(5), 12);
    PutValue(expected, Field(20), 6);
    PutValue(expected, Field(26), 6);
    EXPECT_EQ(radio.MemoryAfterStop(), expected);
}

TEST_F(WindowEndToEnd, WriteOfALoadedFileKeepsEveryByteNoSentFieldHolds) {
    FrmMain& window = OpenWindowOnRadio();
    LoadDataFile();

    EXPECT_EQ(ClickForMessage(window.WriteButton()), kWriteComplete);
    EXPECT_EQ(radio.MemoryAfterStop(), WrittenOver(TestImage(), DataFile()));
}

TEST_F(WindowEndToEnd, WriteWithTheFieldsOfAFreshStartIsRefused) {
    OpenWindowOnRadio();
    ExpectWriteRefusedNaming(0);
}

TEST_F(WindowEndToEnd, WriteWithAnEmptiedCloseLevelIsRefused) {
    OpenWindowOnRadio();
    LoadDataFile();
    Erase(20);
    ASSERT_EQ(Box(20)->text(), "");
    ExpectWriteRefusedNaming(20);
}

TEST_F(WindowEndToEnd, ReadClickedDuringATransferStartsOver) {
    // Silent on block 3 (frame 5): the first read waits there when the second click comes.
    FrmMain& window = OpenWindowOnRadio({"--fault", "silence@5"});
    Click(window.ReadButton());
    ASSERT_TRUE(ProgressShows("Reading block 3 of 8"));

    EXPECT_EQ(ClickForMessage(window.ReadButton()), kReadComplete);
    EXPECT_EQ(shell.notices.asked, (Texts{kReadQuestion, kReadQuestion}));
    EXPECT_EQ(Shown(), ShownFor(TestImage()));
    // Longer than the answer time: the abandoned read must not speak up.
    test::RunEventLoopFor(700ms);
    EXPECT_EQ(shell.notices.shown.size(), 1U);
    ExpectIdleWithThePortClosed();
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
    FrmMain& window = OpenWindowOnRadio();
    LoadDataFile();
    shell.notices.confirmAnswer = false;

    Click((window.*GetParam().button)());
    EXPECT_EQ(shell.notices.asked, Texts{GetParam().question});
    EXPECT_TRUE(shell.notices.shown.empty());
    ExpectIdleWithThePortClosed();
    EXPECT_EQ(radio.MemoryAfterStop(), TestImage());
    EXPECT_EQ(radio.Log(), "");
}

INSTANTIATE_TEST_SUITE_P(WindowEndToEnd, CancelledQuestion,
                         testing::Values(QuestionCase{"Read", &FrmMain::ReadButton, kReadQuestion},
                                         QuestionCase{"Write", &FrmMain::WriteButton,
                                                      kWriteQuestion}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(WindowEndToEnd, SavedDataLoadsBackIntoEveryField) {
    FrmMain& window = OpenWindowOnRadio();
    ASSERT_EQ(ClickForMessage(window.ReadButton()), kReadComplete);
    shell.notices.shown.clear();
    const Texts read = Shown();
    const QString path = Path("backup.bin");

    SaveFile(path);
    const QByteArray saved = test::ReadFile(path);
    EXPECT_EQ(saved.size(), FieldRecord::kSize);
    EXPECT_EQ(ShownFor(AsBytes(saved)), read);
    EXPECT_EQ(Status("statusFile"), "Saved " + path.toStdString());

    Type(0, "1");
    Type(21, "2");
    LoadFile(path);
    EXPECT_EQ(Shown(), read);
    EXPECT_EQ(Status("statusFile"), "Loaded " + path.toStdString());
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
    OpenWindow({});
    const QString path = Path("long.bin");
    const QByteArray original = DataFile() + QByteArray(82, '\x5A');
    WriteFile(path, original);
    LoadFile(path);
    Type(4, "4321");

    SaveFile(path);
    const QByteArray saved = test::ReadFile(path);
    ASSERT_EQ(saved.size(), 200);
    EXPECT_EQ(ShownFor(AsBytes(saved)), Shown());
    EXPECT_EQ(saved.mid(FieldRecord::kSize), original.mid(FieldRecord::kSize));
    EXPECT_TRUE(shell.notices.shown.empty());
}

TEST_F(WindowEndToEnd, CancelledDialogsChangeNothingAndSayNothing) {
    OpenWindow({});
    const QString path = LoadDataFile();
    Type(4, "4321");
    const Texts edited = Shown();
    picker.answers = {std::nullopt, std::nullopt};

    Click(Window().SaveButton());
    Click(Window().LoadButton());
    EXPECT_TRUE(shell.notices.shown.empty());
    EXPECT_EQ(Shown(), edited);
    EXPECT_EQ(test::ReadFile(path), DataFile());
    // The cancelled save cleared the name the load would have started with.
    EXPECT_EQ(picker.requests.back().fileName, "");
    EXPECT_EQ(Status("statusFile"), "Loaded " + path.toStdString());
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
    OpenWindow({});
    const QString good = LoadDataFile();
    const Texts before = Shown();
    const QString path = Path(c.file);
    if (!c.content.isEmpty()) {
        WriteFile(path, c.content);
    }

    if (c.saving) {
        SaveFile(path);
    } else {
        LoadFile(path);
    }
    ASSERT_EQ(shell.notices.shown.size(), 1U);
    const std::string message = shell.notices.shown.front().text;
    EXPECT_TRUE(message.starts_with(c.message)) << message;
    EXPECT_NE(message.find(path.toStdString()), std::string::npos) << message;
    EXPECT_EQ(shell.notices.shown.front().icon, NoticeIcon::Stop);
    EXPECT_EQ(Shown(), before);
    EXPECT_EQ(test::ReadFile(path), c.content);
    EXPECT_EQ(Status("statusFile"), "Loaded " + good.toStdString());
}

INSTANTIATE_TEST_SUITE_P(
    WindowEndToEnd, FailedFileCommand,
    testing::Values(FileFailureCase{"ShortFile", false, "short.bin", DataFile().left(117),
                                    kNotLoaded},
                    FileFailureCase{"MissingFile", false, "missing.bin", {}, kNotLoaded},
                    FileFailureCase{"MissingFolder", true, "no-folder/saved.bin", {}, kNotSaved}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WindowEndToEnd, SaveWithAnEmptiedFieldNamesItAndWritesNoFile) {
    OpenWindow({});
    LoadDataFile();
    Erase(26);

    SaveFile(Path("saved.bin"));
    ASSERT_EQ(shell.notices.shown.size(), 1U);
    const std::string message = shell.notices.shown.front().text;
    EXPECT_TRUE(message.starts_with(kNotSaved)) << message;
    EXPECT_NE(message.find(DescribeField(26)), std::string::npos) << message;
    EXPECT_FALSE(QFile::exists(Path("saved.bin")));
}

TEST_F(WindowEndToEnd, NoComPortUntilAClickFindsOne) {
    device = StartRadio();
    FrmMain& window = OpenWindow({});
    EXPECT_EQ(Status("statusPort"), "No port");
    // The re-scan would find the port by itself; here only the clicks may.
    shell.Find<QTimer>("ReShowComPortTimer")->stop();

    EXPECT_EQ(ClickForMessage(window.ReadButton()), kNoComPort);
    EXPECT_EQ(shell.notices.shown.front().icon, NoticeIcon::None);
    EXPECT_EQ(window.ComPortNo(), 0);

    shell.ports.present = {test::Port(9, device)};
    EXPECT_EQ(ClickForMessage(window.ReadButton()), kNoComPort);
    EXPECT_EQ(window.ComPortNo(), 9);
    EXPECT_EQ(ClickForMessage(window.ReadButton()), kReadComplete);
    EXPECT_EQ(Shown(), ShownFor(TestImage()));
    EXPECT_EQ(Status("statusPort"), "COM9: " + device);
}

TEST_F(WindowEndToEnd, PortThatCannotBeOpenedIsReportedWithTheReason) {
    FrmMain& window = OpenWindow({test::Port(9, Path("no-such-device").toStdString())});
    EXPECT_EQ(ClickForMessage(window.ReadButton()),
              std::string(kCannotOpenPort) + "\nNo such device: is the cable plugged in?");
    EXPECT_EQ(shell.notices.shown.front().icon, NoticeIcon::Stop);
    ExpectIdleWithThePortClosed();
}

TEST_F(WindowEndToEnd, CableDroppedMidWriteEndsWithOneMessage) {
    // Frames 1..8 are the access code, the identification and six reads; 11 is block 3.
    FrmMain& window = OpenWindowOnRadio({"--fault", "drop@11"});
    LoadDataFile();

    EXPECT_EQ(ClickForMessage(window.WriteButton()), kPortLost);
    test::RunEventLoopFor(200ms);
    EXPECT_EQ(shell.notices.shown.size(), 1U);
    EXPECT_EQ(shell.notices.shown.front().icon, NoticeIcon::Stop);
    ExpectIdleWithThePortClosed();
}

TEST_F(WindowEndToEnd, StatusLineFollowsTheTransfers) {
    // The radio stays silent on block 3 of the read (frame 5) and on block 5 of the write
    // after it (frame 24: the read took 12 frames with its re-send), so each shows for a
    // whole answer time.
    FrmMain& window = OpenWindowOnRadio({"--fault", "silence@5", "--fault", "silence@24"});
    EXPECT_EQ(Status("statusPort"), "COM9: " + device);

    Click(window.ReadButton());
    EXPECT_TRUE(ProgressShows("Reading block 3 of 8"));
    EXPECT_EQ(Outcome(), kReadComplete);
    EXPECT_EQ(Status("statusProgress"), "");
    EXPECT_EQ(Status("statusRadio"), "Radio QV-4120, version 01.02");

    shell.notices.shown.clear();
    Click(window.WriteButton());
    EXPECT_TRUE(ProgressShows("Writing block 5 of 8"));
    EXPECT_EQ(Outcome(), kWriteComplete);
    EXPECT_EQ(Status("statusProgress"), "");
}

}  // namespace
}  // namespace qv
