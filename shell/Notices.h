#pragma once

#include <string>

namespace qv {

enum class NoticeIcon { None, Stop, Exclamation };

// The tool's modal message boxes, all titled with the tool's title. The window shows them;
// tests script the answers.
class Notices {
public:
    virtual ~Notices() = default;
    // A message with an OK button.
    virtual void show(const std::string& text, NoticeIcon icon) = 0;
    // A question with OK (the default button) and Cancel and the exclamation icon; true on OK.
    virtual bool confirm(const std::string& text) = 0;
    // A question with Yes and No (the default button) and the exclamation icon; true on Yes.
    virtual bool ask(const std::string& text) = 0;
};

}  // namespace qv
