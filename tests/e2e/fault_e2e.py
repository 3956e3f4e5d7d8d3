#!/usr/bin/env python3
"""End-to-end runs against drive sets with faults.

usage: fault_e2e.py BIN_DIR NATIVE_BIN_DIR WINEPREFIX win32|win64 SCENARIO

The same harness as app_e2e.py. Each scenario runs veldakor-sim.exe over a
drive set whose drives fail requests on given polls, vanish, fill every slot,
carry odd blocks, or over settings that cannot be written or name a missing
folder. It checks the reaction through the status service and the window
probe, while a reader thread asks for the status all the time and checks that
no reply is short or carries a torn record. No scenario may leave a file
behind that it should not.
"""

import os
import stat
import subprocess
import sys
import tempfile
import threading
import time

from app_e2e import (WM_COMMAND, Client, Program, Skipped, attribute_block, check, identify_block,
                     read_page, record, run, service_port, settings_file, wait_answer)

REPLY_SIZE = 16 * 204
DEBUG_POLLS = {"Run": 1, "Debug": 1, "Monitor": 1, "Timer": 1}
HEALTHY = [(0x05, 100, 100, 0), (0x09, 99, 99, 1000), (0xC2, 60, 50, 40), (0xC5, 100, 100, 0)]


# --- drive sets ----------------------------------------------------------------

def with_checksum(block, right=True):
    """The block with its last byte making the sum of all 512 zero (or not)."""
    block = bytearray(block)
    block[511] = (-sum(block[:511]) + (0 if right else 1)) & 0xFF
    return bytes(block)


def thresholds_of(entries, value=10):
    block = bytearray(512)
    block[0] = 1
    for k, entry in enumerate(entries):
        block[2 + 12 * k] = entry[0]
        block[3 + 12 * k] = value
    return bytes(block)


def add_drive(folder, number, model, entries=HEALTHY, ini="", checksums=True):
    path = os.path.join(folder, "simdrives", "%02d" % number)
    os.makedirs(path)
    blocks = {"identify.bin": identify_block(model, "SERIAL-%02d" % number, "FW-F"),
              "smart.bin": attribute_block(entries), "thresholds.bin": thresholds_of(entries)}
    for name, block in blocks.items():
        with open(os.path.join(path, name), "wb") as f:
            f.write(with_checksum(block, checksums))
    if ini:
        with open(os.path.join(path, "drive.ini"), "w") as f:
            f.write(ini)


def drive_set():
    folder = tempfile.mkdtemp(prefix="vk-fault-")
    os.makedirs(os.path.join(folder, "simdrives"))
    return folder


def lockstep_ini(extra=""):
    """Counts and temperature that change together on every poll: a reply that
    mixes two evaluations shows them apart."""
    cycle = range(1, 41)
    ini = "[Smart]\nTemperatureCycle = %s\n" % ", ".join(str(29 + v) for v in cycle)
    for k, ident in enumerate((0x05, 0xC4, 0xC5, 0xC6)):
        ini += "RawCycle%d = %d, %s\n" % (k + 1, ident, ", ".join(str(v) for v in cycle))
    return ini + extra


LOCKSTEP = [(0x05, 100, 100, 0), (0x09, 99, 99, 1), (0xC2, 60, 50, 30), (0xC4, 100, 100, 0),
            (0xC5, 100, 100, 0), (0xC6, 100, 100, 0)]


def files_under(folder):
    found = set()
    for top, _, names in os.walk(folder):
        found.update(os.path.relpath(os.path.join(top, name), folder) for name in names)
    return found


# --- watching the running program ------------------------------------------------

