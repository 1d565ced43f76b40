#pragma once

#include <concepts>
#include <optional>
#include <type_traits>
#include <utility>
#include <variant>

#include "platform/Failure.h"

namespace qv {

// A failure on its way into a Result, as std::unexpected carries one into std::expected.
struct Failed {
    Failure failure;
};

inline Failed fail(Failure failure) {
    return Failed{std::move(failure)};
}

template <typename T>
class Result;

// What a Result<T> takes as its value: whatever makes a T, other than a failure or a Result.
template <typename U, typename T>
concept ValueOf = std::constructible_from<T, U> && !std::same_as<std::remove_cvref_t<U>, Failed> &&
                  !std::same_as<std::remove_cvref_t<U>, Result<T>>;

// A value, or the Failure that stopped it: the shape of std::expected<T, Failure>, which not
// every compiler here provides. value(), operator* and operator-> throw std::bad_variant_access
// when there is no value, so a missed check ends in an exception, never in a wild read.
template <typename T>
class [[nodiscard]] Result {
public:
    // ValueOf leaves out Result and Failed, so the copy and move constructors stay in reach;
    // the check cannot read a concept.
    template <ValueOf<T> U = T>
    // NOLINTNEXTLINE(bugprone-forwarding-reference-overload)
    Result(U&& value) : state_(std::in_place_index<0>, std::forward<U>(value)) {}
    Result(Failed failed) : state_(std::in_place_index<1>, std::move(failed.failure)) {}

    // NOLINTNEXTLINE(readability-identifier-naming): std::expected's name
    bool has_value() const { return state_.index() == 0; }
    explicit operator bool() const { return has_value(); }

    T& value() & { return std::get<0>(state_); }
    const T& value() const& { return std::get<0>(state_); }
    T&& value() && { return std::get<0>(std::move(state_)); }
    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }
    T&& operator*() && { return std::move(*this).value(); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }

    const Failure& error() const& { return std::get<1>(state_); }
    Failure&& error() && { return std::get<1>(std::move(state_)); }

private:
    std::variant<T, Failure> state_;
};

// Done, or the Failure that stopped it.
template <>
class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(Failed failed) : failure_(std::move(failed.failure)) {}

    // NOLINTNEXTLINE(readability-identifier-naming): std::expected's name
    bool has_value() const { return !failure_; }
    explicit operator bool() const { return has_value(); }

    const Failure& error() const& { return failure_.value(); }
    Failure&& error() && { return std::move(failure_).value(); }

private:
    std::optional<Failure> failure_;
};

}  // namespace qv
