#!/usr/bin/env python3
"""Benchmark of the status service: status queries per second and latency
percentiles against veldakor-sim.exe under Wine, beside a minimal UDP
responder run the same way (the floor of this platform), and their ratio.

usage: bench/udp_bench.py [--preset windows|windows64] [CLIENTS [QUERIES_PER_CLIENT]]
Needs the native preset (udp_bench) and the Windows preset (udp_floor and
veldakor-sim; windows, the 32-bit build, unless named) built, and a display
(xvfb-run -a bench/udp_bench.py).
"""

import os
import re
import subprocess
import sys
import time

top = os.path.dirname(os.path.dirname(os.path.realpath(__file__)))
sys.path.insert(0, os.path.join(top, "tests", "e2e"))
import app_e2e  # noqa: E402

NATIVE_BIN = os.path.join(top, "build", "native", "bin")
ARCHES = {"windows": "win32", "windows64": "win64"}


def measure(port, clients, queries):
    out = subprocess.run([os.path.join(NATIVE_BIN, "udp_bench"), str(port), str(clients), str(queries)],
                         stdout=subprocess.PIPE, check=True).stdout.decode().strip()
    print("  " + out)
    return float(re.search(r"([0-9.]+) queries/s", out).group(1))


def main():
    args = sys.argv[1:]
    preset = "windows"
    if args[:1] == ["--preset"] and len(args) > 1 and args[1] in ARCHES:
        preset, args = args[1], args[2:]
    clients = int(args[0]) if len(args) > 0 else 4
    queries = int(args[1]) if len(args) > 1 else 5000
    win_bin = os.path.join(top, "build", preset, "bin")
    prefix = os.path.join(top, "build", preset, "wineprefix")
    subprocess.run([os.path.join(top, "scripts", "wine-prefix"), prefix, ARCHES[preset]], check=True)
    wine = app_e2e.Wine(win_bin, NATIVE_BIN, prefix, ARCHES[preset])
    port = app_e2e.service_port()

    print("%s: floor (udp_floor.exe under Wine):" % preset)
    floor_process = subprocess.Popen([wine.loader, os.path.join(win_bin, "udp_floor.exe"), str(port)], env=wine.env,
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    client = app_e2e.Client(port)
    end = time.monotonic() + 20
    while time.monotonic() < end and client.ask(b"\x01", 0.5) is None:
        pass
    floor = measure(port, clients, queries)
    client.ask(b"\x10")
    floor_process.wait(timeout=20)

    print("veldakor-sim.exe (demo drives, monitoring every 2 minutes):")
    wine.write_settings(app_e2e.settings_file(Global={"Run": 1}, Server={"Enable": 1, "Port": port}))
    program = app_e2e.Program(wine)
    try:
        program.wait_window()
        app_e2e.wait_answer(client)
        service = measure(port, clients, queries)
        program.close()
    finally:
        program.kill()
        wine.remove_settings()
    print("ratio service/floor: %.2f" % (service / floor))


if __name__ == "__main__":
    main()