class Watch:
    """Asks for the status all the time and checks every reply: its length,
    that each record is zero or belongs to its drive (models given by slot),
    and that the lockstep drives' values belong together."""

    def __init__(self, port, models, lockstep=()):
        self.port, self.models, self.lockstep = port, models, lockstep
        self.problems, self.replies, self.latest = [], 0, None
        self.running = True
        self.thread = threading.Thread(target=self._run, daemon=True)
        self.thread.start()

    def _run(self):
        client = Client(self.port)
        while self.running and not self.problems:
            reply = client.ask(b"\x01", 5.0)
            if reply is None or len(reply) != REPLY_SIZE:
                self.problems.append("a status reply of %s bytes" % (reply and len(reply)))
                return
            self.replies += 1
            self.latest = reply
            for i in range(16):
                chunk = reply[204 * i:204 * (i + 1)]
                r = record(reply, i)
                if i not in self.models:
                    if chunk != bytes(204):
                        self.problems.append("record %d of no drive is not zero" % i)
                elif chunk != bytes(204) and (r["hasData"] != 1 or r["model"] != self.models[i]):
                    self.problems.append("record %d reads %r" % (i, r))
                elif i in self.lockstep and chunk != bytes(204) and not (
                        r["raw05"] == r["rawC4"] == r["rawC5"] == r["rawC6"] and r["temperature"] == 29 + r["raw05"]):
                    self.problems.append("torn record %d: %r" % (i, r))
            time.sleep(0.002)

    def record(self, i):
        return record(self.latest, i)

    def stop(self):
        self.running = False
        self.thread.join(10)
        check(not self.problems, "; ".join(self.problems[:3]))
        check(self.replies > 50, "only %d status replies while the program ran" % self.replies)


def start(wine, folder, settings, models, lockstep=()):
    port = service_port()
    settings = dict(settings)
    settings["Server"] = {"Enable": 1, "Port": port}
    wine.write_settings(settings_file(**settings))
    program = Program(wine, cwd=folder)
    hwnd = program.wait_shown()["hwnd"]
    check(wait_answer(Client(port)), "the status service does not answer")
    return program, hwnd, Watch(port, models, lockstep)


def polls(program, slot):
    """The pointers of the slot's polls so far, as the debugger lines give them."""
    prefix = "UPDATE DEV[%d] " % slot
    return [line[len(prefix):].replace("\\r\\n", "").split() for line in program.updates() if line.startswith(prefix)]


def wait_poll(program, slot, n, timeout=40):
    end = time.monotonic() + timeout
    while len(polls(program, slot)) < n:
        check(time.monotonic() < end, "drive %d did not reach poll %d" % (slot, n))
        check(program.alive(), "the program ended")
        time.sleep(0.1)
    time.sleep(0.4)  # the refresh the poll posted


def wait_until(what, condition, timeout=20):
    end = time.monotonic() + timeout
    while not condition():
        check(time.monotonic() < end, what)
        time.sleep(0.2)


def page_count(wine, hwnd):
    """The pages, counted up to the first that is not there: a probe that
    fails is asked again before the count ends, since under load a probe
    of a page that is there may fail once."""
    k = 0
    while wine.probe("page", hwnd, k)[0] == 0 or (time.sleep(0.3) or wine.probe("page", hwnd, k)[0] == 0):
        k += 1
    return k


def attribute(page, ident):
    rows = [row for row in page["attr"] if row[0] == "%02X" % ident]
    check(rows, "no row for attribute %02X" % ident)
    return rows[0]


def make_read_only(path):
    """Read-only for the program: the mode bits do not stop root, so then the
    file is made immutable as well."""
    os.chmod(path, stat.S_IRUSR | stat.S_IRGRP | stat.S_IROTH)
    if os.geteuid() == 0:
        subprocess.run(["chattr", "+i", path], stderr=subprocess.DEVNULL)
    try:
        open(path, "ab").close()
    except OSError:
        return
    make_writable(path)
    raise Skipped("this file system cannot make a file read-only for root")


def make_writable(path):
    if os.geteuid() == 0:
        subprocess.run(["chattr", "-i", path], stderr=subprocess.DEVNULL)
    os.chmod(path, stat.S_IRUSR | stat.S_IWUSR)


