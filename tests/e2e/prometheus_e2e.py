#!/usr/bin/env python3
"""A real Prometheus server watching the simulator build through both
exporters: the Windows veldakor-query.exe serving /metrics under Wine, and
the native one serving /probe for the multi-target pattern.

usage: prometheus_e2e.py BIN_DIR NATIVE_BIN_DIR WINEPREFIX win32|win64 SCENARIO

The same harness as app_e2e.py. After two scrapes of each job every series
Prometheus holds must equal what the UDP reply of the same moment says, and
the alert rules of monitoring/ must fire for the danger drive.
"""

import json
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import time
import urllib.parse
import urllib.request

from app_e2e import Client, Program, check, run, service_port, settings_file, two_drives, wait_answer
from metrics_view import expected_series

MONITORING = os.path.join(os.path.dirname(os.path.realpath(__file__)), "..", "..", "monitoring")


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def api(port, path, **params):
    url = "http://127.0.0.1:%d/api/v1/%s?%s" % (port, path, urllib.parse.urlencode(params))
    with urllib.request.urlopen(url, timeout=10) as r:
        answer = json.loads(r.read().decode())
    check(answer["status"] == "success", "%s: %r" % (path, answer))
    return answer["data"]


def wait_for(what, condition, timeout=60):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        try:
            if condition():
                return
        except OSError:
            pass
        time.sleep(0.5)
    check(False, "timed out waiting for %s" % what)


def prometheus_config(folder, windows_exporter, native_exporter, service):
    rules = os.path.join(folder, "veldakor-rules.yml")
    shutil.copy(os.path.join(MONITORING, "veldakor-rules.yml"), rules)
    text = """global:
  scrape_interval: 1s
  scrape_timeout: 1s
  evaluation_interval: 1s
rule_files: [%s]
scrape_configs:
  - job_name: exporter
    static_configs: [{targets: ['127.0.0.1:%d']}]
  - job_name: fleet
    metrics_path: /probe
    static_configs: [{targets: ['127.0.0.1:%d']}]
    relabel_configs:
      - {source_labels: [__address__], target_label: __param_target}
      - {source_labels: [__param_target], target_label: instance}
      - {target_label: __address__, replacement: '127.0.0.1:%d'}
""" % (rules, windows_exporter, service, native_exporter)
    path = os.path.join(folder, "prometheus.yml")
    with open(path, "w") as f:
        f.write(text)
    return path


def held_series(port, job):
    """{(name, labels): value} of the job's veldakor series, without the
    labels Prometheus adds."""
    held = {}
    for s in api(port, "query", query='{__name__=~"veldakor_.+", job="%s"}' % job)["result"]:
        labels = dict(s["metric"])
        name = labels.pop("__name__")
        for added in ("job", "instance"):
            labels.pop(added, None)
        held[(name, frozenset(labels.items()))] = float(s["value"][1])
    return held


def check_job(port, job, target, reply):
    held = held_series(port, job)
    # Prometheus holds no label with an empty value.
    want = {(name, frozenset((k, v) for k, v in labels if v)): value
            for (name, labels), value in expected_series(target, reply).items()}
    want[("veldakor_up", frozenset({"target": target}.items()))] = 1.0
    durations = [k for k in held if k[0] == "veldakor_scrape_duration_seconds"]
    check(len(durations) == 1, "%s: scrape durations %r" % (job, durations))
    held.pop(durations[0])
    check(set(held) == set(want), "%s: series differ: missing %r, extra %r" % (
        job, sorted(set(want) - set(held))[:3], sorted(set(held) - set(want))[:3]))
    for key, value in want.items():
        check(held[key] == value, "%s: %s is %r, the reply says %r" % (job, key, held[key], value))


def prometheus_fleet(wine):
    folder = tempfile.mkdtemp(prefix="vk-e2e-")
    two_drives(folder)
    service = service_port()
    wine.write_settings(settings_file(Global={"Run": 1}, Server={"Enable": 1, "Port": service}))
    program = Program(wine, cwd=folder)
    program.wait_window()
    client = Client(service)
    check(wait_answer(client), "the echo was not answered")

    windows_port, native_port, prometheus_port = free_port(), free_port(), free_port()
    target = "127.0.0.1:%d" % service
    started = []
    try:
        started.append(subprocess.Popen([wine.loader, os.path.join(wine.bin_dir, "veldakor-query.exe"), "serve",
                                         "--listen", "127.0.0.1:%d" % windows_port, "--target", target],
                                        env=wine.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        started.append(subprocess.Popen([os.path.join(wine.native_bin, "veldakor-query"), "serve",
                                         "--listen", "127.0.0.1:%d" % native_port]))
        config = prometheus_config(folder, windows_port, native_port, service)
        started.append(subprocess.Popen(["prometheus", "--config.file=" + config,
                                         "--storage.tsdb.path=" + os.path.join(folder, "data"),
                                         "--web.listen-address=127.0.0.1:%d" % prometheus_port],
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))

        def two_scrapes():
            result = api(prometheus_port, "query", query="count_over_time(veldakor_up[1m])")["result"]
            counts = {s["metric"]["job"]: float(s["value"][1]) for s in result}
            return counts.get("exporter", 0) >= 2 and counts.get("fleet", 0) >= 2
        wait_for("two scrapes of each job", two_scrapes)

        reply = client.ask(b"\x01")
        check(reply is not None and len(reply) == 3264, "the status reply")
        check_job(prometheus_port, "exporter", target, reply)
        check_job(prometheus_port, "fleet", target, reply)

        def danger_alert():
            alerts = api(prometheus_port, "alerts")["alerts"]
            return [a for a in alerts if a["labels"]["alertname"] == "VeldakorDriveNotGood" and a["state"] == "firing"]
        wait_for("the alert of the danger drive", danger_alert, 30)
        firing = danger_alert()
        drives = sorted((a["labels"]["job"], a["labels"]["drive"], a["labels"]["model"], a["labels"]["severity"])
                        for a in firing)
        check(drives == [("exporter", "1", "E2E SECOND DISK", "critical"), ("fleet", "1", "E2E SECOND DISK", "critical")],
              "firing: %r" % drives)
    finally:
        for p in started:
            p.kill()
            p.wait()
        program.close()


SCENARIOS = {f.__name__: f for f in (prometheus_fleet,)}

if __name__ == "__main__":
    sys.exit(run(SCENARIOS, sys.argv))
