#include "exporter.h"

#include <httplib.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "scrape.h"

namespace {

// What the queries of one request share; the last to finish frees it, be
// it the request or a query that outlived it.
struct Round {
    std::mutex lock;
    std::condition_variable done;
    std::vector<TargetScrape> results;
    std::vector<bool> finished;
    size_t left = 0;
};

std::string Html(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default: out += c; break;
        }
    }
    return out;
}

std::string IndexPage(const ExporterOptions& options) {
    std::string page =
        "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Veldakor exporter</title></head><body>\n"
        "<h1>Veldakor exporter</h1>\n<p><a href=\"/metrics\">/metrics</a>: every target below.</p>\n";
    if (options.targets.empty()) {
        page += "<p>No targets: ask for one with /probe?target=HOST:PORT.</p>\n";
    } else {
        page += "<ul>\n";
        for (const std::string& t : options.targets)
            page += "<li><a href=\"/probe?target=" + Html(t) + "\">" + Html(t) + "</a></li>\n";
        page += "</ul>\n";
    }
    return page + "</body></html>\n";
}

void PlainError(httplib::Response& res, int status, const std::string& message) {
    res.status = status;
    res.set_content(message + "\n", "text/plain; charset=utf-8");
}

}  // namespace

std::vector<TargetScrape> ScrapeAll(const std::vector<std::string>& targets, int timeoutMs) {
    auto round = std::make_shared<Round>();
    round->results.resize(targets.size());
    round->finished.assign(targets.size(), false);
    round->left = targets.size();
    const auto start = std::chrono::steady_clock::now();
    for (size_t k = 0; k < targets.size(); ++k) {
        std::thread([round, k, target = targets[k], timeoutMs] {
            TargetScrape scrape = ScrapeTarget(target, timeoutMs);
            std::lock_guard<std::mutex> hold(round->lock);
            round->results[k] = std::move(scrape);
            round->finished[k] = true;
            if (--round->left == 0) round->done.notify_all();
        }).detach();
    }
    // The queries keep to the time themselves; resolving a name may not.
    const auto deadline = start + std::chrono::milliseconds(timeoutMs + 250);
    std::unique_lock<std::mutex> hold(round->lock);
    round->done.wait_until(hold, deadline, [&round] { return round->left == 0; });
    std::vector<TargetScrape> out(targets.size());
    const double waited = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    for (size_t k = 0; k < targets.size(); ++k) {
        if (round->finished[k]) {
            out[k] = round->results[k];
        } else {
            out[k].target = targets[k];
            out[k].seconds = waited;
        }
    }
    return out;
}

bool Serve(const ExporterOptions& options, std::string* error) {
    httplib::Server server;
    server.Get("/", [&options](const httplib::Request&, httplib::Response& res) {
        res.set_content(IndexPage(options), "text/html; charset=utf-8");
    });
    server.Get("/metrics", [&options](const httplib::Request&, httplib::Response& res) {
        res.set_content(PrometheusMetrics(ScrapeAll(options.targets, options.timeoutMs)), kPrometheusContentType);
    });
    server.Get("/probe", [&options](const httplib::Request& req, httplib::Response& res) {
        if (req.get_param_value_count("target") != 1)
            return PlainError(res, 400, "give one target parameter: /probe?target=HOST:PORT");
        const std::string target = req.get_param_value("target");
        std::string host;
        uint16_t port = 0;
        if (!ParseTarget(target, &host, &port))
            return PlainError(res, 400, "the target must be HOST or HOST:PORT with a port from 1 to 65535");
        res.set_content(PrometheusMetrics(ScrapeAll({target}, options.timeoutMs)), kPrometheusContentType);
    });
    if (!server.bind_to_port(options.listenHost.c_str(), options.listenPort)) {
        *error = "cannot listen on " + options.listenHost + ":" + std::to_string(options.listenPort);
        return false;
    }
    if (!server.listen_after_bind()) {
        *error = "the server stopped listening";
        return false;
    }
    return true;
}
