#!/usr/bin/env python3
"""Benchmark of the exporter's /metrics over 16 targets: veldakor-sim.exe
under Wine (the built-in demonstration drives) and 15 native responders
that replay its recorded reply, all queried by the native veldakor-query
serve. Beside it, the 16 UDP status queries alone, sent at once from this
process. Prints the medians of RUNS rounds and their ratio.

usage: bench/exporter_bench.py [--preset windows|windows64] [--query PATH] [RUNS]
Needs the Windows preset (windows64 unless named), the exporter (the native
build's veldakor-query unless named; a .exe runs under Wine) and a display
(xvfb-run -a -s "-screen 0 1280x1024x24" bench/exporter_bench.py). The
native preset runs under ASan and UBSan; for figures, build a release one:
cmake -S . -B build/native-release -DCMAKE_BUILD_TYPE=Release -DVK_TESTS=OFF
cmake --build build/native-release --target veldakor-query
"""

import os
import selectors
import socket
import statistics
import subprocess
import sys
import tempfile
import time
import urllib.request

top = os.path.dirname(os.path.dirname(os.path.realpath(__file__)))
sys.path.insert(0, os.path.join(top, "tests", "e2e"))
import app_e2e  # noqa: E402

ARCHES = {"windows": "win32", "windows64": "win64"}
RESPONDERS = 15
TIMEOUT_MS = 2000

# One process, one socket a responder, each answering 0x01 with the reply.
RESPONDER = r"""
import selectors, socket, sys
reply = sys.stdin.buffer.read()
sel = selectors.DefaultSelector()
ports = []
for _ in range(int(sys.argv[1])):
    s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    s.bind(("127.0.0.1", 0))
    sel.register(s, selectors.EVENT_READ)
    ports.append(str(s.getsockname()[1]))
print(" ".join(ports), flush=True)
while True:
    for key, _ in sel.select():
        data, peer = key.fileobj.recvfrom(65535)
        if data == b"\x01":
            key.fileobj.sendto(reply, peer)
"""


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def udp_round(ports):
    """Seconds for one status query to each port, all sent at once."""
    sel = selectors.DefaultSelector()
    socks = []
    start = time.perf_counter()
    for port in ports:
        s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        s.setblocking(False)
        s.sendto(b"\x01", ("127.0.0.1", port))
        sel.register(s, selectors.EVENT_READ)
        socks.append(s)
    left = len(socks)
    while left:
        events = sel.select(TIMEOUT_MS / 1000)
        if not events:
            raise RuntimeError("a UDP query went unanswered")
        for key, _ in events:
            if len(key.fileobj.recv(65535)) != 3264:
                raise RuntimeError("a short reply")
            sel.unregister(key.fileobj)
            left -= 1
    took = time.perf_counter() - start
    for s in socks:
        s.close()
    return took


def scrape_round(url, targets):
    start = time.perf_counter()
    with urllib.request.urlopen(url, timeout=10) as r:
        text = r.read().decode()
    took = time.perf_counter() - start
    up = [line for line in text.splitlines() if line.startswith("veldakor_up{") and line.endswith(" 1")]
    if len(up) != targets:
        raise RuntimeError("%d of %d targets up" % (len(up), targets))
    return took


def main(argv):
    preset, runs, query = "windows64", 50, None
    args = list(argv[1:])
    while args[:1] in (["--preset"], ["--query"]):
        if args[0] == "--preset":
            preset = args[1]
        else:
            query = os.path.realpath(args[1])
        args = args[2:]
    if args:
        runs = int(args[0])
    build = os.path.join(top, "build", preset)
    wine = app_e2e.Wine(os.path.join(build, "bin"), os.path.join(top, "build", "native", "bin"),
                        os.path.join(build, "wineprefix"), ARCHES[preset])
    service = app_e2e.service_port()
    wine.write_settings(app_e2e.settings_file(Global={"Run": 1}, Server={"Enable": 1, "Port": service}))
    program = app_e2e.Program(wine, cwd=tempfile.mkdtemp(prefix="vk-bench-"))
    started = []
    try:
        program.wait_window()
        client = app_e2e.Client(service)
        if not app_e2e.wait_answer(client):
            raise RuntimeError("the simulator build does not answer")
        reply = client.ask(b"\x01")
        responder = subprocess.Popen([sys.executable, "-c", RESPONDER, str(RESPONDERS)], stdin=subprocess.PIPE,
                                     stdout=subprocess.PIPE)
        started.append(responder)
        responder.stdin.write(reply)
        responder.stdin.close()
        ports = [service] + [int(p) for p in responder.stdout.readline().split()]
        listen = free_port()
        query = query or os.path.join(wine.native_bin, "veldakor-query")
        command = ([wine.loader] if query.endswith(".exe") else []) + [query, "serve", "--listen",
                                                                       "127.0.0.1:%d" % listen, "--timeout",
                                                                       str(TIMEOUT_MS)]
        for port in ports:
            command += ["--target", "127.0.0.1:%d" % port]
        started.append(subprocess.Popen(command, env=wine.env))
        url = "http://127.0.0.1:%d/metrics" % listen
        for _ in range(100):
            try:
                scrape_round(url, len(ports))
                break
            except OSError:
                time.sleep(0.1)
        scrapes, queries = [], []
        for _ in range(runs):
            scrapes.append(scrape_round(url, len(ports)))
            queries.append(udp_round(ports))
        scrape, udp = statistics.median(scrapes), statistics.median(queries)
        print("/metrics over %d targets: median %.1f ms, max %.1f ms (timeout %d ms)"
              % (len(ports), scrape * 1000, max(scrapes) * 1000, TIMEOUT_MS))
        print("the %d UDP queries alone: median %.1f ms" % (len(ports), udp * 1000))
        print("ratio: %.2f" % (scrape / udp))
        return 0 if max(scrapes) * 1000 < TIMEOUT_MS else 1
    finally:
        for p in started:
            p.kill()
            p.wait()
        program.close()
        wine.remove_settings()


if __name__ == "__main__":
    sys.exit(main(sys.argv))