def settled(path):
    """The file once two reads half a second apart agree: a save writes one
    key at a time, each write rewriting the file."""
    before = open(path, "rb").read()
    for _ in range(40):
        time.sleep(0.5)
        now = open(path, "rb").read()
        if now == before:
            break
        before = now
    return before


def no_box(wine):
    for caption in ("エラー情報", "確認画面", "確認情報"):
        check(wine.probe("box", caption)[0] != 0, "a %s box is open" % caption)


# --- scenarios -----------------------------------------------------------------

def failing_polls(wine):
    """Drives whose requests fail on some polls keep what they showed and take
    the fresh values at the next good poll; drives that fail the probe get no
    page, and the drives after them keep their own numbers."""
    # The polls that fail: late enough to look before them, and long enough
    # to look inside them on a loaded machine (a look takes several probes).
    first, last = 8, 15
    folder = drive_set()
    # Drive 0 reads no data while the faults last; what changed meanwhile shows after them.
    add_drive(folder, 0, "E2E DATA FAULTS", ini="[Faults]\nData = %d-%d\n[Smart]\nChange1 = %d, 0x05, 8\n"
              "Temperature = 40, %d:50\n" % (first, last, first, first))
    add_drive(folder, 1, "E2E THRESHOLD FAULTS", ini="[Faults]\nThresholds = %d-%d\n" % (first, last))
    # Drive 2 answers nothing from the first fault on, though its pending count rises.
    add_drive(folder, 2, "E2E GONE", ini="[Faults]\nData = %d\nThresholds = %d\n[Smart]\nChange1 = %d, 0xC5, 5\n"
              % (first, first, first + 1))
    add_drive(folder, 3, "E2E LOCKSTEP", LOCKSTEP, lockstep_ini("[Faults]\nData = %d-%d\n" % (first, last)))
    for number, fault in ((4, "Identify"), (5, "Open"), (6, "Data"), (7, "Version")):
        add_drive(folder, number, "E2E NO PROBE %d" % number, ini="[Faults]\n%s = 0\n" % fault)
    add_drive(folder, 8, "E2E AFTER THE GAP")
    models = {0: "E2E DATA FAULTS", 1: "E2E THRESHOLD FAULTS", 2: "E2E GONE", 3: "E2E LOCKSTEP",
              8: "E2E AFTER THE GAP"}
    before = files_under(folder)
    program, hwnd, watch = start(wine, folder, {"Global": DEBUG_POLLS}, models, lockstep=(3,))

    def seen_before(poll, what):
        check(len(polls(program, 0)) < poll, "too slow to look at %s before poll %d" % (what, poll))

    try:
        wait_poll(program, 0, 1)
        row = attribute(read_page(wine, hwnd, 1), 0x05)
        seen_before(first, "the thresholds")
        check(row[4] == " 10", "the thresholds are not shown before the faults: %r" % row)

        pages = page_count(wine, hwnd)
        check(pages == 5, "%d pages for five drives" % pages)
        captions = [read_page(wine, hwnd, k)["caption"] for k in range(5)]
        check(captions == ["00 ()", "01 ()", "02 ()", "03 ()", "08 ()"], "tab captions %r" % captions)

        # Inside the faults: the last values stay, on the pages and in the records.
        wait_poll(program, 0, first + 1)
        data, limits, gone = watch.record(0), watch.record(1), watch.record(2)
        page, row = read_page(wine, hwnd, 0), attribute(read_page(wine, hwnd, 1), 0x05)
        seen_before(last + 1, "the faults")
        check((data["raw05"], data["temperature"], data["status"], data["hasData"]) == (0, 40, 0, 1),
              "drive 0 without data reads %r" % data)
        check(page["image"] == 0 and attribute(page, 0x05)[5] == "00 00 00 00 00 00",
              "drive 0's page changed without data: image %d, row %r" % (page["image"], attribute(page, 0x05)))
        check(limits["status"] == 0 and limits["hasData"] == 1, "drive 1 without thresholds reads %r" % limits)
        check(row[4] == "-", "thresholds shown while they fail: %r" % row)
        check(gone["status"] == 0 and gone["hasData"] == 1, "the vanished drive reads %r" % gone)
        check(polls(program, 0)[first - 1][0] == "pDA:0x0" and polls(program, 1)[first - 1][1] == "pAT:0x0",
              "the failed reads were not logged as such: %r %r" % (polls(program, 0)[first - 1],
                                                                    polls(program, 1)[first - 1]))

        # The next good poll brings the values read then.
        wait_poll(program, 0, last + 2)
        wait_until("drive 0 did not take its fresh values: %r" % watch.record(0),
                   lambda: (watch.record(0)["raw05"], watch.record(0)["temperature"], watch.record(0)["status"])
                   == (8, 50, 1))
        page = read_page(wine, hwnd, 0)
        check(page["image"] == 1 and attribute(page, 0x05)[5] == "00 00 00 00 00 08",
              "drive 0's page after the faults: image %d, row %r" % (page["image"], attribute(page, 0x05)))
        check(attribute(read_page(wine, hwnd, 1), 0x05)[4] == " 10", "the thresholds did not come back")

        # The vanished drive still shows what it last read, thresholds too, and never the rise.
        gone = watch.record(2)
        check((gone["status"], gone["rawC5"], gone["model"]) == (0, 0, "E2E GONE"),
              "the vanished drive reads %r" % gone)
        page = read_page(wine, hwnd, 2)
        check(page["image"] == 0 and attribute(page, 0xC5)[5] == "00 00 00 00 00 00" and
              attribute(page, 0xC5)[4] == " 10", "the vanished drive's page: %r" % page["attr"])
        check(all(p == ["pDA:0x0", "pAT:0x0"] for p in polls(program, 2)[first - 1:]), "the vanished drive answered")
        check(watch.record(8)["model"] == "E2E AFTER THE GAP", "drive 8 reads %r" % watch.record(8))
    finally:
        watch.stop()
        program.close()
    check(files_under(folder) == before, "files appeared: %r" % sorted(files_under(folder) - before))


