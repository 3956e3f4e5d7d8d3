// Whom the status service answers: the [Server] Allow list of IPv4
// addresses and CIDR ranges, and the loopback rule of the stop command.
// Addresses are in host byte order (127.0.0.1 is 0x7F000001).
#pragma once

#include <string>
#include <vector>

#include "base/wintypes.h"

// Loopback and the private ranges: what a home or office network uses, and
// nothing a stranger on the internet can send from without forging.
extern const char kDefaultAllowList[];

class PeerFilter {
public:
    // The default list.
    PeerFilter();

    // Items separated by commas, blanks around them allowed: "a.b.c.d",
    // "a.b.c.d/n" (n 0-32, the bits below the prefix ignored), or "*"
    // alone for everyone. False on any malformed item or an empty list, and
    // then the filter is left as it was.
    bool Parse(const std::string& text);
    bool Allows(DWORD address) const;

private:
    struct Range {
        DWORD network;
        DWORD mask;
    };
    bool everyone_ = false;
    std::vector<Range> ranges_;
};

// Four decimal parts 0-255 without signs or leading zeros ("010" would be
// octal to inet_addr); false for anything else.
bool ParseIpv4(const std::string& text, DWORD* address);
// 127.0.0.0/8.
bool IsLoopbackAddress(DWORD address);
