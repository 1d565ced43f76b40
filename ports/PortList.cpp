#include "ports/PortList.h"

#include <QStringList>
#include <algorithm>
#include <charconv>

#include "ports/PresentPorts.h"
#include "record/PlainText.h"

Q_LOGGING_CATEGORY(lcPorts, "qv.ports", QtInfoMsg)

namespace qv {

namespace {

constexpr std::string_view kPrefix = "COM";
constexpr std::size_t kMaxDigits = 3;

std::string_view trimSpaces(std::string_view s) {
    const auto begin = s.find_first_not_of(' ');
    if (begin == std::string_view::npos) {
        return {};
    }
    return s.substr(begin, s.find_last_not_of(' ') - begin + 1);
}

// The port's number text: at most three characters after the prefix, cut at a NUL.
std::string_view numberText(std::string_view name) {
    if (name.size() <= kPrefix.size()) {
        return {};
    }
    std::string_view d = name.substr(kPrefix.size(), kMaxDigits);
    d = d.substr(0, d.find('\0'));
    return trimSpaces(d);
}

}  // namespace

int portNumberOf(std::string_view entryText) {
    if (entryText.size() <= kPrefix.size()) {
        return 0;
    }
    const std::string_view digits = trimSpaces(entryText.substr(kPrefix.size()));
    int n = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
    // The leading number: "12x" is 12, "x" is 0.
    return error == std::errc() && end != digits.data() ? n : 0;
}

std::string portEntryText(int n) {
    return std::string(kPrefix) + std::to_string(n);
}

PortListing listPorts(const std::vector<PresentPort>& present) {
    PortListing listing;
    for (const PresentPort& port : present) {
        std::string text = std::string(kPrefix) + std::string(numberText(port.name));
        if (listing.first == 0) {
            listing.first = portNumberOf(text);
        }
        listing.entries.push_back({std::move(text), port.device});
    }
    return listing;
}

bool isPortListed(const std::vector<PortEntry>& entries, int n) {
    const std::string wanted = portEntryText(n);
    return std::any_of(entries.begin(), entries.end(),
                       [&](const PortEntry& e) { return e.text == wanted; });
}

std::string findEntryText(const std::vector<PortEntry>& entries, std::string_view text) {
    if (entries.empty()) {
        return {};
    }
    const auto found = std::find_if(entries.begin(), entries.end(),
                                    [&](const PortEntry& e) { return e.text == text; });
    return found != entries.end() ? found->text : entries.front().text;
}

void PortListLog::logWhenChanged(const std::vector<PresentPort>& ports) {
    if (ports == logged_) {
        return;
    }
    logged_ = ports;
    QStringList entries;
    for (const PresentPort& port : ports) {
        entries << QString::fromStdString(escapeControls(port.name + " " + port.device));
    }
    qCDebug(lcPorts).noquote() << "present ports:"
                               << (entries.isEmpty() ? QStringLiteral("none") : entries.join(", "));
}

}  // namespace qv
