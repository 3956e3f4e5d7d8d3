#!/usr/bin/env python3
"""Soak: veldakor-sim.exe under Wine polling 16 drives whose values change on
every poll, without a pause (Global.Timer 0 with Debug), while clients ask
the status service all the time. Every SAMPLE cycles it reads the program's
private bytes, kernel handles, threads, GDI and USER objects from inside it
(winprobe counts) and prints the growth per 10,000 cycles against the first
sample, taken after a warm-up (2,000 cycles, or half a shorter soak).

usage: bench/soak.py [--preset windows|windows64] [CYCLES [SAMPLE]]
       (default 100000 cycles, a sample every 10000)
       bench/soak.py BIN_DIR NATIVE_BIN_DIR WINEPREFIX win32|win64 CYCLES SAMPLE
       (the form ./test runs, with a short soak)
Exits 1 when the threads, GDI or USER objects grew, when the handles grew by
more than the one in passing, when the private bytes grew by more than a page
per 1,000 cycles, or when a reply was wrong.
"""

import os
import subprocess
import sys
import threading
import time

top = os.path.dirname(os.path.dirname(os.path.realpath(__file__)))
sys.path.insert(0, os.path.join(top, "tests", "e2e"))
import app_e2e  # noqa: E402
from fault_e2e import LOCKSTEP, REPLY_SIZE, add_drive, drive_set, lockstep_ini  # noqa: E402

ARCHES = {"windows": "win32", "windows64": "win64"}
WARM_UP = 2000  # cycles before the first sample, at most half the soak's
COUNTS = ("private", "handles", "threads", "gdi", "user")
PAGE = 4096
READS = 3  # reads per sample, the lowest kept
# Even the lowest of three reads may still catch that passing handle; a leak
# of one handle per poll or per reply would show as hundreds.
SLACK = {"handles": 1}


class Soaked:
    """veldakor-sim.exe with its debugger lines counted, not kept: a cycle is
    one line for the last slot."""

    def __init__(self, wine, cwd):
        self.cycles = 0
        self.process = subprocess.Popen([wine.loader, os.path.join(wine.bin_dir, "veldakor-sim.exe")], cwd=cwd,
                                        env=wine.env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                        stderr=subprocess.PIPE)
        threading.Thread(target=self._count, daemon=True).start()

    def _count(self):
        for line in self.process.stderr:
            if b"UPDATE DEV[15]" in line:
                self.cycles += 1

    def wait_cycles(self, n, timeout=600):
        end = time.monotonic() + timeout
        while self.cycles < n:
            app_e2e.check(self.process.poll() is None, "the program ended")
            app_e2e.check(time.monotonic() < end, "only %d cycles of %d" % (self.cycles, n))
            time.sleep(0.05)


class Load:
    """Clients asking for the status until stopped; every reply is checked."""

    def __init__(self, port, clients=2):
        self.running, self.replies, self.problems = True, 0, []
        self.threads = [threading.Thread(target=self._ask, args=(port,), daemon=True) for _ in range(clients)]
        for thread in self.threads:
            thread.start()

    def _ask(self, port):
        client = app_e2e.Client(port)
        while self.running:
            reply = client.ask(b"\x01", 5.0)
            if reply is None or len(reply) != REPLY_SIZE:
                self.problems.append("a status reply of %s bytes" % (reply and len(reply)))
                return
            for i in range(16):
                r = app_e2e.record(reply, i)
                if not (r["raw05"] == r["rawC4"] == r["rawC5"] == r["rawC6"] and r["temperature"] == 29 + r["raw05"]):
                    self.problems.append("torn record %d: %r" % (i, r))
                    return
            self.replies += 1
            time.sleep(0.001)  # load, not a flood that leaves the program no processor

    def stop(self):
        self.running = False
        for thread in self.threads:
            thread.join(10)


def sample(wine, hwnd):
    code, out = wine.probe("counts", hwnd)
    app_e2e.check(code == 0, "the program's counts could not be read")
    words = out.split()
    return dict((words[k], int(words[k + 1])) for k in range(0, len(words), 2))


