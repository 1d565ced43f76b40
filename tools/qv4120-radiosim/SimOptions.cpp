#include "SimOptions.h"

#include <charconv>
#include <map>
#include <optional>

namespace qv::sim {

namespace {

std::optional<int> readCount(const std::string& text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 1) {
        return std::nullopt;
    }
    return value;
}

std::optional<Fault> readFault(const std::string& text) {
    static const std::map<std::string, Fault::Kind> kinds{
        {"silence", Fault::Kind::Silence},
        {"refuse", Fault::Kind::Refusal},
        {"other-address", Fault::Kind::OtherAddress},
        {"garble", Fault::Kind::Garble},
        {"drop", Fault::Kind::Drop},
        {"corrupt", Fault::Kind::Corrupt},
        {"delay", Fault::Kind::Delay},
        {"partial", Fault::Kind::Partial},
        {"noise", Fault::Kind::Noise},
        {"forget", Fault::Kind::Forget}};
    const std::size_t at = text.find('@');
    const auto kind = kinds.find(text.substr(0, at));
    if (at == std::string::npos || kind == kinds.end()) {
        return std::nullopt;
    }
    const std::string range = text.substr(at + 1);
    const std::size_t dash = range.find('-');
    const auto first = readCount(range.substr(0, dash));
    const auto last = dash == std::string::npos ? first : readCount(range.substr(dash + 1));
    if (!first || !last || *last < *first) {
        return std::nullopt;
    }
    return Fault{.kind = kind->second, .first = *first, .last = *last};
}

std::optional<double> readRate(const std::string& text) {
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !(value >= 0 && value <= 1)) {
        return std::nullopt;
    }
    return value;
}

std::optional<AnswerChecksum> readAnswerChecksum(const std::string& text) {
    static const std::map<std::string, AnswerChecksum> kinds{{"right", AnswerChecksum::Right},
                                                             {"none", AnswerChecksum::None},
                                                             {"wrong", AnswerChecksum::Wrong}};
    const auto kind = kinds.find(text);
    return kind == kinds.end() ? std::nullopt : std::optional(kind->second);
}

// The options that take a value beside the plain texts; a message for a bad value.
std::optional<std::string> readQuirk(const std::string& name, const std::string& value,
                                     Quirks& quirks) {
    if (name == "--noise") {
        const auto rate = readRate(value);
        quirks.noiseRate = rate.value_or(0);
        return rate ? std::nullopt : std::optional<std::string>("bad rate: " + value);
    }
    if (name == "--seed") {
        const auto seed = readCount(value);
        quirks.seed = static_cast<unsigned>(seed.value_or(1));
        return seed ? std::nullopt : std::optional<std::string>("bad seed: " + value);
    }
    const auto checksum = readAnswerChecksum(value);
    quirks.answerChecksum = checksum.value_or(AnswerChecksum::Right);
    return checksum ? std::nullopt : std::optional<std::string>("bad answer checksum: " + value);
}

Failed refused(std::string reason) {
    return fail({Failure::Kind::Usage, std::move(reason)});
}

}  // namespace

Result<SimOptions> parseOptions(const std::vector<std::string>& arguments) {
    SimOptions options;
    const std::map<std::string, std::string*> valued{
        {"--link", &options.link},
        {"--image", &options.image},
        {"--log", &options.log},
        {"--access-code", &options.identity.accessCode},
        {"--model", &options.identity.model},
        {"--radio-version", &options.identity.version}};
    const std::map<std::string, bool*> flags{{"--help", &options.help},
                                             {"--version", &options.version},
                                             {"--forget", &options.quirks.forget}};
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& name = arguments[i];
        if (name == "--no-pace") {
            options.pace = false;
            continue;
        }
        if (const auto flag = flags.find(name); flag != flags.end()) {
            *flag->second = true;
            continue;
        }
        if (i + 1 == arguments.size()) {
            return refused("missing value or unknown option: " + name);
        }
        const std::string& value = arguments[++i];
        if (const auto option = valued.find(name); option != valued.end()) {
            *option->second = value;
        } else if (name == "--fault") {
            const auto fault = readFault(value);
            if (!fault) {
                return refused("bad fault: " + value);
            }
            options.faults.push_back(*fault);
        } else if (name == "--noise" || name == "--seed" || name == "--answer-checksum") {
            if (auto error = readQuirk(name, value, options.quirks)) {
                return refused(std::move(*error));
            }
        } else {
            return refused("unknown option: " + name);
        }
    }
    if (options.identity.accessCode.size() != 10 || options.identity.model.size() > 7 ||
        options.identity.version.size() != 4) {
        return refused("the access code takes 10 characters, the model at most 7, the version 4");
    }
    return options;
}

}  // namespace qv::sim
