// veldakor-query: asks a running Veldakor for the state of its drives.
//
//   veldakor-query [--host H] [--port P] [--timeout MS] [--json | --prometheus [--output FILE]] status|echo|stop
//   veldakor-query serve [--listen ADDR:PORT] [--target HOST[:PORT]]... [--timeout MS]
//
// status prints one line a drive (or JSON, or the Prometheus text format)
// and exits with the worst health for monitoring systems: 0 good, 1
// caution, 2 danger, 3 error or no usable answer. serve is an HTTP exporter
// for Prometheus (exporter.h).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "atomicfile.h"
#include "exporter.h"
#include "prometheusformat.h"
#include "scrape.h"
#include "statusreply.h"
#include "udpclient.h"

namespace {

const int kNoAnswer = 3;

int Usage(const char* problem) {
    std::fprintf(stderr, "veldakor-query: %s\n", problem);
    std::fprintf(stderr,
                 "usage: veldakor-query [--host H] [--port P] [--timeout MS] [--json | --prometheus [--output FILE]]"
                 " status|echo|stop\n"
                 "       veldakor-query serve [--listen ADDR:PORT] [--target HOST[:PORT]]... [--timeout MS]\n");
    return kNoAnswer;
}

bool Number(const char* text, long low, long high, long* value) {
    char* end = nullptr;
    const long n = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || n < low || n > high) return false;
    *value = n;
    return true;
}

// The Prometheus form of one status query, to standard output or into a
// file for a textfile collector; the exit status as for the table.
int PrintPrometheus(const std::string& target, long timeout, const std::string& output) {
    const TargetScrape scrape = ScrapeTarget(target, static_cast<int>(timeout));
    const std::string text = PrometheusMetrics({scrape});
    if (output.empty()) {
        std::fputs(text.c_str(), stdout);
    } else {
        std::string error;
        if (!WriteFileAtomically(output, text, &error)) {
            std::fprintf(stderr, "veldakor-query: %s\n", error.c_str());
            return kNoAnswer;
        }
    }
    if (!scrape.up) std::fprintf(stderr, "veldakor-query: no status reply from %s\n", target.c_str());
    return scrape.up ? WorstHealth(scrape.drives) : kNoAnswer;
}

}  // namespace

int main(int argc, char** argv) {
    std::string host = "127.0.0.1";
    long port = 10008, timeout = 2000;
    bool json = false, prometheus = false;
    std::string command, output;
    ExporterOptions exporter;
    std::string listen = kDefaultListen;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--host" && hasValue) {
            host = argv[++i];
        } else if (arg == "--port" && hasValue) {
            if (!Number(argv[++i], 1, 65535, &port)) return Usage("the port must be a number from 1 to 65535");
        } else if (arg == "--timeout" && hasValue) {
            if (!Number(argv[++i], 1, 600000, &timeout)) return Usage("the timeout must be 1 to 600000 ms");
        } else if (arg == "--json") {
            json = true;
        } else if (arg == "--prometheus") {
            prometheus = true;
        } else if (arg == "--output" && hasValue) {
            output = argv[++i];
        } else if (arg == "--listen" && hasValue) {
            listen = argv[++i];
        } else if (arg == "--target" && hasValue) {
            exporter.targets.push_back(argv[++i]);
        } else if (command.empty() && (arg == "status" || arg == "echo" || arg == "stop" || arg == "serve")) {
            command = arg;
        } else {
            return Usage(("unexpected argument " + arg).c_str());
        }
    }
    if (command.empty()) return Usage("no command");
    if (json && prometheus) return Usage("--json and --prometheus exclude each other");
    if (!output.empty() && !prometheus) return Usage("--output goes with --prometheus");
    if ((prometheus || json) && command != "status") return Usage("--json and --prometheus go with status");
    if (command == "serve") {
        // Checked here so that a typing error ends the start, not every scrape.
        for (const std::string& t : exporter.targets) {
            std::string targetHost;
            uint16_t targetPort;
            if (!ParseTarget(t, &targetHost, &targetPort)) return Usage(("bad target " + t).c_str());
        }
        if (listen.find(':') == std::string::npos || !ParseTarget(listen, &exporter.listenHost, &exporter.listenPort))
            return Usage("--listen needs ADDR:PORT with a port from 1 to 65535");
        exporter.timeoutMs = static_cast<int>(timeout);
        std::string error;
        if (!Serve(exporter, &error)) {
            std::fprintf(stderr, "veldakor-query: %s\n", error.c_str());
            return kNoAnswer;
        }
        return 0;
    }
    if (prometheus) return PrintPrometheus(host + ":" + std::to_string(port), timeout, output);

    const uint8_t code = command == "status" ? 0x01 : command == "echo" ? 0x00 : 0x10;
    std::vector<uint8_t> reply;
    std::string error;
    switch (SendAndReceive(host, static_cast<uint16_t>(port), {code}, static_cast<int>(timeout), &reply, &error)) {
        case Exchange::TimedOut:
            std::fprintf(stderr, "veldakor-query: no answer from %s:%ld within %ld ms\n", host.c_str(), port, timeout);
            return kNoAnswer;
        case Exchange::Failed:
            std::fprintf(stderr, "veldakor-query: %s\n", error.c_str());
            return kNoAnswer;
        case Exchange::Answered:
            break;
    }

    if (command != "status") {
        if (reply.size() != 1 || reply[0] != code) {
            std::fprintf(stderr, "veldakor-query: unexpected reply of %u bytes to %s\n",
                         static_cast<unsigned>(reply.size()), command.c_str());
            return kNoAnswer;
        }
        std::printf(command == "echo" ? "echo: answered\n" : "stop: the server has stopped\n");
        return 0;
    }
    std::vector<DriveRecord> drives;
    if (!ParseStatusReply(reply, &drives, &error)) {
        std::fprintf(stderr, "veldakor-query: %s\n", error.c_str());
        return kNoAnswer;
    }
    if (json) {
        std::printf("%s\n", DrivesJson(drives).c_str());
    } else {
        for (const DriveRecord& d : drives) std::printf("%s\n", DriveLine(d).c_str());
        if (drives.empty()) std::printf("no drives\n");
    }
    return WorstHealth(drives);
}