def soak(wine, cycles, every):
    folder = drive_set()
    for number in range(16):
        add_drive(folder, number, "SOAK DRIVE %02d" % number, LOCKSTEP, lockstep_ini())
    port = app_e2e.service_port()
    # The window away from the pointer, which Xvfb starts in the middle of
    # the screen: a panel's tooltip shown at one sample and not at another
    # would count as growth.
    wine.write_settings(app_e2e.settings_file(Global={"Run": 1, "Debug": 1, "Timer": 0, "Monitor": 1,
                                                      "X": 700, "Y": 600},
                                              Server={"Enable": 1, "Port": port}))
    program = Soaked(wine, folder)
    load = None
    try:
        end = time.monotonic() + 30
        window = None
        while window is None or not window["visible"]:
            app_e2e.check(time.monotonic() < end, "no window")
            time.sleep(0.3)
            window = wine.window()
        app_e2e.check(app_e2e.wait_answer(app_e2e.Client(port)), "the status service does not answer")
        load = Load(port)
        program.wait_cycles(min(WARM_UP, cycles // 2))
        samples = []
        start = program.cycles
        print("cycle        private  handles  threads      gdi     user")
        while True:
            at = program.cycles
            # A handle in use for a moment moves the count between two values
            # from read to read (about one read in five): the lowest of three.
            reads = [sample(wine, window["hwnd"]) for _ in range(READS)]
            counts = dict((k, min(read[k] for read in reads)) for k in COUNTS)
            samples.append((at - start, counts))
            print("%7d %14d %8d %8d %8d %8d" % ((at - start,) + tuple(counts[k] for k in COUNTS)))
            if at - start >= cycles:
                break
            program.wait_cycles(start + (at - start) // every * every + every)
        load.stop()
        app_e2e.check(not load.problems, "; ".join(load.problems[:3]))
        app_e2e.check(program.process.poll() is None, "the program ended")
        wine.post(window["hwnd"], app_e2e.WM_SYSCOMMAND, app_e2e.SC_CLOSE)
        app_e2e.check(program.process.wait(timeout=20) == 1, "the program did not end with status 1")
    finally:
        if load:
            load.stop()
        if program.process.poll() is None:
            program.process.kill()
            program.process.wait()

    (first_at, first), (last_at, last) = samples[0], samples[-1]
    span = last_at - first_at
    growth = dict((k, (last[k] - first[k]) * 10000.0 / span) for k in COUNTS)
    print("%d cycles under load (%d status replies): growth per 10,000 cycles: %s"
          % (span, load.replies, ", ".join("%s %+.1f" % (k, growth[k]) for k in COUNTS)))
    grown = [k for k in COUNTS[1:] if last[k] - first[k] > SLACK.get(k, 0)]
    if last["private"] - first["private"] > PAGE * max(1, span // 1000):
        grown.append("private")
    return grown


def preset_wine(args):
    """The Wine of the build a leading `--preset P` names (windows unless
    named), with its prefix made; and the remaining arguments."""
    preset = "windows"
    if args[:1] == ["--preset"] and len(args) > 1 and args[1] in ARCHES:
        preset, args = args[1], args[2:]
    prefix = os.path.join(top, "build", preset, "wineprefix")
    subprocess.run([os.path.join(top, "scripts", "wine-prefix"), prefix, ARCHES[preset]], check=True)
    return app_e2e.Wine(os.path.join(top, "build", preset, "bin"), os.path.join(top, "build", "native", "bin"),
                        prefix, ARCHES[preset]), args


def main(argv):
    if len(argv) == 7:
        wine = app_e2e.Wine(argv[1], argv[2], argv[3], argv[4])
        cycles, every = int(argv[5]), int(argv[6])
    else:
        wine, args = preset_wine(argv[1:])
        cycles = int(args[0]) if args else 100000
        every = int(args[1]) if len(args) > 1 else 10000
    try:
        grown = soak(wine, cycles, every)
    except app_e2e.Failure as failure:
        sys.stderr.write("FAILED: %s\n" % failure)
        return 1
    finally:
        wine.remove_settings()
    if grown:
        sys.stderr.write("FAILED: grew over the soak: %s\n" % ", ".join(grown))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
