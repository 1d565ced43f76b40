#pragma once

#include <array>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "link/AnswerTimer.h"
#include "link/Pause.h"
#include "link/SerialPort.h"
#include "link/TransferObserver.h"
#include "record/FieldCatalogue.h"
#include "record/FieldTexts.h"
#include "shell/Notices.h"

namespace qv::test {

// One record of everything the fakes were asked to do, in order.
using Journal = std::vector<std::string>;

class FakeSerialPort final : public SerialPort {
public:
    explicit FakeSerialPort(Journal& journal) : journal_(journal) {}

    void setDevice(const std::string&) override {}
    std::optional<std::string> open() override {
        journal_.push_back("open");
        opened = !openFailure;
        return openFailure;
    }
    void close() override {
        journal_.push_back("close");
        opened = false;
    }
    bool isOpen() const override { return opened; }
    void clearBuffers() override {}
    void setReceiveThreshold(int bytes) override { threshold = bytes; }
    bool write(const Frame& frame) override {
        journal_.push_back("write");
        written.push_back(frame);
        thresholds.push_back(threshold);
        return opened;
    }
    void setHandlers(ReceivedHandler received, LostHandler lost) override {
        received_ = std::move(received);
        lost_ = std::move(lost);
    }

    void deliver(const Frame& block) { received_(block); }
    void lose() {
        opened = false;
        lost_();
    }

    bool opened = false;
    std::optional<std::string> openFailure;
    int threshold = 0;
    std::vector<Frame> written;
    std::vector<int> thresholds;  // the threshold armed when each frame was written

private:
    Journal& journal_;
    ReceivedHandler received_;
    LostHandler lost_;
};

class FakeAnswerTimer final : public AnswerTimer {
public:
    void start() override { running = true; }
    void stop() override { running = false; }
    void setTickHandler(std::function<void()> tick) override { tick_ = std::move(tick); }

    // 500 ms pass without an answer.
    void expire() {
        if (running) {
            tick_();
        }
    }

    bool running = false;

private:
    std::function<void()> tick_;
};

class FakePause final : public Pause {
public:
    explicit FakePause(Journal& journal) : journal_(journal) {}
    void sleep(int milliseconds) override {
        durations.push_back(milliseconds);
        if (milliseconds > 10) {
            journal_.push_back("pause " + std::to_string(milliseconds));
        }
    }
    std::vector<int> durations;

private:
    Journal& journal_;
};

class FakeNotices final : public Notices {
public:
    explicit FakeNotices(Journal& journal) : journal_(journal) {}
    void show(const std::string& text, NoticeIcon icon) override {
        journal_.push_back("show " + text);
        shown.emplace_back(text, icon);
    }
    bool confirm(const std::string&) override { return true; }
    std::vector<std::pair<std::string, NoticeIcon>> shown;

private:
    Journal& journal_;
};

class FakeFieldTexts final : public FieldTexts {
public:
    std::string text(int field) const override { return texts.at(field); }
    void setText(int field, const std::string& text) override { texts.at(field) = text; }
    std::array<std::string, kFieldCount> texts;
};

class RecordingObserver final : public TransferObserver {
public:
    void blockStarted(bool writing, int block, int count) override {
        blocks.push_back({writing, block, count});
    }
    void radioIdentified(const std::string& m, const std::string& v) override {
        model = m;
        version = v;
    }
    void transferEnded() override { ++ended; }

    struct Block {
        bool writing;
        int block;
        int count;
        friend bool operator==(const Block&, const Block&) = default;
    };
    std::vector<Block> blocks;
    std::string model;
    std::string version;
    int ended = 0;
};

}  // namespace qv::test
