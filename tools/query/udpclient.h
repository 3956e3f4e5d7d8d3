// One request and its reply over UDP, with a time limit; the same on Linux
// and on Windows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class Exchange { Answered, TimedOut, Failed };

// Sends the datagram to host:port and waits up to timeoutMs for one reply
// datagram (at most 65535 bytes). On failure, error says why.
Exchange SendAndReceive(const std::string& host, uint16_t port, const std::vector<uint8_t>& request, int timeoutMs,
                        std::vector<uint8_t>* reply, std::string* error);
