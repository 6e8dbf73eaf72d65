#pragma once

namespace cm::detail {

struct CodePageTable {
    int codePage;
    const char16_t* upper;   // 128 entries for bytes 0x80..0xFF
};

extern const CodePageTable kCodePages[];
extern const int kCodePageCount;

} // namespace cm::detail
