#pragma once

#include "platform/key_string.h"

#include <functional>
#include <string>

namespace kivo {

// The part of typing a key string that every key sender shares: typing it stroke by stroke,
// passing over the bytes Windows-1252 leaves undefined, and telling on standard error what
// could not be typed.
class KeyStringTyper {
public:
    // Returns why the stroke could not be typed, or nothing when it was.
    using TypeStroke = std::function<std::string(const KeyStroke&)>;

    // A malformed string types nothing; in a well-formed one every stroke that can be typed is.
    void type(const KeyString& keys, const TypeStroke& typeStroke);

private:
    void report(const std::string& keys, std::string_view problem);

    std::string lastReported_;
};

}  // namespace kivo