def all_slots(wine):
    """Sixteen drives: sixteen pages and sixteen records, each its own."""
    folder = drive_set()
    models = {}
    for number in range(16):
        models[number] = "E2E SLOT %02d" % number
        entries = [(0x05, 100, 100, number), (0x09, 99, 99, 100 + number), (0xC2, 60, 50, 30 + number)]
        ini = lockstep_ini() if number % 4 == 3 else ""
        add_drive(folder, number, models[number], LOCKSTEP if ini else entries, ini)
    program, hwnd, watch = start(wine, folder, {"Global": DEBUG_POLLS}, models, lockstep=(3, 7, 11, 15))
    try:
        pages = page_count(wine, hwnd)
        check(pages == 16, "%d pages for 16 drives" % pages)
        for k in range(16):
            page = read_page(wine, hwnd, k)
            check(page["caption"] == "%02d ()" % k, "page %d is captioned %r" % (k, page["caption"]))
            check(page["texts"][1010].startswith(models[k] + "  "), "page %d shows %r" % (k, page["texts"][1010]))
        wait_poll(program, 15, 3)
        for k in range(16):
            r = watch.record(k)
            check(r["model"] == models[k] and r["serial"] == "SERIAL-%02d" % k, "record %d names %r" % (k, r))
            if k % 4 != 3:
                check((r["raw05"], r["hours"], r["temperature"], r["status"]) == (k, 100 + k, 30 + k, 1 if k else 0),
                      "record %d reads %r" % (k, r))
    finally:
        watch.stop()
        program.close()


