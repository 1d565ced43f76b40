#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "link/TransferListener.h"

namespace qv::test {

// Notes in the journal what a transfer reports ("R1/8", "QV-4120 01.02", "read completed",
// "WrongModel QV-9999"), and its outcomes apart; `atOutcome` runs as each outcome comes.
class RecordingListener final : public TransferListener {
public:
    explicit RecordingListener(std::vector<std::string>& journal) : journal_(journal) {}

    void onBlockStarted(TransferKind kind, int block, int count) override {
        journal_.push_back((kind == TransferKind::Write ? "W" : "R") + std::to_string(block) + "/" +
                           std::to_string(count));
    }
    void onIdentified(const Identification& radio) override {
        journal_.push_back(radio.model + " " + radio.version);
    }
    void onReadCompleted(const CalibrationRecord& read) override {
        image = read;
        outcome("read completed");
    }
    void onWriteCompleted() override { outcome("write completed"); }
    void onFailed(const TransferFailure& failure) override {
        constexpr std::array kNames{"PortUnavailable", "NoAnswer",   "ReopenFailed",
                                    "PortLost",        "WrongModel", "InvalidField"};
        const std::string detail = failure.reason + failure.radio.model +
                                   (failure.field ? std::to_string(failure.field->field) : "");
        outcome(kNames.at(static_cast<std::size_t>(failure.kind)) +
                (detail.empty() ? "" : " " + detail));
    }

    // The radio's memory as the read brought it.
    std::array<std::uint8_t, 128> memory() const {
        std::array<std::uint8_t, 128> bytes{};
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            bytes[i] = image.byte(i);
        }
        return bytes;
    }

    std::vector<std::string> outcomes;
    CalibrationRecord image;
    std::function<void()> atOutcome;

private:
    void outcome(const std::string& name) {
        if (atOutcome) {
            atOutcome();
        }
        outcomes.push_back(name);
        journal_.push_back(name);
    }

    std::vector<std::string>& journal_;
};

}  // namespace qv::test
