#pragma once

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QStringList>
#include <algorithm>
#include <string>

#include "SimulatedRadio.h"

namespace qv::test {

// The simulated radio as its own process on a pseudo-terminal, answering at once, with its
// memory kept in the image file and its frames in the log file.
class RadioProcess {
public:
    using Memory = sim::SimulatedRadio::Memory;

    RadioProcess(QString image, QString log) : image_(std::move(image)), log_(std::move(log)) {}
    ~RadioProcess() { stop(); }

    // The device of its line; empty when it did not start.
    std::string start(const QStringList& options = {}) {
        process_.setProgram(QStringLiteral(QV_RADIOSIM));
        process_.setArguments(QStringList{"--no-pace", "--image", image_, "--log", log_} + options);
        process_.start();
        if (!process_.waitForStarted(10'000) || !process_.waitForReadyRead(10'000)) {
            ADD_FAILURE() << "the simulated radio did not start";
            return {};
        }
        return process_.readLine().trimmed().toStdString();
    }

    void stop() {
        if (process_.state() != QProcess::NotRunning) {
            process_.terminate();
            process_.waitForFinished(10'000);
        }
    }

    // The radio saves its memory as it ends.
    Memory memoryAfterStop() {
        stop();
        const QByteArray saved = readAll(image_);
        Memory memory{};
        EXPECT_EQ(saved.size(), memory.size());
        std::copy_n(saved.constData(), std::min<qsizetype>(saved.size(), memory.size()),
                    memory.begin());
        return memory;
    }

    std::string log() const { return readAll(log_).toStdString(); }

private:
    static QByteArray readAll(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QString image_;
    QString log_;
    QProcess process_;
};

}  // namespace qv::test