def no_drives(wine):
    """No drive at all: the window, the service and every command that needs a
    drive work without one, and nothing is asked or written."""
    folder = drive_set()
    # Drives the probe finds nothing on (an empty set would bring the demo drives).
    add_drive(folder, 0, "E2E NO DEVICE", ini="[Faults]\nOpen = 0\n")
    add_drive(folder, 1, "E2E ATAPI", ini="[Drive]\nATAPI = 1\n")
    before = files_under(folder)
    program, hwnd, watch = start(wine, folder, {"Global": DEBUG_POLLS}, {})
    with open(wine.settings, "rb") as f:
        written = f.read()
    try:
        check(page_count(wine, hwnd) == 0, "a page without drives")
        for command in (32771, 32772, 32773, 32774, 32775, 32776, 32784, 32788):
            wine.post(hwnd, WM_COMMAND, command)
        time.sleep(3.0)
        no_box(wine)
        check(watch.latest == bytes(REPLY_SIZE), "the status of no drives is not all zero")
        check(not program.updates(), "polls of drives that are not there")
    finally:
        watch.stop()
        program.close()
    check(files_under(folder) == before, "files appeared: %r" % sorted(files_under(folder) - before))
    with open(wine.settings, "rb") as f:
        check(f.read() == written, "the settings file changed")


def odd_blocks(wine):
    """Blocks whose checksum is wrong read like right ones, and a drive without
    its temperature attribute reads 0 degrees, never another attribute."""
    folder = drive_set()
    entries = [(0x05, 100, 100, 2), (0x09, 99, 99, 777), (0xC2, 60, 50, 41), (0xC5, 100, 100, 0)]
    add_drive(folder, 0, "E2E CHECKSUMS", entries)
    add_drive(folder, 1, "E2E CHECKSUMS", entries, checksums=False)
    add_drive(folder, 2, "E2E NO TEMPERATURE", [e for e in entries if e[0] != 0xC2])
    # Drive 3's temperature is set to attribute 0xBE, which it does not have.
    add_drive(folder, 3, "E2E OTHER TEMPERATURE", entries)
    models = {0: "E2E CHECKSUMS", 1: "E2E CHECKSUMS", 2: "E2E NO TEMPERATURE", 3: "E2E OTHER TEMPERATURE"}
    program, hwnd, watch = start(wine, folder, {"Global": DEBUG_POLLS, "Drive03": {"Temperature": "0xbe"}}, models)
    try:
        wait_poll(program, 3, 3)
        right, wrong = watch.record(0), watch.record(1)
        wrong["serial"] = right["serial"]
        check(right == wrong, "a wrong checksum changed the record: %r, %r" % (right, wrong))
        check((right["raw05"], right["hours"], right["temperature"], right["status"]) == (2, 777, 41, 1),
              "the drive reads %r" % right)
        check(read_page(wine, hwnd, 0)["attr"] == read_page(wine, hwnd, 1)["attr"],
              "a wrong checksum changed the attribute rows")
        for k in (2, 3):
            r = watch.record(k)
            check((r["temperature"], r["maxTemperature"], r["status"], r["raw05"]) == (0, 0, 1, 2),
                  "drive %d without its temperature attribute reads %r" % (k, r))
    finally:
        watch.stop()
        program.close()


