#pragma once

#include <string>
#include <utility>
#include <variant>

namespace kivo {

// Why a settings step failed, in words the user can act on.
struct Problem {
    std::string message;
};

// What a settings step gives back: its value, or the problem that stopped it.
template <class T = std::monostate>
class [[nodiscard]] Result {
public:
    Result() = default;
    Result(T value) : outcome_(std::move(value)) {}
    Result(Problem problem) : outcome_(std::move(problem)) {}

    bool ok() const { return std::holds_alternative<T>(outcome_); }
    explicit operator bool() const { return ok(); }
    const T& value() const { return std::get<T>(outcome_); }
    const std::string& problem() const { return std::get<Problem>(outcome_).message; }

private:
    std::variant<T, Problem> outcome_;
};

// A step that gives back nothing but whether it worked.
using Status = Result<>;

}  // namespace kivo
