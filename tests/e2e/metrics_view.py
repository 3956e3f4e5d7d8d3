"""Reading the status reply and the Prometheus text format side by side:
what series the exporter must give for a reply, and the series a text
holds."""

import re
import struct


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


RECORD = struct.Struct("<BbbBBB2x5i64s16s32s64s")


def records(reply):
    out = {}
    for i in range(16):
        raw = reply[204 * i:204 * (i + 1)]
        if raw == bytes(204):
            continue
        f = RECORD.unpack(raw)
        out[i] = dict(zip(("hasData", "temperature", "max", "status", "used", "protocol", "raw05", "hours", "rawC4",
                           "rawC5", "rawC6", "model", "firmware", "serial", "letters"), f))
        for key in ("model", "firmware", "serial", "letters"):
            out[i][key] = out[i][key].split(b"\0", 1)[0].decode("cp932")
    return out


SAMPLE = re.compile(r'^([a-z_]+)\{(.*)\} (\S+)$')
LABEL = re.compile(r'([a-z_]+)="((?:[^"\\]|\\.)*)"')


def parse(text):
    """{(name, frozenset(labels)): value} of the exposition, labels unescaped."""
    series = {}
    for line in text.splitlines():
        if line.startswith("#") or not line:
            continue
        m = SAMPLE.match(line)
        check(m, "a sample line that does not parse: %r" % line)
        labels = {k: v.replace('\\"', '"').replace("\\n", "\n").replace("\\\\", "\\")
                  for k, v in LABEL.findall(m.group(2))}
        series[(m.group(1), frozenset(labels.items()))] = float(m.group(3))
    return series


def expected_series(target, reply):
    want = {}
    for drive, r in records(reply).items():
        base = {"target": target, "drive": str(drive)}

        def put(name, value, extra=None):
            want[(name, frozenset(dict(base, **(extra or {})).items()))] = float(value)
        nvme = r["protocol"] == 1
        put("veldakor_drive_info", 1, {"protocol": "nvme" if nvme else "ata", "model": r["model"],
                                       "serial": r["serial"], "firmware": r["firmware"], "letters": r["letters"]})
        put("veldakor_drive_health_status", r["status"])
        put("veldakor_drive_temperature_celsius", r["temperature"])
        put("veldakor_drive_temperature_max_celsius", r["max"])
        put("veldakor_drive_used_ratio", r["used"] / 100.0)
        put("veldakor_drive_power_on_seconds", r["hours"] * 3600)
        if nvme:
            put("veldakor_drive_spare_used_ratio", r["raw05"] / 100.0)
            put("veldakor_drive_media_errors", r["rawC6"])
        else:
            put("veldakor_drive_reallocated_sectors", r["raw05"])
            put("veldakor_drive_reallocation_events", r["rawC4"])
            put("veldakor_drive_pending_sectors", r["rawC5"])
            put("veldakor_drive_uncorrectable_sectors", r["rawC6"])
    return want


