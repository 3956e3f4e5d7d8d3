#!/usr/bin/env python3
"""UDP campaign: random datagrams (lengths 0 to 2,048, any first byte but the
stop command) against the status service of veldakor-sim.exe under Wine.
Every 50 datagrams an echo must come back (which also keeps the socket's
queue from overflowing: a datagram the system drops is not the program's
doing, so an echo may be asked three times); every SAMPLE datagrams the program's counts are read
from inside it (winprobe counts) and the unknown-command box, which at most
one thread may show at a time, is dismissed. At the end echo and status must
still answer as at the start, and the handles, threads, GDI and USER objects
must be where they started.

usage: bench/udp_campaign.py [--preset windows|windows64] [DATAGRAMS [SAMPLE]]
       (default 1000000 datagrams, counts every 100000)
"""

import os
import random
import socket
import sys
import time

top = os.path.dirname(os.path.dirname(os.path.realpath(__file__)))
sys.path.insert(0, os.path.join(top, "tests", "e2e"))
sys.path.insert(0, os.path.join(top, "bench"))
import app_e2e  # noqa: E402
from soak import COUNTS, preset_wine, sample  # noqa: E402

STOP = 0x10
NOTICE = "確認情報"


def campaign(wine, datagrams, every):
    port = app_e2e.service_port()
    wine.write_settings(app_e2e.settings_file(Global={"Run": 1}, Server={"Enable": 1, "Port": port}))
    program = app_e2e.Program(wine)
    hwnd = program.wait_shown()["hwnd"]
    client = app_e2e.Client(port)
    app_e2e.check(app_e2e.wait_answer(client), "the status service does not answer")
    status = client.ask(b"\x01")
    app_e2e.check(status is not None and len(status) == 16 * 204, "no status at the start")
    # The first box a process shows sets up what every later one reuses.
    client.ask(b"\x02", 0.5)
    end = time.monotonic() + 10
    while wine.probe("box", NOTICE, "dismiss")[0] != 0:
        app_e2e.check(time.monotonic() < end, "no box for an unknown command")
    time.sleep(2.0)
    first = sample(wine, hwnd)
    print("datagrams      private  handles  threads      gdi     user")
    print("%9d %12d %8d %8d %8d %8d" % ((0,) + tuple(first[k] for k in COUNTS)))

    sender = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    sender.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 1 << 20)
    sender.setblocking(False)
    chooser = random.Random(20261208)
    most_threads = first["threads"]
    started = time.monotonic()
    for n in range(1, datagrams + 1):
        length = chooser.randint(0, 2048)
        data = bytearray(chooser.getrandbits(8) for _ in range(min(length, 16))) + bytes(max(0, length - 16))
        if length and data[0] == STOP:
            data[0] = chooser.choice([b for b in range(256) if b != STOP])
        sender.sendto(bytes(data), ("127.0.0.1", port))
        if n % 50 == 0:
            try:
                while True:
                    sender.recv(65535)  # the replies to random echoes and status queries
            except BlockingIOError:
                pass
            app_e2e.check(any(client.ask(b"\x00", 1.0) == b"\x00" for _ in range(3)),
                          "no echo after %d datagrams" % n)
        if n % every == 0:
            counts = sample(wine, hwnd)
            most_threads = max(most_threads, counts["threads"])
            print("%9d %12d %8d %8d %8d %8d" % ((n,) + tuple(counts[k] for k in COUNTS)))
            wine.probe("box", NOTICE, "dismiss")
    took = time.monotonic() - started

    wine.probe("box", NOTICE, "dismiss")
    time.sleep(1.0)
    app_e2e.check(client.ask(b"\x00") == b"\x00", "no echo at the end")
    reply = client.ask(b"\x01")
    app_e2e.check(reply is not None and len(reply) == len(status), "no status at the end")
    for i in range(16):
        app_e2e.check(app_e2e.record(reply, i)["model"] == app_e2e.record(status, i)["model"],
                      "record %d changed its drive" % i)
    last = sample(wine, hwnd)
    print("%9s %12d %8d %8d %8d %8d" % (("end",) + tuple(last[k] for k in COUNTS)))
    program.close()
    print("%d datagrams in %.0f s; the most threads at a sample: %d (%d at the start); change: %s"
          % (datagrams, took, most_threads, first["threads"],
             ", ".join("%s %+d" % (k, last[k] - first[k]) for k in COUNTS)))
    problems = [k for k in COUNTS[1:] if last[k] > first[k]]
    if most_threads > first["threads"] + 1:
        problems.append("more than one box thread")
    return problems


def main(argv):
    wine, args = preset_wine(argv[1:])
    datagrams = int(args[0]) if args else 1000000
    every = int(args[1]) if len(args) > 1 else 100000
    try:
        problems = campaign(wine, datagrams, every)
    except app_e2e.Failure as failure:
        sys.stderr.write("FAILED: %s\n" % failure)
        return 1
    finally:
        for program in app_e2e.STARTED:
            program.kill()
        wine.remove_settings()
    if problems:
        sys.stderr.write("FAILED: %s\n" % ", ".join(problems))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
