// Status queries per second and latency percentiles of a UDP status
// service: a number of clients, each sending one status query and waiting
// for its reply before the next.
//
//   udp_bench PORT CLIENTS QUERIES_PER_CLIENT
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Result {
    std::vector<double> latencies;  // microseconds
    int lost = 0;
};

void RunClient(int port, int queries, Result* result) {
    const int s = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in target = {};
    target.sin_family = AF_INET;
    target.sin_port = htons(static_cast<uint16_t>(port));
    target.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::vector<char> reply(65535);
    for (int q = 0; q < queries; ++q) {
        const char command = 0x01;
        const Clock::time_point start = Clock::now();
        sendto(s, &command, 1, 0, reinterpret_cast<sockaddr*>(&target), sizeof target);
        pollfd p = {s, POLLIN, 0};
        if (poll(&p, 1, 2000) <= 0 || recv(s, reply.data(), reply.size(), 0) != 3264) {
            ++result->lost;
            continue;
        }
        result->latencies.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    close(s);
}

double Percentile(const std::vector<double>& sorted, double p) {
    if (sorted.empty()) return 0;
    return sorted[std::min(sorted.size() - 1, static_cast<size_t>(p * static_cast<double>(sorted.size())))];
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: udp_bench PORT CLIENTS QUERIES_PER_CLIENT\n");
        return 2;
    }
    const int port = std::atoi(argv[1]), clients = std::atoi(argv[2]), queries = std::atoi(argv[3]);
    std::vector<Result> results(clients);
    std::vector<std::thread> threads;
    const Clock::time_point start = Clock::now();
    for (int c = 0; c < clients; ++c) threads.emplace_back(RunClient, port, queries, &results[c]);
    for (std::thread& t : threads) t.join();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();

    std::vector<double> all;
    int lost = 0;
    for (const Result& r : results) {
        all.insert(all.end(), r.latencies.begin(), r.latencies.end());
        lost += r.lost;
    }
    std::sort(all.begin(), all.end());
    std::printf("%zu answered, %d lost, %.0f queries/s, latency us p50 %.0f p90 %.0f p99 %.0f max %.0f\n",
                all.size(), lost, static_cast<double>(all.size()) / seconds, Percentile(all, 0.5),
                Percentile(all, 0.9), Percentile(all, 0.99), all.empty() ? 0.0 : all.back());
    return lost == 0 ? 0 : 1;
}
