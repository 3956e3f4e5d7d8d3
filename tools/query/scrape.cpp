#include "scrape.h"

#include <chrono>
#include <cstdlib>
#include <vector>

#include "udpclient.h"

bool ParseTarget(const std::string& text, std::string* host, uint16_t* port) {
    const size_t colon = text.find(':');
    const std::string name = text.substr(0, colon);
    if (name.empty() || name.find_first_of(" \t\r\n/?#@[]") != std::string::npos) return false;
    long number = kDefaultServicePort;
    if (colon != std::string::npos) {
        const std::string digits = text.substr(colon + 1);
        if (digits.empty() || digits.size() > 5 || digits.find_first_not_of("0123456789") != std::string::npos)
            return false;
        number = std::strtol(digits.c_str(), nullptr, 10);
        if (number < 1 || number > 65535) return false;
    }
    *host = name;
    *port = static_cast<uint16_t>(number);
    return true;
}

TargetScrape ScrapeTarget(const std::string& target, int timeoutMs) {
    TargetScrape scrape;
    scrape.target = target;
    std::string host;
    uint16_t port = 0;
    if (!ParseTarget(target, &host, &port)) return scrape;
    const auto start = std::chrono::steady_clock::now();
    std::vector<uint8_t> reply;
    std::string error;
    const Exchange result = SendAndReceive(host, port, {0x01}, timeoutMs, &reply, &error);
    scrape.up = result == Exchange::Answered && ParseStatusReply(reply, &scrape.drives, &error);
    if (!scrape.up) scrape.drives.clear();
    scrape.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return scrape;
}
