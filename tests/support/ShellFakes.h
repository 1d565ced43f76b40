#pragma once

#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "ports/PresentPorts.h"
#include "shell/DataFileDialog.h"
#include "shell/Notices.h"
#include "shell/SystemLocale.h"

namespace qv::test {

class FakeLocale : public SystemLocale {
public:
    bool chineseChina = false;
    std::string date;

    bool isChineseChina() const override { return chineseChina; }
    NumberFormat format() const override { return {}; }
    std::string shortDate() const override { return date; }
};

class FakePorts : public PresentPorts {
public:
    std::vector<PresentPort> present;

    std::vector<PresentPort> list() override { return present; }
};

// Records every message and question; `onShow` runs while a message is "open". A question
// takes the next of `answers` (true: OK or Yes), its default button once they run out.
class ScriptedNotices : public Notices {
public:
    struct Shown {
        std::string text;
        NoticeIcon icon;
    };
    std::vector<Shown> shown;
    std::vector<std::string> asked;
    std::deque<bool> answers;
    std::function<void()> onShow;

    void show(const std::string& text, NoticeIcon icon) override {
        shown.push_back({text, icon});
        if (onShow) {
            onShow();
        }
    }
    bool confirm(const std::string& text) override { return answer(text, true); }
    bool ask(const std::string& text) override { return answer(text, false); }

private:
    bool answer(const std::string& text, bool byDefault) {
        asked.push_back(text);
        if (answers.empty()) {
            return byDefault;
        }
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

// Answers the next showing of the file dialog with `next`, then cancels.
class ScriptedPicker : public FilePicker {
public:
    std::optional<QString> next;

    std::optional<QString> pick(const Request& /*request*/) override {
        return std::exchange(next, std::nullopt);
    }
};

// "COM" n on this device, by default the serial device that COM n is on Linux.
inline PresentPort port(int n, const std::string& device = {}) {
    return {"COM" + std::to_string(n),
            device.empty() ? "/dev/ttyS" + std::to_string(n - 1) : device};
}

}  // namespace qv::test
