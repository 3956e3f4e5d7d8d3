#!/usr/bin/env python3
"""End-to-end run over a drive set that mixes real ATA and NVMe drives.

usage: nvme_e2e.py BIN_DIR NATIVE_BIN_DIR WINEPREFIX win32|win64 SCENARIO

The same harness as app_e2e.py. Real ATA drives and real NVMe drives sit in
alternate slots, with one more NVMe drive whose media errors appear on the
third poll. Every page, its tab icon, lists and tooltips, the status reply,
veldakor-query's table and JSON, and the dump files must show each drive as
another tool read it (expected.txt, expected.json beside the blocks).
"""

import json
import os
import struct
import subprocess
import sys
import tempfile
import time

from app_e2e import (WM_COMMAND, Client, Program, check, check_fixture_page, fixture_expectation, read_page,
                     record, run, service_port, settings_file, wait_answer)

DUMP_ALL = 32776
REPLY_SIZE = 16 * 204
HEALTH_FIELDS = [
    ("Critical Warning", "critical_warning"), ("Composite Temperature", "temperature"),
    ("Available Spare", "available_spare"), ("Available Spare Threshold", "available_spare_threshold"),
    ("Percentage Used", "percentage_used"), ("Data Units Read", "data_units_read"),
    ("Data Units Written", "data_units_written"), ("Host Read Commands", "host_reads"),
    ("Host Write Commands", "host_writes"), ("Controller Busy Time", "controller_busy_time"),
    ("Power Cycles", "power_cycles"), ("Power On Hours", "power_on_hours"),
    ("Unsafe Shutdowns", "unsafe_shutdowns"), ("Media and Data Integrity Errors", "media_errors"),
    ("Number of Error Information Log Entries", "num_err_log_entries"),
    ("Warning Composite Temperature Time", "warning_temp_time"),
    ("Critical Composite Temperature Time", "critical_comp_time"),
]
HEALTH_OFFSETS = [0, 1, 3, 4, 5, 32, 48, 64, 80, 96, 112, 128, 144, 160, 176, 192, 196]


def copy(source, target):
    with open(source, "rb") as f, open(target, "wb") as out:
        out.write(f.read())


def mixed_set(folder):
    """Six ATA fixtures and the nine NVMe fixtures, alternating from slot 0,
    and slot 15 a copy of the first NVMe drive whose media errors appear on
    poll 3. Returns {slot: (kind, fixture folder)}."""
    root = os.environ.get("VELDAKOR_FIXTURES", "")
    listed = {}
    for kind in ("drives", "nvme"):
        path = os.path.join(root, kind)
        check(os.path.isdir(path), "no fixtures in %r (VELDAKOR_FIXTURES)" % path)
        listed[kind] = [os.path.join(path, n) for n in sorted(os.listdir(path)) if os.path.isdir(os.path.join(path, n))]
    ata, nvme = listed["drives"][:6], list(listed["nvme"])
    check(len(nvme) == 9, "%d NVMe fixtures" % len(nvme))
    slots = {}
    for slot in range(15):
        use_ata = ata and (slot % 2 == 0 or not nvme)
        source = ata.pop(0) if use_ata else nvme.pop(0)
        slots[slot] = ("ata" if use_ata else "nvme", source)
    slots[15] = ("rising", listed["nvme"][0])
    for slot, (kind, source) in slots.items():
        target = os.path.join(folder, "simdrives", "%02d" % slot)
        os.makedirs(target)
        if kind == "ata":
            for block in ("identify.bin", "smart.bin", "thresholds.bin"):
                copy(os.path.join(source, block), os.path.join(target, block))
        else:
            copy(os.path.join(source, "identify.bin"), os.path.join(target, "nvme-identify.bin"))
            copy(os.path.join(source, "health.bin"), os.path.join(target, "nvme-health.bin"))
    with open(os.path.join(folder, "simdrives", "15", "drive.ini"), "w") as f:
        f.write("[Nvme]\nMediaErrors = 3:2\n")
    return slots


def nvme_expectation(source):
    with open(os.path.join(source, "expected.json")) as f:
        want = json.load(f)
    want["spare_used"] = max(0, 100 - want["available_spare"])
    danger = want["critical_warning"] & 0x3D or want["media_errors"] > 0
    want["status"] = 2 if danger else 1 if want["spare_used"] > 0 else 0
    return want


