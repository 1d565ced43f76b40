#pragma once

#include <functional>
#include <string>
#include <vector>

#include "ports/PresentPorts.h"
#include "shell/DataFileDialog.h"
#include "shell/Notices.h"
#include "shell/SystemLocale.h"

namespace qv::test {

class FakeLocale : public SystemLocale {
public:
    bool chineseChina = false;
    std::string decimalPoint = ".";
    std::string date = "12/06/2026";

    bool isChineseChina() const override { return chineseChina; }
    NumberFormat format() const override { return {.decimalPoint = decimalPoint}; }
    std::string shortDate() const override { return date; }
};

class FakePorts : public PresentPorts {
public:
    std::vector<PresentPort> present;

    std::vector<PresentPort> list() override { return present; }
};

// Records every message and question; `onShow` runs while a message is "open", and every
// question is answered with `confirmAnswer` (true: OK).
class ScriptedNotices : public Notices {
public:
    struct Shown {
        std::string text;
        NoticeIcon icon;
    };
    std::vector<Shown> shown;
    std::vector<std::string> asked;
    std::function<void()> onShow;
    bool confirmAnswer = true;

    void show(const std::string& text, NoticeIcon icon) override {
        shown.push_back({text, icon});
        if (onShow) {
            onShow();
        }
    }
    bool confirm(const std::string& text) override {
        asked.push_back(text);
        return confirmAnswer;
    }
};

// Answers each showing of the file dialog with the next answer, a cancel when there is none
// left, and keeps what each showing asked for.
class ScriptedPicker : public FilePicker {
public:
    std::vector<QString> answers;
    std::vector<Request> requests;

    std::optional<QString> pick(const Request& request) override {
        requests.push_back(request);
        return used < answers.size() ? std::optional(answers[used++]) : std::nullopt;
    }
    std::size_t used = 0;
};

// "COM" n on this device, by default the serial device that COM n is on Linux.
inline PresentPort port(int n, const std::string& device = {}) {
    return {"COM" + std::to_string(n),
            device.empty() ? "/dev/ttyS" + std::to_string(n - 1) : device};
}

}  // namespace qv::test
