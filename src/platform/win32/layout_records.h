#pragma once

#include "platform/key_records.h"

#include <windows.h>

#include <memory>
#include <vector>

namespace kivo {

// What Windows answers about a keyboard layout, so that a test can give a real layout's answers
// whatever layout the machine has.
class LayoutQueries {
public:
    virtual ~LayoutQueries() = default;
    // ToUnicodeEx, leaving the keyboard's dead-key state as it was: the number of characters
    // written, negative for a dead key.
    virtual int toUnicode(UINT virtualKey, UINT scanCode, const BYTE* keyState, wchar_t* text, int size,
                          HKL layout) = 0;
    virtual UINT mapVirtualKey(UINT code, UINT mapType, HKL layout) = 0;
    // The layout of the window in front, which receives the keys and whose keys are assigned.
    virtual HKL inUse() = 0;
};
std::unique_ptr<LayoutQueries> makeSystemLayoutQueries();

// One record for each key that types characters (letters, digits, the OEM punctuation keys),
// read once for a layout: at each level, AltGr being Control and Alt held together.
std::vector<KeyRecord> readLayout(LayoutQueries& queries, HKL layout);

// The records of the layout last asked for, read again only when another is asked for: the
// layout in use changes seldom, keys are looked up on every tick a button is held.
class LayoutRecords {
public:
    explicit LayoutRecords(LayoutQueries& queries) : queries_(queries) {}
    const std::vector<KeyRecord>& of(HKL layout);
    // The record of a virtual key; none for keys that type no characters.
    const KeyRecord* find(std::uint8_t virtualKey, HKL layout);
    LayoutQueries& queries() { return queries_; }

private:
    LayoutQueries& queries_;
    HKL layout_ = nullptr;
    bool read_ = false;
    std::vector<KeyRecord> records_;
};

}  // namespace kivo