def settings_faults(wine):
    """A settings file that cannot be written is left as it is and nothing is
    reported; a Global.Path that does not exist, or is too long, leaves the
    built-in images and clears the external icons."""
    folder = drive_set()
    add_drive(folder, 0, "E2E CAUTION", [(0x05, 100, 100, 3), (0x09, 99, 99, 10), (0xC2, 60, 50, 35)])
    models = {0: "E2E CAUTION"}
    program, hwnd, watch = start(wine, folder, {"Global": DEBUG_POLLS}, models)
    with open(wine.settings, "rb") as f:
        written = f.read()
    make_read_only(wine.settings)
    try:
        check(read_page(wine, hwnd, 0)["image"] == 1, "the drive is not shown with caution")
        wine.post(hwnd, WM_COMMAND, 32912)
        wine.post(hwnd, WM_COMMAND, 32773)
        wait_until("no question for the thresholds", lambda: wine.probe("box", "確認画面", "yes")[0] == 0)
        wait_until("the thresholds were not taken", lambda: read_page(wine, hwnd, 0)["image"] == 0)
        time.sleep(1.0)
        no_box(wine)
        check(program.alive(), "the program ended")
    finally:
        watch.stop()
        program.close()
        make_writable(wine.settings)
    with open(wine.settings, "rb") as f:
        check(f.read() == written, "the read-only settings file changed")

    # A string setting keeps at most 1,023 characters.
    for path, kept in (("C:\\vk no such folder", "C:\\vk no such folder"), ("C:\\" + "x" * 1100, "C:\\" + "x" * 1020)):
        program, hwnd, watch = start(wine, folder, {"Global": dict(DEBUG_POLLS, Path=path),
                                                    "Icon": {"Enable": 1}, "Bitmap": {"Enable": 1}}, models)
        try:
            check(read_page(wine, hwnd, 0)["image"] == 1, "no status image with Path %.40r" % path)
            wine.post(hwnd, WM_COMMAND, 32912)
            wait_until("the settings were not saved", lambda: b"[Icon]\r\nEnable=0\r\n" in open(wine.settings,
                                                                                                 "rb").read())
            saved = settled(wine.settings)
            check(b"[Bitmap]\r\nEnable=1\r\n" in saved, "the external bitmaps were switched off")
            check(("Path=%s\r\n" % kept).encode() in saved, "Path was not kept")
            no_box(wine)
        finally:
            watch.stop()
            program.close()


def look_settings(wine):
    """Graph, shadow, picture-position and font values at the ends of what the
    settings file holds: the window is shown, its page is drawn and read, and
    it goes on answering over the polls that draw the graph."""
    folder = drive_set()
    add_drive(folder, 0, "E2E LOOKS", HEALTHY)
    models = {0: "E2E LOOKS"}
    graph_shown = {"Global": DEBUG_POLLS, "View": {"Basic": 0, "Shadow": 1}}
    font = lambda height: "%d,%d,0,0,700,0,0,0,0,0,0,0,0,Arial" % (height, height)
    fonts = lambda height: {key: font(height) for key in ("Tab", "Large", "Middle", "Small", "Graph")}
    lowest, highest = -2147483648, 2147483647
    # The pair of values together with the highest of every other
    # key, then the lowest.
    cases = [
        {"Graph": {"Limit": 4294967295, "Width": 1000000, "Offset": highest},
         "Shadow": {"Type": 5, "Offset": highest}, "Bitmap": {"X": highest, "Y": highest}, "Fonts": fonts(-5000)},
        {"Graph": {"Limit": 0, "Width": 4294967295, "Offset": lowest}, "Shadow": {"Type": 1, "Offset": lowest},
         "Bitmap": {"X": lowest, "Y": lowest}, "Fonts": fonts(lowest)},
    ]
    for case in cases:
        program, hwnd, watch = start(wine, folder, dict(graph_shown, **case), models)
        try:
            wait_poll(program, 0, 3)
            page = read_page(wine, hwnd, 0)
            check(page.get("visible"), "the page is not shown with %r" % case)
            check(page["texts"].get(1010, "").startswith("E2E LOOKS"), "the summary panel is empty with %r" % case)
            check(attribute(page, 0x09)[2].strip() == "99", "the attribute list is not filled with %r" % case)
            check(program.alive(), "the program ended with %r" % case)
            no_box(wine)
        finally:
            watch.stop()
            program.close()


SCENARIOS = {f.__name__: f for f in (failing_polls, all_slots, no_drives, odd_blocks, settings_faults,
                                     look_settings)}

if __name__ == "__main__":
    sys.exit(run(SCENARIOS, sys.argv))
