#pragma once

#include "platform/win32/win32_backends.h"

#include <windows.h>

#include <cstdint>
#include <vector>

namespace kivo {

// Collects one SendInput batch, so that no other input lands between the keys of a string.
// A batch that holds keys keeps only their downs, each once, and can give the ups that let go of
// them, last pressed first.
class InputBatch {
public:
    enum class Keys { Typed, Held };

    InputBatch(HKL layout, LayoutQueries& queries, Keys keys = Keys::Typed)
        : layout_(layout), queries_(queries), keys_(keys)
    {
    }

    HKL layout() const { return layout_; }

    // Games that read DirectInput or raw input see only scan codes, so each key carries
    // its scan code as well as its virtual key; a key without one goes by virtual key alone.
    void key(std::uint8_t virtualKey, bool up);
    void tap(std::uint8_t virtualKey);
    // A key named by its place goes by that scan code, with the virtual key the layout gives it.
    void tapScanCode(std::uint16_t scanCode);

    void send(SendInputCall& call);
    const std::vector<INPUT>& inputs() const { return inputs_; }
    std::vector<INPUT> ups() const;

private:
    void add(const INPUT& input);

    HKL layout_;
    LayoutQueries& queries_;
    Keys keys_;
    std::vector<INPUT> inputs_;
};

}  // namespace kivo