def health_rows(want):
    rows = []
    for (name, key), offset in zip(HEALTH_FIELDS, HEALTH_OFFSETS):
        value = want[key]
        raw = "0x%02X" % value if key == "critical_warning" else "-" if value is None else "%d" % value
        spare = key == "available_spare"
        rows.append(["%02X" % offset, name, "%3d" % value if spare else "", "",
                     "%3d" % want["available_spare_threshold"] if spare else "", raw])
    for k, celsius in enumerate(want["temperature_sensors"]):
        if celsius is not None:
            rows.append(["%02X" % (200 + 2 * k), "Temperature Sensor %d" % (k + 1), "", "", "", "%d" % celsius])
    return rows


def check_nvme_page(page, slot, want):
    name = "page %d (%s)" % (slot, want["model"])
    check(page["caption"] == "%02d ()" % slot, "%s: tab caption %r" % (name, page["caption"]))
    check(page["image"] == want["status"], "%s: tab image %d, not %d" % (name, page["image"], want["status"]))
    summary = page["texts"][1010]
    check(summary.startswith(want["model"] + "  ") and summary.endswith("  NVMe"), "%s: summary %r" % (name, summary))
    check(page["texts"][1011] == want["firmware"], "%s: firmware panel %r" % (name, page["texts"][1011]))
    check(page["texts"][1012] == want["serial"], "%s: serial panel %r" % (name, page["texts"][1012]))
    for panel in (1010, 1011, 1012):
        check(page["tips"].get(panel) == page["texts"][panel], "%s: tooltip of panel %d" % (name, panel))
    counts = page["tips"].get(1013, "")
    for text in ("Critical Warning : 0x%02X" % want["critical_warning"], "Spare Used : %d%%" % want["spare_used"],
                 "Media and Data Integrity Errors : %d" % want["media_errors"]):
        check(text in counts, "%s: the condition tooltip %r lacks %r" % (name, counts, text))
    basic = dict((row[0], row[1]) for row in page["basic"])
    check(len(page["basic"]) == 13, "%s: %d Basic rows" % (name, len(page["basic"])))
    for label, key in (("Model Number", "model"), ("Serial Number", "serial"), ("Firmware Revision", "firmware")):
        check(basic.get(label) == want[key], "%s: Basic %s %r" % (name, label, basic.get(label)))
    rows = [row[:6] for row in page["attr"]]
    expected = health_rows(want)
    check(rows == expected, "%s: attribute rows differ: %r" % (
        name, next(((g, w) for g, w in zip(rows, expected) if g != w), (len(rows), len(expected)))))


def check_record(reply, slot, kind, want):
    r = record(reply, slot)
    protocol = reply[204 * slot + 5]
    name = "record %d" % slot
    check(r["hasData"] == 1, "%s has no data" % name)
    if kind == "ata":
        check(protocol == 0, "%s: protocol byte %d" % (name, protocol))
        check((r["model"], r["serial"], r["firmware"]) == (want["Model"], want["Serial"], want["Firmware"]),
              "%s names %r" % (name, r))
        check(r["status"] == want["status"], "%s: status %d" % (name, r["status"]))
        return
    got = (protocol, r["model"], r["serial"], r["firmware"], r["status"], r["temperature"], r["hours"], r["raw05"],
           r["rawC4"], r["rawC5"], r["rawC6"])
    expected = (1, want["model"], want["serial"], want["firmware"], want["status"], want["temperature"],
                want["power_on_hours"], want["spare_used"], 0, 0, want["media_errors"])
    check(got == expected, "%s: %r, not %r" % (name, got, expected))


def check_query(wine, port, slots, wants):
    query = os.path.join(wine.native_bin, "veldakor-query")
    result = subprocess.run([query, "--port", str(port), "--json", "status"], stdout=subprocess.PIPE, timeout=30)
    drives = {d["drive"]: d for d in json.loads(result.stdout.decode())["drives"]}
    check(sorted(drives) == list(range(16)), "JSON drives %r" % sorted(drives))
    for slot, (kind, _) in slots.items():
        d = drives[slot]
        if kind == "ata":
            check(d["protocol"] == "ata" and "pending" in d and "mediaErrors" not in d, "JSON drive %d: %r" % (slot, d))
        else:
            want = wants[slot]
            got = (d["protocol"], d["spareUsedPercent"], d["mediaErrors"], d["powerOnHours"], d["temperature"])
            expected = ("nvme", want["spare_used"], want["media_errors"], want["power_on_hours"], want["temperature"])
            check(got == expected and "pending" not in d, "JSON drive %d: %r" % (slot, d))
    result = subprocess.run([query, "--port", str(port), "status"], stdout=subprocess.PIPE, timeout=30)
    lines = result.stdout.decode().splitlines()
    for slot, (kind, _) in slots.items():
        protocol = "ata" if kind == "ata" else "nvme"
        check(lines[slot].startswith("drive %d: %s, " % (slot, protocol)), "table line %r" % lines[slot])
        check(kind == "ata" or "spare used %d%%, media errors" % wants[slot]["spare_used"] in lines[slot],
              "table line %r" % lines[slot])


