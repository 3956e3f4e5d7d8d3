// The drives of one or more hosts in the Prometheus text exposition format
// (version 0.0.4): one family a metric, every target's samples in it.
#pragma once

#include <string>
#include <vector>

#include "statusreply.h"

// What one query of a target gave.
struct TargetScrape {
    std::string target;  // host:port, the value of the target label
    bool up = false;     // a whole status reply came back
    double seconds = 0;  // how long the query took
    std::vector<DriveRecord> drives;
};

const char kPrometheusContentType[] = "text/plain; version=0.0.4; charset=utf-8";

std::string PrometheusMetrics(const std::vector<TargetScrape>& scrapes);

// A label value as the format writes it: backslash, double quote and line
// feed escaped, the program's CP932 text as UTF-8.
std::string LabelValue(const std::string& cp932);
