#include "net/peerfilter.h"

const char kDefaultAllowList[] =
    "127.0.0.0/8, 10.0.0.0/8, 172.16.0.0/12, 192.168.0.0/16, 169.254.0.0/16, 100.64.0.0/10";

namespace {

std::string Trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return std::string();
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// A decimal number of at most three digits without a leading zero, at most
// max.
bool ParseSmall(const std::string& text, DWORD max, DWORD* value) {
    if (text.empty() || text.size() > 3 || (text.size() > 1 && text[0] == '0')) return false;
    DWORD v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + static_cast<DWORD>(c - '0');
    }
    if (v > max) return false;
    *value = v;
    return true;
}

}  // namespace

bool ParseIpv4(const std::string& text, DWORD* address) {
    DWORD result = 0;
    size_t start = 0;
    for (int part = 0; part < 4; ++part) {
        const size_t dot = text.find('.', start);
        if ((part < 3) != (dot != std::string::npos)) return false;
        DWORD byte;
        if (!ParseSmall(text.substr(start, dot == std::string::npos ? std::string::npos : dot - start), 255, &byte))
            return false;
        result = (result << 8) | byte;
        start = dot + 1;
    }
    *address = result;
    return true;
}

bool IsLoopbackAddress(DWORD address) { return (address >> 24) == 127; }

PeerFilter::PeerFilter() { Parse(kDefaultAllowList); }

bool PeerFilter::Parse(const std::string& text) {
    std::vector<Range> ranges;
    bool everyone = false;
    size_t start = 0;
    for (;;) {
        const size_t comma = text.find(',', start);
        const std::string item =
            Trimmed(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (item == "*") {
            everyone = true;
        } else {
            const size_t slash = item.find('/');
            DWORD address, bits = 32;
            if (!ParseIpv4(item.substr(0, slash), &address)) return false;
            if (slash != std::string::npos && !ParseSmall(item.substr(slash + 1), 32, &bits)) return false;
            const DWORD mask = bits == 0 ? 0 : 0xFFFFFFFFUL << (32 - bits);
            ranges.push_back(Range{address & mask, mask});
        }
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    // "*" stands alone: with it, a list means nothing more.
    if (everyone && !ranges.empty()) return false;
    everyone_ = everyone;
    ranges_.swap(ranges);
    return true;
}

bool PeerFilter::Allows(DWORD address) const {
    if (everyone_) return true;
    for (const Range& r : ranges_) {
        if ((address & r.mask) == r.network) return true;
    }
    return false;
}
