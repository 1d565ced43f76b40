// qv4120-cal as a process against the simulated radio on a pseudo-terminal.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "SimulatedRadio.h"
#include "tests/support/RadioProcess.h"

namespace qv {
namespace {

struct Ran {
    int code = -1;
    std::string out;
    std::string err;
};

using test::readFile;
using test::writeFile;

using Memory = sim::SimulatedRadio::Memory;

QByteArray dataFileOf(const Memory& memory) {
    return QByteArray(reinterpret_cast<const char*>(memory.data()), 118);
}

// The offsets of the two close levels, which take 0..6 though their bytes hold any value.
constexpr int kCloseLevels[] = {25, 35};

// Every run reads the settings file in the test's folder, which makes COM9 the first radio. The
// radio's first close level holds 7, which its field shows as 6.
class CommandLine : public testing::Test {
protected:
    void SetUp() override {
        image[kCloseLevels[0]] = 7;
        writeFile(dir.filePath("radio.bin"), QByteArray(reinterpret_cast<const char*>(image.data()),
                                                        static_cast<qsizetype>(image.size())));
        device = radio.start(radioOptions);
        writeFile(dir.filePath("mysetup.ini"),
                  "[ports]\nCOM9=" + QByteArray::fromStdString(device));
    }

    void start(QProcess& process, QStringList arguments) {
        arguments.replaceInStrings("{dev}", QString::fromStdString(device));
        arguments.replaceInStrings("{dir}", dir.path());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_DATA_HOME", dir.filePath("data"));
        environment.insert("XDG_RUNTIME_DIR", dir.filePath("runtime"));
        environment.insert("LC_ALL", locale);
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(QV_CAL),
                      QStringList{"--settings", dir.filePath("mysetup.ini")} + arguments);
    }

