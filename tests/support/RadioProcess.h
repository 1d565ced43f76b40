#pragma once

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QStringList>
#include <algorithm>
#include <string>

#include "SimulatedRadio.h"

namespace qv::test {

inline QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void writeFile(const QString& path, const QByteArray& data) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(data) == data.size());
}

// The simulated radio as its own process on a pseudo-terminal, answering at once, with its
// memory kept in the image file and its frames in the log file.
class RadioProcess {
public:
    using Memory = sim::SimulatedRadio::Memory;

    RadioProcess(QString image, QString log) : image_(std::move(image)), log_(std::move(log)) {}
    ~RadioProcess() { stop(); }

    // The device of its line; empty when it did not start.
    std::string start(const QStringList& options = {}) {
        launch(options);
        return device();
    }
    // start() in two halves, so that many radios can start side by side.
    void launch(const QStringList& options) {
        process_.start(QStringLiteral(QV_RADIOSIM),
                       QStringList{"--no-pace", "--image", image_, "--log", log_} + options);
    }
    std::string device() {
        const bool started = process_.waitForStarted(10'000) && process_.waitForReadyRead(10'000);
        EXPECT_TRUE(started) << "the simulated radio did not start";
        return started ? process_.readLine().trimmed().toStdString() : "";
    }

    // The radio saves its memory as it ends.
    Memory memoryAfterStop() {
        stop();
        const QByteArray saved = readFile(image_);
        Memory memory{};
        EXPECT_EQ(saved.size(), memory.size());
        std::copy_n(saved.constData(), std::min<qsizetype>(saved.size(), memory.size()),
                    memory.begin());
        return memory;
    }

    std::string log() const { return readFile(log_).toStdString(); }
    qint64 pid() const { return process_.processId(); }
    // What it has printed since last asked: its log, when that goes to /dev/stdout.
    QByteArray output() { return process_.readAllStandardOutput(); }

private:
    void stop() {
        process_.terminate();
        process_.waitForFinished(10'000);
    }

    QString image_;
    QString log_;
    QProcess process_;
};

}  // namespace qv::test
