// CSTR: the program's heap string. A zero-terminated byte string with its
// length, held in a buffer of exactly length + 1 bytes (no spare capacity).
// The text pointer is null exactly when the string is empty. Bytes pass
// through unchanged, so Shift-JIS text survives everything except the
// single-byte case conversions. Running out of memory ends the process.
#pragma once

#include <cstddef>

#include "base/wintypes.h"

class CSTR {
public:
    typedef void (*ErrorCallback)();

    CSTR(const char* text = nullptr);
    CSTR(int value);
    CSTR(const CSTR& other);
    virtual ~CSTR();

    // Assigning the string's own text, or a pointer into it, is safe: the new
    // text is copied before the old buffer is freed.
    CSTR& operator=(const CSTR& other);
    CSTR& operator=(const char* text);
    CSTR& operator=(int value);  // "%d"
    CSTR& operator+=(const CSTR& other);
    CSTR& operator+=(const char* text);

    DWORD Length() const { return length_; }
    // The text from a character index on; no range check (index <= Length()).
    // Null for the empty string.
    char* String(DWORD index = 0) { return text_ != nullptr ? text_ + index : nullptr; }
    const char* String(DWORD index = 0) const { return text_ != nullptr ? text_ + index : nullptr; }

    // The editing operations return the resulting text, null when empty.
    // Null or empty text, or the string's own text pointer, changes nothing.
    char* Append(const char* text);
    // A position not less than the length changes nothing, so nothing can be
    // inserted at the end.
    char* Insert(const char* text, DWORD position);
    void Remove();

    // ASCII letters only (the C locale), whatever locale the process uses.
    char* Upper();
    char* Lower();
    char* Convert(bool upper);

    // Remove every byte of the set from the ends; a null set means the
    // C locale's white space.
    char* Trim(const char* set = nullptr);
    char* TrimLeft(const char* set = nullptr);
    char* TrimRight(const char* set = nullptr);

    // strtol with the given base (saturating); 0 for the empty string. The
    // non-const overload keeps Convert(16) from being ambiguous with
    // Convert(bool) on a modifiable string.
    LONG Convert(int base) const;
    LONG Convert(int base) { return static_cast<const CSTR&>(*this).Convert(base); }
    LONG Bit() const { return Convert(2); }
    LONG Oct() const { return Convert(8); }
    LONG Dec() const { return Convert(10); }
    LONG Hex() const { return Convert(16); }

    // Same text pointer (two nulls included) is equal; otherwise a null or
    // empty side is unequal; otherwise the first n characters must agree,
    // n being the count or, when it is 0, this string's length. So "abc"
    // equals "abcdef", but "abcdef" does not equal "abc".
    bool operator==(const CSTR& other) const { return Compare(other.text_, 0); }
    bool operator==(const char* text) const { return Compare(text, 0); }
    bool Compare(const char* text, DWORD count = 0) const;

    // Only stored: the string never calls it (out of memory goes to ErrorTrap).
    void RegisterErrorTrap(ErrorCallback callback) { errorCallback_ = callback; }

private:
    [[noreturn]] static void ErrorTrap();
    static bool IsTrim(unsigned char c, const char* set);
    // Replaces the text by its bytes [first, last); the old buffer is freed
    // after the copy.
    void Rebuild(const char* first, const char* last);

    DWORD length_;
    char* text_;
    ErrorCallback errorCallback_;
};

// Test seam: every buffer a CSTR allocates comes from this function, which is
// malloc unless a test installs one that fails or records the sizes. Null
// restores malloc; the previous allocator is returned.
typedef void* (*CSTR_ALLOCATOR)(size_t size);
CSTR_ALLOCATOR CSTR_SetAllocator(CSTR_ALLOCATOR allocator);
