#!/usr/bin/env python3
"""Benchmark of starting and ending: time to the first status reply, working
set and time to end under load, of veldakor-sim.exe under Wine beside
bare_dialog.exe (a bare dialog with a UDP echo, the floor of this platform),
both run the same way, RUNS times each, alternating; prints the medians and
their ratio.

usage: bench/start_bench.py [--preset windows|windows64] [RUNS]
Needs the Windows preset (bare_dialog, veldakor-sim and winprobe; windows,
the 32-bit build, unless named) built, and a display
(xvfb-run -a -s "-screen 0 1280x1024x24" bench/start_bench.py).

- start: from Popen to the first answered one-byte echo, polled every 20 ms;
- working set: VmRSS of the process 2 s after the first reply with the
  window shown (under Wine the Popen'd loader is the Windows process: checked
  on every run by the exe being mapped in it);
- exit: with 4 clients querying the service without pause, from the post of
  WM_COMMAND "exit" to the end of the process. winprobe takes a few hundred
  milliseconds to start, so the post's moment is taken from its own trace
  line (WINEDEBUG +timestamp,+msg: Wine's tick count is CLOCK_MONOTONIC_RAW),
  else from the probe's return.
"""

import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import threading
import time

top = os.path.dirname(os.path.dirname(os.path.realpath(__file__)))
sys.path.insert(0, os.path.join(top, "tests", "e2e"))
import app_e2e  # noqa: E402

ARCHES = {"windows": "win32", "windows64": "win64"}
BARE_TITLE = "Bare dialog"
COMMAND_EXIT = 32930
CLIENTS = 4


def now():
    # The clock of Wine's debug timestamps.
    return time.clock_gettime(time.CLOCK_MONOTONIC_RAW)


class Subject:
    def __init__(self, name, exe, args, title, query):
        self.name, self.exe, self.args, self.title, self.query = name, exe, args, title, query


def first_reply(client, process, started):
    while now() < started + 30:
        try:
            if client.ask(b"\x00", 0.02) == b"\x00":
                return now() - started
        except OSError:
            time.sleep(0.02)
        app_e2e.check(process.poll() is None, "ended before answering, exit status %s" % process.returncode)
    raise app_e2e.Failure("no answer within 30 s")


def wait_shown(wine, title):
    end = time.monotonic() + 30
    while time.monotonic() < end:
        code, out = wine.probe("window", title)
        if code == 0 and out.split()[1] == "1":
            return out.split()[0]
        time.sleep(0.1)
    raise app_e2e.Failure("no window %r shown" % title)


def maps(pid, exe):
    try:
        with open("/proc/%d/maps" % pid) as f:
            return any(exe in line for line in f)
    except OSError:
        return False


def windows_process(pid, exe):
    """The Linux process that is the Windows one: the Popen'd one, else a
    descendant that maps the exe."""
    if maps(pid, exe):
        return pid
    parents = {}
    for entry in os.listdir("/proc"):
        try:
            with open("/proc/%s/stat" % entry) as f:
                parents[int(entry)] = int(f.read().rsplit(")", 1)[1].split()[1])
        except (OSError, ValueError):
            pass
    found = [p for p in parents if maps(p, exe) and pid in ancestors(p, parents)]
    app_e2e.check(found, "no process maps %s" % exe)
    return found[0]


def ancestors(pid, parents):
    seen = []
    while pid in parents and pid > 1:
        pid = parents[pid]
        seen.append(pid)
    return seen


def vmrss_mb(pid):
    with open("/proc/%d/status" % pid) as f:
        kb = int(re.search(r"^VmRSS:\s+(\d+) kB", f.read(), re.M).group(1))
    return kb / 1024.0


def post_exit(wine, hwnd):
    """Posts "exit" with winprobe; the moment of the post and whether it came
    from winprobe's trace."""
    env = dict(wine.env, WINEDEBUG="+timestamp,+msg")
    before = now()
    result = subprocess.run([wine.loader, os.path.join(wine.bin_dir, "winprobe.exe"), "post", hwnd,
                             str(app_e2e.WM_COMMAND), str(COMMAND_EXIT), "0"],
                            env=env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, timeout=60)
    after = now()
    app_e2e.check(result.returncode == 0, "could not post exit")
    found = re.search(r"^(\d+\.\d{3}):\S*:trace:msg:\S*PostMessage\S* hwnd \S+ msg 111 ",
                      result.stderr.decode("latin-1"), re.M)
    if found and before - 0.002 <= float(found.group(1)) <= after + 0.002:
        return float(found.group(1)), True
    return after, False


