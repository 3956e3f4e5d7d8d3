// The status service's allow list: the default ranges at their edges, the
// list forms, and every malformed form, which must leave the filter as it
// was.
#include <gtest/gtest.h>

#include <string>

#include "net/peerfilter.h"

namespace {

DWORD Ip(const char* text) {
    DWORD address = 0;
    EXPECT_TRUE(ParseIpv4(text, &address)) << text;
    return address;
}

}  // namespace

TEST(PeerFilter, TheDefaultAnswersLoopbackAndThePrivateRangesToTheirEdges) {
    const PeerFilter filter;
    for (const char* inside : {"127.0.0.1", "127.255.255.254", "10.0.0.0", "10.255.255.255", "172.16.0.1",
                               "172.31.255.255", "192.168.0.1", "192.168.255.255", "169.254.1.1", "100.64.0.1",
                               "100.127.255.255"}) {
        EXPECT_TRUE(filter.Allows(Ip(inside))) << inside;
    }
    for (const char* outside : {"8.8.8.8", "192.0.2.2", "172.15.255.255", "172.32.0.0", "192.169.0.0",
                                "100.63.255.255", "100.128.0.0", "11.0.0.0", "126.255.255.255", "128.0.0.0",
                                "0.0.0.0", "255.255.255.255", "169.253.255.255"}) {
        EXPECT_FALSE(filter.Allows(Ip(outside))) << outside;
    }
    EXPECT_TRUE(IsLoopbackAddress(Ip("127.9.9.9")));
    EXPECT_FALSE(IsLoopbackAddress(Ip("128.0.0.1")));
    EXPECT_FALSE(IsLoopbackAddress(Ip("10.0.0.1")));
}

TEST(PeerFilter, ListsOfAddressesAndRanges) {
    PeerFilter filter;
    ASSERT_TRUE(filter.Parse("192.0.2.7"));
    EXPECT_TRUE(filter.Allows(Ip("192.0.2.7")));
    EXPECT_FALSE(filter.Allows(Ip("192.0.2.8")));
    EXPECT_FALSE(filter.Allows(Ip("127.0.0.1"))) << "the default is replaced, not extended";

    ASSERT_TRUE(filter.Parse(" 10.1.2.3/8 ,198.51.100.0/31\t, 203.0.113.5/32"));
    EXPECT_TRUE(filter.Allows(Ip("10.200.0.1"))) << "the bits below the prefix do not count";
    EXPECT_TRUE(filter.Allows(Ip("198.51.100.1")));
    EXPECT_FALSE(filter.Allows(Ip("198.51.100.2")));
    EXPECT_TRUE(filter.Allows(Ip("203.0.113.5")));
    EXPECT_FALSE(filter.Allows(Ip("203.0.113.4")));

    ASSERT_TRUE(filter.Parse("*"));
    EXPECT_TRUE(filter.Allows(Ip("8.8.8.8")));
    ASSERT_TRUE(filter.Parse("0.0.0.0/0"));
    EXPECT_TRUE(filter.Allows(Ip("255.255.255.255")));
}

TEST(PeerFilter, MalformedListsLeaveTheFilterAsItWas) {
    PeerFilter filter;
    ASSERT_TRUE(filter.Parse("192.0.2.0/24"));
    for (const char* bad : {"", " ", ",", "192.0.2.1,", ",192.0.2.1", "256.0.0.1", "1.2.3", "1.2.3.4.5", "1..2.3",
                            "01.2.3.4", "1.2.3.4/33", "1.2.3.4/", "1.2.3.4/-1", "1.2.3.4/08", "a.b.c.d",
                            "1.2.3.4 5", "+1.2.3.4", "1.2.3.4/8/8", "*, 10.0.0.0/8", "localhost", "0x7f.0.0.1",
                            "1.2.3.4444", "**"}) {
        EXPECT_FALSE(filter.Parse(bad)) << "\"" << bad << "\"";
        EXPECT_TRUE(filter.Allows(Ip("192.0.2.200"))) << bad;
        EXPECT_FALSE(filter.Allows(Ip("10.0.0.1"))) << bad;
    }
    DWORD address = 7;
    EXPECT_FALSE(ParseIpv4("1.2.3.", &address));
    EXPECT_EQ(7u, address) << "untouched on failure";
    EXPECT_TRUE(ParseIpv4("0.0.0.0", &address));
    EXPECT_EQ(0u, address);
    EXPECT_EQ(0xC0A80001u, Ip("192.168.0.1"));
}
