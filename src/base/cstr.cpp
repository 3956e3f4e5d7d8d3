#include "base/cstr.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/longrange.h"

// The string is part of the exported interface: vtable, length, text, callback.
static_assert(sizeof(CSTR) == 4 * sizeof(void*), "CSTR layout");

namespace {

CSTR_ALLOCATOR allocate = std::malloc;

// Longest text whose buffer size (length + 1) still fits a DWORD.
const DWORD kMaxLength = 0xFFFFFFFEu;

}  // namespace

CSTR_ALLOCATOR CSTR_SetAllocator(CSTR_ALLOCATOR allocator) {
    CSTR_ALLOCATOR previous = allocate;
    allocate = allocator != nullptr ? allocator : std::malloc;
    return previous;
}

CSTR::CSTR(const char* text) : length_(0), text_(nullptr), errorCallback_(nullptr) { Append(text); }

CSTR::CSTR(int value) : length_(0), text_(nullptr), errorCallback_(nullptr) { *this = value; }

CSTR::CSTR(const CSTR& other) : length_(0), text_(nullptr), errorCallback_(nullptr) { Append(other.text_); }

CSTR::~CSTR() { std::free(text_); }

CSTR& CSTR::operator=(const CSTR& other) { return *this = other.text_; }

CSTR& CSTR::operator=(const char* text) {
    if (text == text_) return *this;  // already holds exactly this text
    // The text may lie inside the old buffer: detach it, copy, then free.
    char* old = text_;
    text_ = nullptr;
    length_ = 0;
    Append(text);
    std::free(old);
    return *this;
}

CSTR& CSTR::operator=(int value) {
    // Count the characters on the magnitude as unsigned, so INT_MIN works too.
    DWORD length = value < 0 ? 2 : 1;
    unsigned magnitude = value < 0 ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
    for (; magnitude >= 10; magnitude /= 10) ++length;
    char* buffer = static_cast<char*>(allocate(length + 1));
    if (buffer == nullptr) ErrorTrap();
    std::snprintf(buffer, length + 1, "%d", value);
    std::free(text_);
    text_ = buffer;
    length_ = length;
    return *this;
}

CSTR& CSTR::operator+=(const CSTR& other) {
    Append(other.text_);
    return *this;
}

CSTR& CSTR::operator+=(const char* text) {
    Append(text);
    return *this;
}

char* CSTR::Append(const char* text) {
    if (text == nullptr || *text == '\0' || text == text_) return text_;
    size_t added = std::strlen(text);
    if (added > kMaxLength - length_) ErrorTrap();
    DWORD length = length_ + static_cast<DWORD>(added);
    char* buffer = static_cast<char*>(allocate(length + 1));
    if (buffer == nullptr) ErrorTrap();
    if (text_ != nullptr) std::memcpy(buffer, text_, length_);
    std::memcpy(buffer + length_, text, added + 1);  // text may lie inside the old buffer
    std::free(text_);
    text_ = buffer;
    length_ = length;
    return text_;
}

char* CSTR::Insert(const char* text, DWORD position) {
    if (text == nullptr || *text == '\0' || text == text_ || position >= length_) return text_;
    size_t added = std::strlen(text);
    if (added > kMaxLength - length_) ErrorTrap();
    DWORD length = length_ + static_cast<DWORD>(added);
    char* buffer = static_cast<char*>(allocate(length + 1));
    if (buffer == nullptr) ErrorTrap();
    std::memcpy(buffer, text_, position);
    std::memcpy(buffer + position, text, added);
    std::memcpy(buffer + position + added, text_ + position, length_ - position + 1);
    std::free(text_);
    text_ = buffer;
    length_ = length;
    return text_;
}

void CSTR::Remove() {
    std::free(text_);
    text_ = nullptr;
    length_ = 0;
}

char* CSTR::Upper() {
    for (DWORD i = 0; i < length_; ++i) {
        if (text_[i] >= 'a' && text_[i] <= 'z') text_[i] = static_cast<char>(text_[i] - 'a' + 'A');
    }
    return text_;
}

char* CSTR::Lower() {
    for (DWORD i = 0; i < length_; ++i) {
        if (text_[i] >= 'A' && text_[i] <= 'Z') text_[i] = static_cast<char>(text_[i] - 'A' + 'a');
    }
    return text_;
}

char* CSTR::Convert(bool upper) { return upper ? Upper() : Lower(); }

char* CSTR::Trim(const char* set) {
    TrimLeft(set);
    return TrimRight(set);
}

char* CSTR::TrimLeft(const char* set) {
    if (text_ == nullptr) return nullptr;
    const char* first = text_;
    const char* last = text_ + length_;
    while (first != last && IsTrim(static_cast<unsigned char>(*first), set)) ++first;
    Rebuild(first, last);
    return text_;
}

char* CSTR::TrimRight(const char* set) {
    if (text_ == nullptr) return nullptr;
    const char* first = text_;
    const char* last = text_ + length_;
    while (last != first && IsTrim(static_cast<unsigned char>(last[-1]), set)) --last;
    Rebuild(first, last);
    return text_;
}

LONG CSTR::Convert(int base) const {
    if (text_ == nullptr) return 0;
    return SaturateLong(std::strtoll(text_, nullptr, base));
}

bool CSTR::Compare(const char* text, DWORD count) const {
    if (text == text_) return true;
    if (text_ == nullptr || text == nullptr || *text == '\0') return false;
    return std::strncmp(text_, text, count != 0 ? count : length_) == 0;
}

void CSTR::ErrorTrap() {
    // Out of memory: nothing can be trusted any more, and other threads may
    // still use the globals, so end at once without static destructors.
    std::_Exit(0);
}

bool CSTR::IsTrim(unsigned char c, const char* set) {
    if (set == nullptr) {
        return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
    }
    for (; *set != '\0'; ++set) {
        if (static_cast<unsigned char>(*set) == c) return true;
    }
    return false;
}

void CSTR::Rebuild(const char* first, const char* last) {
    DWORD length = static_cast<DWORD>(last - first);
    char* buffer = nullptr;
    if (length != 0) {
        buffer = static_cast<char*>(allocate(length + 1));
        if (buffer == nullptr) ErrorTrap();
        std::memcpy(buffer, first, length);
        buffer[length] = '\0';
    }
    std::free(text_);
    text_ = buffer;
    length_ = length;
}
