#!/usr/bin/env python3
"""End-to-end tests of the programs under Wine, driven from outside.

usage: app_e2e.py BIN_DIR NATIVE_BIN_DIR WINEPREFIX win32|win64 SCENARIO

Each scenario starts veldakor-sim.exe (or veldakor.exe) in the given prefix,
with the Wine loader of the prefix's architecture,
on the display of the environment (Xvfb under ./test), looks at its windows
with winprobe.exe and talks to them as a user or another program would. It
exits 0 when the scenario passes.
"""

import json
import os
import socket
import struct
import subprocess
import sys
import tempfile
import threading
import time

TITLE = "Veldakor (x86)"
WM_CLOSE = 0x0010
WM_KEYDOWN = 0x0100
WM_SYSKEYDOWN = 0x0104
WM_COMMAND = 0x0111
WM_SYSCOMMAND = 0x0112
SC_CLOSE = 0xF060
VK_RETURN = 0x0D
VK_ESCAPE = 0x1B
VK_F4 = 0x73
WS_EX_TOOLWINDOW = 0x00000080
MONITORING = 32803
NETWORK = 32804
# Golden files: the same bytes for every Windows build (and, for the reply,
# for the core tests of every target).
GOLDEN = os.path.join(os.path.dirname(os.path.realpath(__file__)), "..", "golden")
SKIPPED = 77


class Failure(Exception):
    pass