def check_dumps(folder, slots, reply):
    for slot, (kind, source) in slots.items():
        r = record(reply, slot)
        base = os.path.join(folder, "%d.%s.%s.%s" % (slot, r["model"], r["firmware"], r["serial"]))
        if kind == "ata":
            with open(base + "_ID", "rb") as f, open(os.path.join(source, "identify.bin"), "rb") as block:
                check(f.read() == block.read(), "dump %d: the IDENTIFY file differs" % slot)
            check(os.path.getsize(base + "_DA") == 360, "dump %d: the attribute file" % slot)
            continue
        for suffix, block in (("_NVME_ID", "identify.bin"), ("_NVME_LOG", "health.bin")):
            with open(base + suffix, "rb") as f, open(os.path.join(source, block), "rb") as want:
                got, expected = f.read(), want.read()
            if kind == "rising" and suffix == "_NVME_LOG":
                expected = expected[:160] + struct.pack("<Q", 2) + expected[168:]
            check(got == expected, "dump %d: %s differs from %s" % (slot, suffix, block))
        check(not os.path.exists(base + "_ID"), "dump %d: an ATA file for an NVMe drive" % slot)


def nvme_mix(wine):
    folder = tempfile.mkdtemp(prefix="vk-e2e-")
    slots = mixed_set(folder)
    wants = {}
    for slot, (kind, source) in slots.items():
        if kind == "ata":
            wants[slot] = fixture_expectation(os.path.join(source, "expected.txt"))
        else:
            wants[slot] = nvme_expectation(source)
    port = service_port()
    # Debug lets the poll come every second.
    wine.write_settings(settings_file(Global={"Run": 1, "Debug": 1, "Monitor": 1, "Timer": 1},
                                      Server={"Enable": 1, "Port": port}))
    program = Program(wine, cwd=folder)
    hwnd = program.wait_shown()["hwnd"]
    try:
        for slot, (kind, _) in slots.items():
            page = read_page(wine, hwnd, slot)
            if kind == "ata":
                check_fixture_page(page, slot, wants[slot])
            elif kind == "nvme":
                check_nvme_page(page, slot, wants[slot])

        client = Client(port)
        check(wait_answer(client), "the echo was not answered")
        # The rising drive turns danger on poll 3, with its two media errors.
        rising = dict(wants[15], media_errors=2, status=2)
        end = time.monotonic() + 30
        reply = client.ask(b"\x01")
        while (reply is None or record(reply, 15)["status"] != 2) and time.monotonic() < end:
            time.sleep(0.5)
            reply = client.ask(b"\x01")
        check(reply is not None and len(reply) == REPLY_SIZE, "status reply of %s bytes" % (reply and len(reply)))
        wants[15] = rising
        for slot, (kind, _) in slots.items():
            check_record(reply, slot, kind, wants[slot])
        page = read_page(wine, hwnd, 15)
        check(page["image"] == 2, "the rising drive's tab icon reads %d" % page["image"])
        check("Media and Data Integrity Errors : 2" in page["tips"].get(1013, ""),
              "the rising drive's condition tooltip reads %r" % page["tips"].get(1013))
        check_query(wine, port, slots, wants)

        wine.post(hwnd, WM_COMMAND, DUMP_ALL)
        end = time.monotonic() + 20
        while len([n for n in os.listdir(folder) if "_NVME_LOG" in n]) < 10 and time.monotonic() < end:
            time.sleep(0.3)
        check_dumps(folder, slots, reply)
    finally:
        program.close()


SCENARIOS = {f.__name__: f for f in (nvme_mix,)}

if __name__ == "__main__":
    sys.exit(run(SCENARIOS, sys.argv))
