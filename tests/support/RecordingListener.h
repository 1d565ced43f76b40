#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "link/TransferListener.h"
#include "tests/support/Journal.h"

namespace qv::test {

// Notes what a transfer reports: its outcomes in the journal too, by name, and `atOutcome`
// runs as each outcome comes, to look at the world at that moment.
class RecordingListener final : public TransferListener {
public:
    explicit RecordingListener(Journal& journal) : journal_(journal) {}

    void onBlockStarted(TransferKind kind, int block, int count) override {
        progress.push_back((kind == TransferKind::Write ? "W" : "R") + std::to_string(block) + "/" +
                           std::to_string(count));
    }
    void onIdentified(const Identification& radio) override {
        identified.push_back(radio.model + " " + radio.version);
    }
    void onReadCompleted(const CalibrationRecord& read) override {
        image = read;
        outcome("read completed");
    }
    void onWriteCompleted() override { outcome("write completed"); }
    void onFailed(const TransferFailure& failed) override {
        constexpr std::array kNames{"PortUnavailable", "NoAnswer",   "ReopenFailed",
                                    "PortLost",        "WrongModel", "InvalidField"};
        failure = failed;
        outcome(kNames.at(static_cast<std::size_t>(failed.kind)));
    }

    std::vector<std::string> progress;
    std::vector<std::string> identified;
    std::vector<std::string> outcomes;
    CalibrationRecord image;
    TransferFailure failure;
    std::function<void()> atOutcome;

private:
    void outcome(const std::string& name) {
        if (atOutcome) {
            atOutcome();
        }
        outcomes.push_back(name);
        journal_.push_back(name);
    }

    Journal& journal_;
};

}  // namespace qv::test