def timed_exit(wine, process, hwnd, port, query, load=True):
    stop = threading.Event()
    answered = [0] * CLIENTS

    def hammer(k):
        client = app_e2e.Client(port)
        while not stop.is_set():
            try:
                answered[k] += client.ask(query, 0.2) is not None
            except OSError:
                time.sleep(0.01)
        client.sock.close()

    ended = []

    def waiter():
        process.wait()
        ended.append(now())
        stop.set()

    threads = [threading.Thread(target=hammer, args=(k,)) for k in range(CLIENTS if load else 0)]
    threads.append(threading.Thread(target=waiter))
    for t in threads:
        t.start()
    time.sleep(0.5)  # the load under way
    app_e2e.check(not load or sum(answered) > 0, "the service answered no query")
    posted, traced = post_exit(wine, hwnd)
    for t in threads:
        t.join(30)
    app_e2e.check(ended, "the program did not end")
    return ended[0] - posted, traced, process.returncode


def run_once(wine, subject, port, load=True):
    """start (s), working set (MB), exit (s), whether the post was traced."""
    cwd = tempfile.mkdtemp(prefix="vk-bench-")
    client = app_e2e.Client(port)
    started = now()
    process = subprocess.Popen([wine.loader, subject.exe] + subject.args, cwd=cwd, env=wine.env,
                               stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        start = first_reply(client, process, started)
        hwnd = wait_shown(wine, subject.title)
        time.sleep(2.0)
        pid = windows_process(process.pid, subject.exe)
        app_e2e.check(pid == process.pid, "the Windows process is %d, not the Popen'd %d" % (pid, process.pid))
        rss = vmrss_mb(pid)
        ending, traced, code = timed_exit(wine, process, hwnd, port, subject.query, load)
        app_e2e.check(code == 1, "%s: exit status %d, not 1" % (subject.name, code))
        return start, rss, ending, traced
    finally:
        if process.poll() is None:
            process.kill()
            process.wait()
        client.sock.close()
        shutil.rmtree(cwd, ignore_errors=True)


def figure(label, unit, digits, program, bare, extra=""):
    print("%-32s veldakor-sim %.*f %s, bare %.*f %s, ratio %.2f%s"
          % (label + ":", digits, program, unit, digits, bare, unit, program / bare, extra))


def main():
    args = sys.argv[1:]
    preset = "windows"
    if args[:1] == ["--preset"] and len(args) > 1 and args[1] in ARCHES:
        preset, args = args[1], args[2:]
    runs = int(args[0]) if args else 10
    win_bin = os.path.join(top, "build", preset, "bin")
    prefix = os.path.join(top, "build", preset, "wineprefix")
    subprocess.run([os.path.join(top, "scripts", "wine-prefix"), prefix, ARCHES[preset]], check=True)
    wine = app_e2e.Wine(win_bin, os.path.join(top, "build", "native", "bin"), prefix, ARCHES[preset])
    port = app_e2e.service_port()
    subjects = [Subject("bare", os.path.join(wine.bin_dir, "bare_dialog.exe"), [str(port)], BARE_TITLE, b"\x01"),
                Subject("veldakor-sim", os.path.join(wine.bin_dir, "veldakor-sim.exe"), [], app_e2e.TITLE, b"\x01")]
    # Read by veldakor-sim only; demo drives (its working directory has no simdrives).
    wine.write_settings(app_e2e.settings_file(Global={"Run": 1, "Monitor": 1}, Server={"Enable": 1, "Port": port}))
    results = {s.name: [] for s in subjects}
    untraced = 0
    print("%s: %d runs each, alternating (start s, working set MB, exit under load s):" % (preset, runs))
    try:
        for k in range(runs):
            line = "  run %2d:" % (k + 1)
            for subject in subjects:
                start, rss, ending, traced = run_once(wine, subject, port)
                untraced += not traced
                results[subject.name].append((start, rss, ending))
                line += "  %s %.3f %.1f %.3f" % (subject.name, start, rss, ending)
            print(line)
    finally:
        wine.remove_settings()
    medians = {name: [statistics.median(r[i] for r in rows) for i in range(3)] for name, rows in results.items()}
    program, bare = medians["veldakor-sim"], medians["bare"]
    figure("start, Popen to first reply", "s", 3, program[0], bare[0])
    figure("working set 2 s after start", "MB", 1, program[1], bare[1],
           ", difference %+.1f MB (budget +4 MB)" % (program[1] - bare[1]))
    figure("exit under load, post to end", "s", 3, program[2], bare[2], " (budget 1.1 s for veldakor-sim)")
    if untraced:
        print("(%d posts without winprobe's trace line: timed from the probe's return)" % untraced)


if __name__ == "__main__":
    main()
