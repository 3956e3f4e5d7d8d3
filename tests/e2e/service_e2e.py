#!/usr/bin/env python3
"""End-to-end run of the status service's rules against a stranger.

usage: service_e2e.py BIN_DIR NATIVE_BIN_DIR WINEPREFIX win32|win64 SCENARIO

The same harness as app_e2e.py. The stranger is this host's own address on
its network interface: datagrams from it come from outside loopback. A host
without one gets a test address on its loopback interface for the run.
"""

import ipaddress
import socket
import subprocess
import sys
import tempfile
import time

from app_e2e import Program, check, run, service_port, settings_file, two_drives

REPLY_SIZE = 16 * 204
SPARE_ADDRESS = "192.0.2.123"  # TEST-NET-1, only when the host has no address of its own


def own_addresses():
    out = subprocess.run(["ip", "-4", "-o", "addr", "show"], stdout=subprocess.PIPE, check=True).stdout.decode()
    found = []
    for line in out.splitlines():
        fields = line.split()
        address = ipaddress.ip_interface(fields[fields.index("inet") + 1]).ip
        if not address.is_loopback:
            found.append(str(address))
    return found


class Stranger:
    """A non-loopback local address to send from: the host's own, or one
    added to the loopback interface until the end of the run."""

    def __init__(self):
        found = own_addresses()
        self.added = not found
        if self.added:
            subprocess.run(["ip", "addr", "add", SPARE_ADDRESS + "/32", "dev", "lo"], check=True)
            found = [SPARE_ADDRESS]
        self.address = found[0]

    def close(self):
        if self.added:
            subprocess.run(["ip", "addr", "del", SPARE_ADDRESS + "/32", "dev", "lo"], check=False)


def ask(source, target, port, datagram, timeout=0.3):
    sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    try:
        sock.bind((source, 0))
        sock.settimeout(timeout)
        sock.sendto(datagram, (target, port))
        try:
            return sock.recv(65535)
        except socket.timeout:
            return None
    finally:
        sock.close()


def wait_echo(source, target, port, timeout=20):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        if ask(source, target, port, b"\x00", 0.5) == b"\x00":
            return True
    return False


def start(wine, port, **server):
    folder = tempfile.mkdtemp(prefix="vk-e2e-")
    two_drives(folder)
    server.update({"Enable": 1, "Port": port})
    wine.write_settings(settings_file(Global={"Run": 1}, Server=server))
    program = Program(wine, cwd=folder)
    program.wait_window()
    return program


def service_rules(wine):
    stranger = Stranger()
    me = stranger.address
    port = service_port()
    try:
        # Loopback only: the stranger gets nothing, not even a box for a
        # command the program does not know.
        program = start(wine, port, Allow="127.0.0.0/8")
        check(wait_echo("127.0.0.1", "127.0.0.1", port), "the echo was not answered on loopback")
        for datagram in (b"\x55", b"\x00", b"\x01", b"\x10"):
            check(ask(me, me, port, datagram) is None, "the stranger %s was answered %r" % (me, datagram))
        check(wine.probe("box", "確認情報")[0] != 0, "a stranger's datagram raised a box")
        reply = ask("127.0.0.1", "127.0.0.1", port, b"\x01", 3.0)
        check(reply is not None and len(reply) == REPLY_SIZE, "loopback got %r" % (reply and len(reply)))
        program.close()

        # Everyone answered, bound to the host's address: the stranger's
        # stop is ignored, loopback is not where the service listens.
        program = start(wine, port, Allow="*", Address=me)
        check(wait_echo(me, me, port), "the echo was not answered on %s" % me)
        check(ask(me, me, port, b"\x10") is None, "the stranger's stop was answered")
        reply = ask(me, me, port, b"\x01", 3.0)
        check(reply is not None and len(reply) == REPLY_SIZE, "the stranger's status after its stop: %r" % reply)
        check(ask("127.0.0.1", "127.0.0.1", port, b"\x00") is None, "answered on loopback, bound to %s" % me)
        program.close()
        check(ask(me, me, port, b"\x00") is None, "the server outlived the program")
    finally:
        stranger.close()


SCENARIOS = {f.__name__: f for f in (service_rules,)}

if __name__ == "__main__":
    sys.exit(run(SCENARIOS, sys.argv))