class Skipped(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


# Debian's `wine` always takes the 32-bit loader when it is installed, and that
# one cannot start on hosts without 32-bit support: name the loader.
LOADERS = {"win32": "/usr/lib/wine/wine", "win64": "/usr/lib/wine/wine64"}


class Wine:
    def __init__(self, bin_dir, native_bin, prefix, arch):
        self.bin_dir = os.path.realpath(bin_dir)
        self.native_bin = os.path.realpath(native_bin)
        self.prefix = os.path.realpath(prefix)
        self.loader = LOADERS[arch]
        self.env = dict(os.environ)
        self.env.update(WINEPREFIX=self.prefix, WINEARCH=arch, WINELOADER=self.loader, WINEDEBUG="-all,+debugstr",
                        WINEDLLOVERRIDES="mscoree,mshtml=", LC_ALL="C.UTF-8")
        self.settings = os.path.join(self.prefix, "drive_c", "windows", "VELDAKOR.INI")

    def probe(self, *args):
        result = subprocess.run([self.loader, os.path.join(self.bin_dir, "winprobe.exe")] + [str(a) for a in args],
                                env=self.env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, timeout=60)
        return result.returncode, result.stdout.decode("utf-8", "replace").strip()

    def window(self):
        code, out = self.probe("window", TITLE)
        if code != 0:
            return None
        hwnd, visible, x, y, w, h, style, exstyle = out.split()
        return {"hwnd": hwnd, "visible": visible == "1", "x": int(x), "y": int(y), "w": int(w), "h": int(h),
                "style": int(style, 16), "exstyle": int(exstyle, 16)}

    def post(self, hwnd, message, wparam=0, lparam=0):
        code, _ = self.probe("post", hwnd, message, wparam, lparam)
        check(code == 0, "could not post message 0x%x" % message)

    def write_settings(self, text):
        with open(self.settings, "w", newline="") as f:
            f.write(text.replace("\n", "\r\n"))

    def remove_settings(self):
        if os.path.exists(self.settings):
            os.remove(self.settings)


STARTED = []


class Program:
    """One run of a program, with the debugger lines it writes."""

    def __init__(self, wine, exe="veldakor-sim.exe", cwd=None):
        STARTED.append(self)
        self.wine = wine
        self.cwd = cwd or tempfile.mkdtemp(prefix="vk-e2e-")
        self.lines = []
        self.process = subprocess.Popen([wine.loader, os.path.join(wine.bin_dir, exe)], cwd=self.cwd, env=wine.env,
                                        stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                        stderr=subprocess.PIPE)
        self.reader = threading.Thread(target=self._read, daemon=True)
        self.reader.start()

    def _read(self):
        for raw in self.process.stderr:
            line = raw.decode("utf-8", "replace")
            if "debugstr:OutputDebugStringA" in line:
                self.lines.append((time.monotonic(), line.split('"', 1)[1].rsplit('"', 1)[0]))

    def updates(self, since=0.0):
        return [text for stamp, text in list(self.lines) if text.startswith("UPDATE DEV[") and stamp >= since]

    def wait_window(self, timeout=30):
        end = time.monotonic() + timeout
        while time.monotonic() < end:
            found = self.wine.window()
            if found:
                return found
            check(self.process.poll() is None, "the program ended before its window appeared")
            time.sleep(0.3)
        raise Failure("no window titled %r" % TITLE)

    def wait_shown(self, timeout=30):
        """The window once it is shown: it exists, hidden, while it is being set up."""
        end = time.monotonic() + timeout
        window = self.wait_window(timeout)
        while not window["visible"] and time.monotonic() < end:
            time.sleep(0.2)
            window = self.wine.window() or window
        check(window["visible"], "the window was not shown")
        return window

    def wait_exit(self, timeout=20):
        try:
            return self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise Failure("the program did not end")

    def alive(self):
        return self.process.poll() is None

    def close(self):
        found = self.wine.window()
        if found and self.alive():
            self.wine.post(found["hwnd"], WM_SYSCOMMAND, SC_CLOSE)
        if self.alive():
            code = self.wait_exit()
            check(code == 1, "exit status %d, not 1" % code)

    def kill(self):
        if self.alive():
            self.process.kill()
            self.process.wait()


def settings_file(**sections):
    text = ""
    for name, keys in sections.items():
        text += "[%s]\n" % name
        for key, value in keys.items():
            text += "%s=%s\n" % (key, value)
    return text


# --- scenarios -------------------------------------------------------------

def golden(name):
    with open(os.path.join(GOLDEN, name), "rb") as f:
        return f.read()


def first_difference(got, want):
    at = next((k for k, (a, b) in enumerate(zip(got, want)) if a != b), min(len(got), len(want)))
    return "%d and %d bytes, first difference at byte %d" % (len(got), len(want), at)


def first_run(wine):
    wine.remove_settings()
    program = Program(wine)
    program.wait_window()
    with open(wine.settings, "rb") as f:
        written = f.read()
    text = written.decode("latin-1")
    for line in ("[Global]\r\nRun=1\r\n", "Graph=255,0,0", "Small=-11,0,0,0,700,0,0,0,0,0,0,0,0,Arial",
                 "Hour=_Hour", "Temperature=\xb0C", "[Drive15]\r\n", "SiliconImage=0xffffffff"):
        check(line in text, "the first start wrote no %r" % line)
    check("Debug" not in text, "Debug was written")
    check(written == golden("first_run.ini"), "the first start's settings file is not the golden one: %s"
          % first_difference(written, golden("first_run.ini")))
    # The choosers' and the picture loader's libraries wait for their first
    # use; the default skin file is missing here, which is no use of them.
    with open("/proc/%d/maps" % program.process.pid) as f:
        mapped = f.read().lower()
    for late in ("comdlg32.dll", "oleaut32.dll", "winspool.drv"):
        check(late not in mapped, "%s was loaded at start" % late)
    stamp = os.stat(wine.settings).st_mtime_ns
    program.close()

    # A later start writes nothing, and neither does Alt+F4.
    time.sleep(1.1)
    program = Program(wine)
    window = program.wait_window()
    time.sleep(1.0)
    wine.post(window["hwnd"], WM_SYSKEYDOWN, VK_F4, 1 << 29)
    check(program.wait_exit() == 1, "Alt+F4 did not end the program")
    check(os.stat(wine.settings).st_mtime_ns == stamp, "a later start or closing wrote the settings file")
    with open(wine.settings, "rb") as f:
        check(f.read() == written, "the settings file changed")


def keys_leave_window_open(wine):
    wine.remove_settings()
    program = Program(wine)
    window = program.wait_window()
    for message, key in ((WM_KEYDOWN, VK_ESCAPE), (WM_KEYDOWN, VK_RETURN), (WM_CLOSE, 0)):
        wine.post(window["hwnd"], message, key)
        time.sleep(1.0)
        check(program.alive() and wine.window(), "message 0x%x with 0x%x ended the program" % (message, key))
    program.close()


def second_instance(wine):
    wine.remove_settings()
    first = Program(wine)
    window = first.wait_window()
    second = Program(wine)
    end = time.monotonic() + 30
    text = None
    while time.monotonic() < end and text is None:
        code, out = wine.probe("box", "確認情報", "dismiss")
        if code == 0:
            text = out
        time.sleep(0.3)
    check(text == "既に起動しています。", "the second copy showed %r" % text)
    check(second.wait_exit() == 1, "the second copy did not end with status 1")
    check(first.alive(), "the first copy ended")
    check(wine.window()["hwnd"] == window["hwnd"], "the first copy's window changed")
    first.close()


def placement(wine):
    wine.write_settings(settings_file(Global={"Run": 1, "X": -1, "Y": 100}))
    program = Program(wine)
    window = program.wait_shown()
    check((window["x"], window["y"]) == (-1, 100), "X -1 and Y 100 gave %d, %d" % (window["x"], window["y"]))
    program.close()

    wine.write_settings(settings_file(Global={"Run": 1, "X": -1, "Y": -1}))
    program = Program(wine)
    window = program.wait_shown()
    x, y = (1280 - window["w"]) // 2, (1024 - window["h"]) // 2
    check(abs(window["x"] - x) <= 1 and abs(window["y"] - y) <= 1,
          "not centred: %d, %d for %d, %d" % (window["x"], window["y"], x, y))
    program.close()

    wine.write_settings(settings_file(Global={"Run": 1, "TaskTray": 1}))
    program = Program(wine)
    program.wait_window()
    end = time.monotonic() + 15
    window = wine.window()
    # Moving to the tray shows the window minimised for a moment between
    # two hides: wait for the state it settles in.
    while time.monotonic() < end and (not (window["exstyle"] & WS_EX_TOOLWINDOW) or window["visible"]):
        time.sleep(0.3)
        window = wine.window()
    check(not window["visible"], "the window is visible in the tray state")
    check(window["exstyle"] & WS_EX_TOOLWINDOW, "the window would have a taskbar button")
    program.close()


def monitoring(wine):
    # Paused at start: no update until monitoring is turned on, then one at once.
    wine.write_settings(settings_file(Global={"Run": 1, "Monitor": 0, "Timer": 120}))
    program = Program(wine)
    window = program.wait_window()
    time.sleep(1.5)
    check(not program.updates(), "updates while monitoring is off")
    resumed = time.monotonic()
    wine.post(window["hwnd"], WM_COMMAND, MONITORING)
    end = time.monotonic() + 5.0
    while not program.updates(resumed) and time.monotonic() < end:
        time.sleep(0.1)
    check(len(program.updates(resumed)) >= 1, "no update on resuming")
    # Safe mode, waiting for 120 seconds: the end comes within about a second.
    started = time.monotonic()
    program.close()
    check(time.monotonic() - started < 4.0, "ending from the wait took too long")

    # Plain mode ends at once too.
    wine.write_settings(settings_file(Global={"Run": 1, "Monitor": 1, "Timer": 120, "Safe": 0}))
    program = Program(wine)
    program.wait_window()
    time.sleep(1.0)
    started = time.monotonic()
    program.close()
    check(time.monotonic() - started < 4.0, "ending in plain mode took too long")

    # Ending while paused does not update first.
    wine.write_settings(settings_file(Global={"Run": 1, "Monitor": 0}))
    program = Program(wine)
    program.wait_window()
    time.sleep(1.0)
    program.close()
    time.sleep(0.5)
    check(not program.updates(), "a paused thread updated on the way out")

    # Debug with Timer 0: cycles without pause.
    wine.write_settings(settings_file(Global={"Run": 1, "Debug": 1, "Monitor": 1, "Timer": 0}))
    program = Program(wine)
    program.wait_window()
    time.sleep(1.5)
    count = len(program.updates())
    program.close()
    check(count > 25, "only %d updates in 1.5 seconds with Timer 0" % count)


def real_devices(wine):
    wine.remove_settings()
    program = Program(wine, exe="veldakor.exe")
    program.wait_window()
    time.sleep(1.0)
    program.close()



# --- drive sets and the status service ----------------------------------------

def ata_words(text, length):
    text = text.ljust(length)[:length].encode("ascii")
    return b"".join(bytes((text[k + 1], text[k])) for k in range(0, length, 2))


def identify_block(model, serial, firmware, sectors=976773168):
    block = bytearray(512)
    block[20:40] = ata_words(serial, 20)
    block[46:54] = ata_words(firmware, 8)
    block[54:94] = ata_words(model, 40)
    struct.pack_into("<HH", block, 120, sectors & 0xFFFF, sectors >> 16)
    struct.pack_into("<H", block, 152, 0x0004)
    return bytes(block)


def attribute_block(entries):
    """entries: (id, current, worst, raw) in table order."""
    block = bytearray(512)
    block[0] = 16
    for k, (ident, current, worst, raw) in enumerate(entries):
        struct.pack_into("<BHBB6s", block, 2 + 12 * k, ident, 0x0032, current, worst, raw.to_bytes(6, "little"))
    return bytes(block)


def threshold_block(ids):
    block = bytearray(512)
    block[0] = 1
    for k, ident in enumerate(ids):
        block[2 + 12 * k] = ident
    return bytes(block)


def write_drive(folder, number, model, serial, firmware, entries, ini=""):
    path = os.path.join(folder, "simdrives", "%02d" % number)
    os.makedirs(path)
    with open(os.path.join(path, "identify.bin"), "wb") as f:
        f.write(identify_block(model, serial, firmware))
    with open(os.path.join(path, "smart.bin"), "wb") as f:
        f.write(attribute_block(entries))
    with open(os.path.join(path, "thresholds.bin"), "wb") as f:
        f.write(threshold_block([e[0] for e in entries]))
    if ini:
        with open(os.path.join(path, "drive.ini"), "w") as f:
            f.write(ini)


RECORD = struct.Struct("<BbbBB3x5i64s16s32s64s")


def record(data, i):
    fields = RECORD.unpack_from(data, 204 * i)
    names = ("hasData", "temperature", "maxTemperature", "status", "used", "raw05", "hours", "rawC4", "rawC5",
             "rawC6", "model", "firmware", "serial", "letters")
    out = dict(zip(names, fields))
    for text in ("model", "firmware", "serial", "letters"):
        out[text] = out[text].split(b"\0", 1)[0].decode("latin-1")
    return out


class Client:
    def __init__(self, port):
        self.port = port
        self.sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        self.sock.settimeout(3.0)

    def ask(self, datagram, timeout=3.0):
        self.sock.settimeout(timeout)
        self.sock.sendto(datagram, ("127.0.0.1", self.port))
        try:
            return self.sock.recv(65535)
        except socket.timeout:
            return None


def wait_answer(client, timeout=20):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        if client.ask(b"\x00", 0.5) == b"\x00":
            return True
    return False


def service_port():
    return 20000 + os.getpid() % 20000


def two_drives(folder):
    write_drive(folder, 0, "E2E FIRST DISK", "SERIAL-0", "FW-A",
                [(0x05, 100, 100, 0), (0x09, 99, 99, 4321), (0xC2, 60, 50, 39), (0xC5, 100, 100, 0)],
                "[Volumes]\nC = 1000000000, 250000000\n")
    write_drive(folder, 1, "E2E SECOND DISK", "SERIAL-1", "FW-B",
                [(0x05, 100, 100, 7), (0x09, 99, 99, 100), (0xC2, 60, 50, 44), (0xC5, 100, 100, 2)])


def status_service(wine):
    port = service_port()
    folder = tempfile.mkdtemp(prefix="vk-e2e-")
    two_drives(folder)
    wine.write_settings(settings_file(Global={"Run": 1}, Server={"Enable": 1, "Port": port}))
    program = Program(wine, cwd=folder)
    program.wait_window()
    client = Client(port)
    check(wait_answer(client), "the echo was not answered")

    reply = client.ask(b"\x01")
    check(reply is not None and len(reply) == 3264, "status reply of %s bytes" % (reply and len(reply)))
    first, second = record(reply, 0), record(reply, 1)
    check(first["hasData"] == 1 and second["hasData"] == 1, "records without data")
    check((first["model"], first["serial"], first["firmware"]) == ("E2E FIRST DISK", "SERIAL-0", "FW-A"),
          "record 0 names %r" % first)
    check(second["model"] == "E2E SECOND DISK", "record 1 names %r" % second["model"])
    check(first["status"] == 0 and second["status"] == 2, "statuses %d, %d" % (first["status"], second["status"]))
    check((second["raw05"], second["rawC5"], first["hours"]) == (7, 2, 4321), "counts %r %r" % (first, second))
    check((first["temperature"], second["temperature"]) == (39, 44), "temperatures")
    check(first["letters"] == "C:" and first["used"] == 75, "letters %r, used %d" % (first["letters"], first["used"]))
    check(reply[2 * 204:] == bytes(14 * 204), "records 2 to 15 are not zero")

    check(client.ask(b"\x01\x01", 0.5) is None, "a two-byte datagram was answered")
    check(client.ask(b"", 0.5) is None, "an empty datagram was answered")
    check(client.ask(b"\x00") == b"\x00", "the server stopped serving")

    query = os.path.join(wine.native_bin, "veldakor-query")
    result = subprocess.run([query, "--port", str(port), "status"], stdout=subprocess.PIPE, timeout=30)
    check(result.returncode == 2, "veldakor-query status exit %d" % result.returncode)
    lines = result.stdout.decode().splitlines()
    check(len(lines) == 2 and lines[1].startswith("drive 1: ata, danger"), "veldakor-query printed %r" % lines)
    result = subprocess.run([query, "--port", str(port), "--json", "status"], stdout=subprocess.PIPE, timeout=30)
    drives = json.loads(result.stdout.decode())["drives"]
    check([d["model"] for d in drives] == ["E2E FIRST DISK", "E2E SECOND DISK"], "JSON %r" % drives)
    program.close()
    check(client.ask(b"\x00", 0.5) is None, "the server outlived the program")


def fixture_drives(folder):
    """The fixtures' real drives as a drive set, fixture k (by name) as drive
    number k; returns the fixtures' folder and the names in that order."""
    drives = os.path.join(os.environ.get("VELDAKOR_FIXTURES", ""), "drives")
    check(os.path.isdir(drives), "no drive fixtures in %r (VELDAKOR_FIXTURES)" % drives)
    names = sorted(n for n in os.listdir(drives) if os.path.isdir(os.path.join(drives, n)))
    for number, name in enumerate(names):
        path = os.path.join(folder, "simdrives", "%02d" % number)
        os.makedirs(path)
        for block in ("identify.bin", "smart.bin", "thresholds.bin"):
            with open(os.path.join(drives, name, block), "rb") as source, open(os.path.join(path, block), "wb") as f:
                f.write(source.read())
    return drives, names


def golden_reply(wine):
    """The status reply for the fixtures' real drives, byte for byte."""
    folder = tempfile.mkdtemp(prefix="vk-e2e-")
    fixture_drives(folder)
    port = service_port()
    wine.write_settings(settings_file(Global={"Run": 1}, Server={"Enable": 1, "Port": port}))
    program = Program(wine, cwd=folder)
    program.wait_window()
    client = Client(port)
    check(wait_answer(client), "the echo was not answered")
    want = golden("fixture_drives_reply.bin")
    end = time.monotonic() + 20
    reply = client.ask(b"\x01")
    while reply != want and time.monotonic() < end:
        time.sleep(0.5)
        reply = client.ask(b"\x01")
    program.close()
    check(reply is not None, "the status was not answered")
    check(reply == want, "the status reply is not the golden one: %s" % first_difference(reply, want))


def read_page(wine, hwnd, k):
    code, out = wine.probe("page", hwnd, k)
    check(code == 0, "page %d cannot be read" % k)
    page = {"texts": {}, "tips": {}, "basic": [], "attr": []}
    for line in out.splitlines():
        line = line.rstrip("\r")
        kind, _, rest = line.partition(" ")
        if kind == "tab":
            image, _, text = rest.partition(" ")
            page["image"], page["caption"] = int(image), text
        elif kind == "visible":
            page["visible"] = rest == "1"
        elif kind in ("text", "tip"):
            ident, _, text = rest.partition(" ")
            page[kind + "s"][int(ident)] = text
        elif line.startswith("basic\t") or line.startswith("attr\t"):
            cells = line.split("\t")
            page[cells[0]].append(cells[1:])
    return page


def fixture_expectation(path):
    want = {"attrs": []}
    with open(path) as f:
        for line in f:
            for key in ("Model", "Serial", "Firmware"):
                if line.startswith(key + ": ["):
                    want[key] = line.split("[", 1)[1].rsplit("]", 1)[0]
            if line.startswith("attr "):
                ident, value, worst, threshold, raw = line.split()[1:6]
                want["attrs"].append((int(ident), int(value), int(worst), int(threshold), bytes.fromhex(raw)))
    counts = {}
    for ident, _, _, _, raw in want["attrs"]:
        if ident in (0x05, 0xC4, 0xC5, 0xC6) and ident not in counts:
            counts[ident] = struct.unpack("<i", raw[:4])[0]
    status = 0
    if counts.get(0x05, 0) > 0:
        status = 1
    if any(counts.get(i, 0) > 0 for i in (0xC4, 0xC5, 0xC6)):
        status = 2
    want["status"] = status
    return want


def check_fixture_page(page, k, want):
    name = "page %d (%s)" % (k, want["Model"])
    check(page["caption"] == "%02d ()" % k, "%s: tab caption %r" % (name, page["caption"]))
    check(page["image"] == want["status"], "%s: tab image %d, not %d" % (name, page["image"], want["status"]))
    check(page["texts"][1010].startswith(want["Model"] + "  "), "%s: summary panel %r" % (name, page["texts"][1010]))
    check(page["texts"][1011] == want["Firmware"], "%s: firmware panel %r" % (name, page["texts"][1011]))
    check(page["texts"][1012] == want["Serial"], "%s: serial panel %r" % (name, page["texts"][1012]))
    for panel in (1010, 1011, 1012):
        check(page["tips"].get(panel) == page["texts"][panel], "%s: tooltip of panel %d" % (name, panel))
    basic = dict((row[0], row[1]) for row in page["basic"])
    check(basic.get("Model Number") == want["Model"], "%s: Basic list model %r" % (name, basic.get("Model Number")))
    check(len(page["basic"]) == 57, "%s: %d Basic rows" % (name, len(page["basic"])))
    rows = page["attr"]
    check(len(rows) == len(want["attrs"]), "%s: %d attribute rows, not %d" % (name, len(rows), len(want["attrs"])))
    for row, (ident, value, worst, threshold, raw) in zip(rows, want["attrs"]):
        got = (row[0], row[2], row[3], row[5])
        expected = ("%02X" % ident, "%3d" % value, "%3d" % worst, " ".join("%02X" % b for b in reversed(raw)))
        check(got == expected, "%s: attribute row %r, not %r" % (name, got, expected))
        check(row[4] == "%3d" % threshold or (row[4] == "-" and threshold == 0),
              "%s: threshold of %02X reads %r, not %d" % (name, ident, row[4], threshold))


def pages(wine):
    """The fixtures' drives on their pages, and a drive whose pending count rises."""
    folder = tempfile.mkdtemp(prefix="vk-e2e-")
    drives, names = fixture_drives(folder)
    rising = len(names)
    write_drive(folder, rising, "E2E RISING DISK", "SERIAL-R", "FW-R",
                [(0x05, 100, 100, 0), (0x09, 99, 99, 4321), (0xC2, 60, 50, 39), (0xC5, 100, 100, 0)],
                "[Smart]\nChange1 = 3, 0xC5, 3\n")
    # Debug lets the poll come every second.
    wine.write_settings(settings_file(Global={"Run": 1, "Debug": 1, "Monitor": 1, "Timer": 1}))
    program = Program(wine, cwd=folder)
    hwnd = program.wait_shown()["hwnd"]
    try:
        first = read_page(wine, hwnd, 0)
        check(first["visible"], "page 0 is not shown at start")
        for k, name in enumerate(names):
            page = first if k == 0 else read_page(wine, hwnd, k)
            check(k == 0 or not page["visible"], "page %d is shown beside page 0" % k)
            check_fixture_page(page, k, fixture_expectation(os.path.join(drives, name, "expected.txt")))

        # The pending sectors appear on the third poll: tab icon and the
        # condition tooltip follow on the next refresh.
        end = time.monotonic() + 30
        page = read_page(wine, hwnd, rising)
        while page["image"] != 2 and time.monotonic() < end:
            time.sleep(0.5)
            page = read_page(wine, hwnd, rising)
        check(page["image"] == 2, "the rising drive's tab icon stayed %d" % page["image"])
        check("Current pending sector count : 3" in page["tips"].get(1013, ""),
              "the condition tooltip reads %r" % page["tips"].get(1013))
        pending = [row for row in page["attr"] if row[0] == "C5"]
        check(pending and pending[0][5] == "00 00 00 00 00 03", "the C5 row reads %r" % pending)
    finally:
        program.close()


def network_switch(wine):
    port = service_port()
    wine.write_settings(settings_file(Global={"Run": 1}, Server={"Enable": 1, "Port": port}))
    program = Program(wine)
    window = program.wait_window()
    client = Client(port)
    check(wait_answer(client), "no server at start")
    wine.post(window["hwnd"], WM_COMMAND, NETWORK)
    time.sleep(1.0)
    check(client.ask(b"\x00", 0.5) is None, "switched off but still answering")
    check(wine.probe("box", "エラー情報")[0] != 0, "switching off showed a message")
    wine.post(window["hwnd"], WM_COMMAND, NETWORK)
    check(wait_answer(client, 10), "switched on again but not answering")

    # A peer's stop ends the server.
    check(client.ask(b"\x10") == b"\x10", "the stop was not answered")
    check(client.ask(b"\x00", 0.5) is None, "still serving after a stop")
    program.close()

    # A port taken by another program.
    taken = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    taken.bind(("0.0.0.0", port))
    program = Program(wine)
    program.wait_window()
    end = time.monotonic() + 20
    text = None
    while time.monotonic() < end and text is None:
        code, out = wine.probe("box", "エラー情報", "dismiss")
        text = out if code == 0 else None
        time.sleep(0.3)
    taken.close()
    check(text == "サーバソケットのバインドに失敗しました。", "the taken port showed %r" % text)
    program.close()


def status_load(wine):
    port = service_port()
    folder = tempfile.mkdtemp(prefix="vk-e2e-")
    cycle = list(range(1, 41))
    ini = "[Smart]\nTemperatureCycle = %s\n" % ", ".join(str(29 + v) for v in cycle)
    for k, ident in enumerate((0x05, 0xC4, 0xC5, 0xC6)):
        ini += "RawCycle%d = %d, %s\n" % (k + 1, ident, ", ".join(str(v) for v in cycle))
    entries = [(0x05, 100, 100, 0), (0x09, 99, 99, 1), (0xC2, 60, 50, 30), (0xC4, 100, 100, 0),
               (0xC5, 100, 100, 0), (0xC6, 100, 100, 0)]
    write_drive(folder, 0, "E2E CHANGING", "SERIAL-L0", "FW-L", entries, ini)
    write_drive(folder, 3, "E2E CHANGING TOO", "SERIAL-L3", "FW-L", entries, ini)
    wine.write_settings(settings_file(Global={"Run": 1, "Debug": 1, "Timer": 0, "Monitor": 1},
                                      Server={"Enable": 1, "Port": port}))
    program = Program(wine, cwd=folder)
    program.wait_window()
    check(wait_answer(Client(port)), "no server")

    problems = []
    seen = set()

    def run_client():
        client = Client(port)
        for _ in range(5000):
            reply = client.ask(b"\x01", 5.0)
            if reply is None or len(reply) != 3264:
                problems.append("reply of %s bytes" % (reply and len(reply)))
                return
            for i in (0, 3):
                r = record(reply, i)
                if not (r["raw05"] == r["rawC4"] == r["rawC5"] == r["rawC6"] and r["temperature"] == 29 + r["raw05"]):
                    problems.append("torn record %d: %r" % (i, r))
                    return
                seen.add(r["raw05"])

    clients = [threading.Thread(target=run_client) for _ in range(4)]
    for c in clients:
        c.start()
    for c in clients:
        c.join()
    program.close()
    check(not problems, "; ".join(problems[:3]))
    check(len(seen) > 10, "the values hardly changed: %r" % sorted(seen))

SCENARIOS = {f.__name__: f for f in (first_run, pages, keys_leave_window_open, second_instance, placement, monitoring,
                                     real_devices, status_service, golden_reply, network_switch, status_load)}


def run(scenarios, argv):
    """Runs the scenario named on the command line; the exit status."""
    script = os.path.basename(argv[0])
    if len(argv) != 6 or argv[4] not in LOADERS or argv[5] not in scenarios:
        sys.stderr.write("usage: %s BIN_DIR NATIVE_BIN_DIR WINEPREFIX win32|win64 {%s}\n"
                         % (script, "|".join(scenarios)))
        return 2
    scenario = argv[5]
    wine = Wine(argv[1], argv[2], argv[3], argv[4])
    try:
        scenarios[scenario](wine)
    except Failure as failure:
        sys.stderr.write("FAILED: %s\n" % failure)
        return 1
    except Skipped as skipped:
        print("skipped: %s: %s" % (scenario, skipped))
        return SKIPPED
    finally:
        for program in STARTED:
            program.kill()
        wine.remove_settings()
    print("passed: %s" % scenario)
    return 0


if __name__ == "__main__":
    sys.exit(run(SCENARIOS, sys.argv))
