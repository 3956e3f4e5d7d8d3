// Asking one status service for its drives, timed, for the exporter.
#pragma once

#include <cstdint>
#include <string>

#include "prometheusformat.h"

const uint16_t kDefaultServicePort = 10008;

// "host" or "host:port" (port 1-65535; the host not empty, without blanks
// or a second colon). False for anything else.
bool ParseTarget(const std::string& text, std::string* host, uint16_t* port);

// One status query of the target within the time; never longer. A target
// that does not answer, answers short or cannot be resolved is not up.
TargetScrape ScrapeTarget(const std::string& target, int timeoutMs);