    static Ran finish(QProcess& process) {
        EXPECT_TRUE(process.waitForFinished(30'000));
        return {process.exitCode(), process.readAllStandardOutput().toStdString(),
                process.readAllStandardError().toStdString()};
    }

    Ran cal(const QStringList& arguments) {
        QProcess process;
        start(process, arguments);
        return finish(process);
    }

    QDir backups() const { return QDir(dir.filePath("data/qv4120-settestdata/backups")); }

    Memory imageWithCloseLevel6() const {
        Memory shown = image;
        shown[kCloseLevels[0]] = 6;
        return shown;
    }

    Memory image = sim::builtInImage();
    QStringList radioOptions;
    QString locale = "C.UTF-8";
    QTemporaryDir dir;
    test::RadioProcess radio{dir.filePath("radio.bin"), dir.filePath("radio.log")};
    std::string device;
};

// The read's document holds the close level as its field shows it, 6, and verify says the radio
// differs until a write sends it.
TEST_F(CommandLine, ReadShowAndVerify) {
    EXPECT_EQ(cal({"read", "--port", "COM9", "--output", "{dir}/read.json"}).code, 0);
    EXPECT_EQ(backups().entryList(QDir::Files).size(), 1);
    const Ran shown = cal({"show", "{dir}/read.json"});
    EXPECT_EQ(std::count(shown.out.begin(), shown.out.end(), '\n'), 78);
    EXPECT_EQ(shown.out.substr(0, shown.out.find('\n')),
              " 0  FREQ       VF FRQ                   1250");
    EXPECT_EQ(cal({"show", "--json", "{dir}/read.json"}).out,
              readFile(dir.filePath("read.json")).toStdString());
    const Ran before = cal({"verify", "-p", "COM9", "{dir}/read.json"});
    EXPECT_EQ(before.code, 1);
    EXPECT_EQ(before.out, "20 OTHER ***ASQ close level: file 6, radio 7\n");
}

// An edited document is written and verified; verify and diff name the fields it changed.
TEST_F(CommandLine, WriteAnEditedReadAndVerify) {
    EXPECT_EQ(cal({"read", "--port", "COM9", "--output", "{dir}/read.json"}).code, 0);
    QByteArray edited = readFile(dir.filePath("read.json"));
    edited.replace(R"("VF FRQ","value":1250)", R"("VF FRQ","value":1300)");
    edited.replace(R"("caption":"AF SQ 1","value":100)", R"("caption":"AF SQ 1","value":111)");
    writeFile(dir.filePath("edited.json"), edited);
    EXPECT_EQ(cal({"write", "--port", "9", "{dir}/edited.json", "--yes"}).code, 0);
    EXPECT_EQ(backups().entryList({"QV-4120_01.02_*_write.json"}, QDir::Files).size(), 1);
    const Ran verified = cal({"verify", "--port", "{dev}", "{dir}/read.json"});
    EXPECT_EQ(verified.code, 1);
    EXPECT_EQ(verified.out,
              "0 FREQ VF FRQ: file 1250, radio 1300\n"
              "60 S-Meter AF SQ 1: file 100, radio 111\n");
    const Ran diff = cal({"diff", "{dir}/read.json", "{dir}/edited.json"});
    EXPECT_EQ(diff.code, 1);
    EXPECT_EQ(diff.out, "0 FREQ VF FRQ: 1250 -> 1300\n60 S-Meter AF SQ 1: 100 -> 111\n");
}

// A write of the read's backup sends the close level as its field shows it, 6.
TEST_F(CommandLine, WriteTheReadsBackup) {
    EXPECT_EQ(cal({"read", "--port", "COM9", "--output", "{dir}/read.json"}).code, 0);
    const QStringList kept = backups().entryList({"*_read.json"}, QDir::Files);
    ASSERT_EQ(kept.size(), 1);
    EXPECT_EQ(cal({"write", "--yes", "-p", "COM9", backups().filePath(kept.front())}).code, 0);
    EXPECT_EQ(radio.memoryAfterStop(), imageWithCloseLevel6());
}

// A file whose read-only values differ from the radio's is written and verified, since no write
// sends them; both say so.
TEST_F(CommandLine, ReadOnlyValuesStayTheRadios) {
    EXPECT_EQ(cal({"read", "--port", "COM9", "--output", "{dir}/read.json"}).code, 0);
    QByteArray other = readFile(dir.filePath("read.json"));
    other.replace(R"("SSIB LO","value":20)", R"("SSIB LO","value":21)");
    writeFile(dir.filePath("other.json"), other);
    const Ran written = cal({"write", "--yes", "-p", "COM9", "{dir}/other.json"});
    EXPECT_EQ(written.code, 0);
    EXPECT_NE(written.err.find("SSIB LO: 20 (the file holds 21)."), std::string::npos)
        << written.err;
    const Ran again = cal({"verify", "-p", "COM9", "{dir}/other.json"});
    EXPECT_EQ(again.code, 0);
    EXPECT_EQ(again.out, "");
    EXPECT_NE(again.err.find("SSIB LO: 20 (the file holds 21)"), std::string::npos) << again.err;
    EXPECT_EQ(radio.memoryAfterStop(), imageWithCloseLevel6());
}

// Messages are Chinese in a Chinese (China) locale only, a file's error with its headline;
// results, for scripts, stay as they are.
struct Said {
    const char* locale;
    const char* portSaid;
    const char* fileSaid;
};

void PrintTo(const Said& said, std::ostream* out) {
    *out << said.locale;
}

class Messages : public CommandLine, public testing::WithParamInterface<Said> {};

TEST_P(Messages, FollowTheLocale) {
    locale = GetParam().locale;
    EXPECT_NE(cal({"identify", "--port", "COM77"}).err.find(GetParam().portSaid),
              std::string::npos);
    EXPECT_TRUE(cal({"show", "{dir}/missing.json"}).err.starts_with(GetParam().fileSaid));
    const Ran identified = cal({"identify", "--port", "COM9"});
    EXPECT_EQ(identified.out, "model: QV-4120\nversion: 01.02\n");
    EXPECT_EQ(identified.err, "");
}

INSTANTIATE_TEST_SUITE_P(InEachLocale, Messages,
                         testing::Values(Said{"zh_CN.UTF-8", "无法打开 COM77：没有这个端口",
                                              "qv4120-cal: 数据文件未载入。\n"},
                                         Said{"zh_TW.UTF-8", "Cannot open COM77: no such port",
                                              "qv4120-cal: The data file was not loaded.\n"}));

// The rest after the result is counted down on one line of a terminal, from its first second,
// and cleared at its end (elsewhere nothing is said of it: above).
TEST_F(CommandLine, TheRestIsCountedOnATerminal) {
    QProcess onTerminal;
    onTerminal.start("script", {"-qec",
                                QString("'%1' --settings '%2' identify -p COM9")
                                    .arg(QStringLiteral(QV_CAL), dir.filePath("mysetup.ini")),
                                "/dev/null"});
    const std::string shown = finish(onTerminal).out;
    EXPECT_NE(shown.find("01.02\r\n\r\033[KThe radio rests: 3 s\r\033[KThe radio rests: 2 s"),
              std::string::npos)
        << shown;
    EXPECT_TRUE(shown.ends_with("1 s\r\033[K")) << shown;
}

// Two radios read at once; a data file converted to a document (named in Chinese) and back keeps
// every byte.
TEST_F(CommandLine, TwoRadiosAreReadAtOnceAndConverted) {
    QByteArray second(128, '\0');
    for (int i = 0; i < second.size(); ++i) {
        second[i] = static_cast<char>(i);
    }
    writeFile(dir.filePath("second.bin"), second);
    test::RadioProcess secondRadio{dir.filePath("second.bin"), dir.filePath("second.log")};
    const QString secondDevice = QString::fromStdString(secondRadio.start());
    QProcess first;
    QProcess other;
    start(first, {"read", "--port", "COM9", "--output", "{dir}/first-read.bin"});
    start(other, {"read", "--port", secondDevice, "--output", "{dir}/second-read.bin"});
    EXPECT_EQ(finish(first).code, 0);
    EXPECT_EQ(finish(other).code, 0);
    image[kCloseLevels[0]] = second[kCloseLevels[0]] = second[kCloseLevels[1]] = 6;
    EXPECT_EQ(readFile(dir.filePath("first-read.bin")), dataFileOf(image));
    EXPECT_EQ(readFile(dir.filePath("second-read.bin")), second.left(118));
    // A name in any script is the file's name.
    EXPECT_EQ(cal({"convert", "{dir}/second-read.bin", "{dir}/第二.json"}).code, 0);
    EXPECT_EQ(cal({"convert", "{dir}/第二.json", "{dir}/again.bin"}).code, 0);
    EXPECT_EQ(readFile(dir.filePath("again.bin")), second.left(118));
    EXPECT_EQ(cal({"diff", "{dir}/second-read.bin", "{dir}/第二.json"}).code, 0);
}

// A settings file that is a loop of links is said to be one.
TEST_F(CommandLine, ASettingsLinkLoopIsSaidToBeOne) {
    ASSERT_TRUE(QFile::remove(dir.filePath("mysetup.ini")));
    ASSERT_TRUE(QFile::link("loop.ini", dir.filePath("mysetup.ini")));
    ASSERT_TRUE(QFile::link("mysetup.ini", dir.filePath("loop.ini")));
    const Ran looped = cal({"identify", "--port", "COM9"});
    EXPECT_EQ(looped.code, 6);
    EXPECT_NE(looped.err.find("Too many levels of symbolic links"), std::string::npos)
        << looped.err;
}

// A port another program holds is refused under any of its names, naming the holder on a line
// of its own; the radio hears nothing.
TEST_F(CommandLine, AHeldPortIsRefusedNamingItsHolders) {
    QProcess holder;
    holder.setStandardInputFile(QString::fromStdString(device));
    holder.start("sleep", {"30"});
    ASSERT_TRUE(holder.waitForStarted());
    const QString link = dir.filePath("by-id");
    ASSERT_TRUE(QFile::link(QString::fromStdString(device), link));
    const std::string said = "The port is busy; the programs that hold it:\n  sleep (process " +
                             std::to_string(holder.processId()) + ")\n";
    for (const QString& port : {QString::fromStdString(device).mid(5), link}) {
        const Ran run = cal({"identify", "--port", port});
        if (run.err.find("Not every program could be checked") != std::string::npos) {
            GTEST_SKIP() << "the machine is too busy to look at every program in time";
        }
        EXPECT_EQ(run.code, 3);
        EXPECT_NE(run.err.find(said), std::string::npos) << run.err;
    }
    EXPECT_EQ(radio.log().find(" <- "), std::string::npos);
    holder.kill();
    holder.waitForFinished();
}

// A run and the radio's options, each split at spaces, the exit code, standard output, a part
// of standard error, and how many frames the radio received. No standard output given: not
// compared.
struct Case {
    const char* arguments;
    const char* radioOptions;
    int code;
    const char* out;
    const char* err;
    int frames;
};

void PrintTo(const Case& c, std::ostream* out) {
    *out << c.arguments << " / " << c.radioOptions;
}

class ExitCodes : public CommandLine, public testing::WithParamInterface<Case> {
protected:
    void SetUp() override {
        radioOptions = QString(GetParam().radioOptions).split(' ', Qt::SkipEmptyParts);
        CommandLine::SetUp();
        writeFile(dir.filePath("plain.bin"), dataFileOf(sim::builtInImage()));
        // A close level of 9 put in a document by hand: a value the field does not take.
        ASSERT_EQ(cal({"convert", "{dir}/plain.bin", "{dir}/plain.json"}).code, 0);
        QString closeLevel9 = QString::fromUtf8(readFile(dir.filePath("plain.json")));
        closeLevel9.replace(QRegularExpression(R"((?<="\*\*\*ASQ close level","value":)\d+)"), "9");
        writeFile(dir.filePath("close9.json"), closeLevel9.toUtf8());
    }
};

TEST_P(ExitCodes, SaySoAndTouchTheRadioOnlyWhenDue) {
    const Case& c = GetParam();
    const Ran run = cal(QString(c.arguments).split(' '));
    EXPECT_EQ(run.code, c.code) << run.err;
    EXPECT_TRUE(c.out == nullptr || run.out == c.out) << run.out;
    EXPECT_NE(run.err.find(c.err), std::string::npos) << run.err;
    const std::string log = radio.log();
    int frames = 0;
    for (auto at = log.find(" <- "); at != std::string::npos; at = log.find(" <- ", at + 1)) {
        ++frames;
    }
    EXPECT_EQ(frames, c.frames) << log;
}

INSTANTIATE_TEST_SUITE_P(
    All, ExitCodes,
    testing::Values(
        Case{"--trace identify --port 9", "--fault silence@2", 0,
             "model: QV-4120\nversion: 01.02\n", "-> 45 4E 44", 5},
        Case{"show", "", 2, "", "FILE is required", 0},
        Case{"write --port {dev} {dir}/plain.bin", "", 2, "", "add --yes", 0},
        Case{"identify --port {dir}/gone", "", 3, "", "/gone: No such device", 0},
        Case{"identify --port ", "", 3, "", "Cannot Open Communication Port.\n  No port given.", 0},
        Case{"identify -p {dev}", "--fault silence@1-20", 4, "", "not answer", 4},
        Case{"write -y -p {dev} {dir}/plain.bin", "--fault drop@12", 4, "",
             "The write stopped at block 2 of 8: the radio may hold part of the new data.", 12},
        Case{"--model OTHER identify --port COM9", "", 5, "",
             "is QV-4120 (version 01.02), not OTHER.", 2},
        Case{"show {dir}/missing.json", "", 6, "", "missing.json\": No such file", 0},
        Case{"convert {dir}/missing.json {dir}/out.txt", "", 2, "",
             "out.txt\": name a data file (.bin) or a calibration document (.json).", 0},
        Case{"write --yes --port {dev} {dir}/close9.json", "", 7, "",
             "Nothing was written to the radio.\n  The field 20 \"***ASQ close level\" on "
             "page \"OTHER\" holds 9, outside its range 0 to 6.",
             0},
        // A radio that forgets what it is written: the read-back says so, or says it is left out.
        Case{"write -y -p {dev} {dir}/plain.bin", "--forget", 8, "",
             "The radio did not keep what was written.\n  20 OTHER ***ASQ close level: written ",
             30},
        Case{"write -y --no-read-back -p {dev} {dir}/plain.bin", "--forget", 0, nullptr,
             "was not checked", 19}));

}  // namespace
}  // namespace qv
