#include "cp932text.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>

#include <cerrno>
#endif

namespace {

const char kReplacement[] = "\xEF\xBF\xBD";

bool Ascii(const std::string& text) {
    for (unsigned char c : text) {
        if (c >= 0x80) return false;
    }
    return true;
}

}  // namespace

#ifdef _WIN32

std::string Utf8FromCp932(const std::string& text) {
    if (Ascii(text)) return text;
    const int length = static_cast<int>(text.size());
    const int chars = MultiByteToWideChar(932, 0, text.data(), length, nullptr, 0);
    if (chars <= 0) return kReplacement;
    std::wstring wide(static_cast<size_t>(chars), L'\0');
    MultiByteToWideChar(932, 0, text.data(), length, &wide[0], chars);
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide.data(), chars, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), chars, &out[0], bytes, nullptr, nullptr);
    return out;
}

#else

namespace {

// One iconv descriptor for the process's life.
class Converter {
public:
    Converter() : cd_(iconv_open("UTF-8", "CP932")) {}
    ~Converter() {
        if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    std::string Convert(const std::string& text) {
        if (cd_ == reinterpret_cast<iconv_t>(-1)) return kReplacement;
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        std::string out;
        char* in = const_cast<char*>(text.data());
        size_t inLeft = text.size();
        while (inLeft > 0) {
            char buffer[256];
            char* to = buffer;
            size_t toLeft = sizeof buffer;
            const size_t done = iconv(cd_, &in, &inLeft, &to, &toLeft);
            out.append(buffer, static_cast<size_t>(to - buffer));
            if (done != static_cast<size_t>(-1) || errno == E2BIG) continue;
            // A byte that starts no character, or a cut one: one replacement.
            out += kReplacement;
            ++in;
            --inLeft;
            iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        }
        return out;
    }

private:
    iconv_t cd_;
};

}  // namespace

std::string Utf8FromCp932(const std::string& text) {
    if (Ascii(text)) return text;
    static thread_local Converter converter;
    return converter.Convert(text);
}

#endif
