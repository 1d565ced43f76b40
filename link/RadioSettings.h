#pragma once

#include <string>
#include <string_view>

namespace qv {

inline constexpr std::string_view kDefaultAccessCode = "PROGRAMQV4";

// What the tool expects of the radio it talks to.
struct RadioSettings {
    std::string accessCode{kDefaultAccessCode};
    // Empty: any model is accepted.
    std::string model;
};

// The text when it is ten printable ASCII characters, else the built-in access code.
std::string accessCodeOrDefault(std::string_view text);

}  // namespace qv
