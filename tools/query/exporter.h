// veldakor-query serve: an HTTP server for Prometheus. GET /metrics asks
// every configured target in parallel; GET /probe?target=HOST:PORT asks
// that one (the multi-target pattern of the blackbox and SNMP exporters);
// GET / is a page with the targets and links.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "prometheusformat.h"

const char kDefaultListen[] = "127.0.0.1:9633";

struct ExporterOptions {
    std::string listenHost = "127.0.0.1";
    uint16_t listenPort = 9633;
    std::vector<std::string> targets;
    int timeoutMs = 2000;
};

// Every target at once, each within the time: one that has not answered by
// then (a host name that takes long to resolve, say) counts as down, and
// its query ends on its own later. In the order given.
std::vector<TargetScrape> ScrapeAll(const std::vector<std::string>& targets, int timeoutMs);

// Serves until the process ends; false, with the reason, when it cannot
// listen.
bool Serve(const ExporterOptions& options, std::string* error);
