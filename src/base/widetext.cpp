#include "base/widetext.h"

#include <windows.h>

#include <climits>

namespace {

const UINT kCp932 = 932;

std::wstring Convert(UINT codePage, const char* text, std::size_t length) {
    if (text == nullptr || length == 0 || length > static_cast<std::size_t>(INT_MAX)) return std::wstring();
    const int bytes = static_cast<int>(length);
    // An explicit length (not -1) keeps the terminator out of the result.
    const int chars = MultiByteToWideChar(codePage, 0, text, bytes, nullptr, 0);
    if (chars <= 0) return std::wstring();
    std::wstring wide(static_cast<std::size_t>(chars), L'\0');
    const int written = MultiByteToWideChar(codePage, 0, text, bytes, &wide[0], chars);
    if (written <= 0) return std::wstring();
    wide.resize(static_cast<std::size_t>(written));
    return wide;
}

}  // namespace

std::wstring WideFromCp932(const char* text) {
    if (text == nullptr) return std::wstring();
    return Convert(kCp932, text, std::char_traits<char>::length(text));
}

std::wstring WideFromCp932(const std::string& text) { return Convert(kCp932, text.data(), text.size()); }

std::wstring WideFromAnsi(const char* text) {
    if (text == nullptr) return std::wstring();
    return Convert(CP_ACP, text, std::char_traits<char>::length(text));
}
