#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Checks a lab config and resolves it for lab.sh.

Writes the resolved config (namespace and interface names filled in) as JSON to the file named
by the third argument and prints the build plan, one shell-friendly line per step:
  bridge BRIDGE
  pc NAMESPACE INTERFACE ADDRESS/PREFIX BRIDGE SWITCHPORT
  device ID NAMESPACE
  leg NAMESPACE INTERFACE ADDRESS/PREFIX BRIDGE SWITCHPORT
  start ID NAMESPACE COMMAND...   (shell-quoted; started once the devices answer)
  listen ID NAMESPACE PORT        (a service's TCP port; lab.sh waits until it listens)
Services a device asks for (samba, web, stallPorts) get their files in devices/ID.d.
"""
import ipaddress
import json
import os
import re
import shlex
import sys

import lab_services

NAME = re.compile(r"^[A-Za-z0-9_-]{1,32}$")
INTERFACE = re.compile(r"^[A-Za-z0-9_.-]{1,15}$")


def fail(message):
    sys.stderr.write(f"lab: config: {message}\n")
    sys.exit(2)


def interface_address(text, where):
    if not isinstance(text, str):
        fail(f"{where}: address missing")
    if "/" not in text:
        text += "/24"
    try:
        iface = ipaddress.IPv4Interface(text)
    except ValueError:
        fail(f"{where}: bad address {text!r}")
    return f"{iface.ip}/{iface.network.prefixlen}"


def bridge_name(where, entry):
    bridge = entry.get("bridge", "a")
    if not isinstance(bridge, str) or not NAME.match(bridge) or len(bridge) > 12:
        fail(f"{where}: bad bridge name {bridge!r}")
    return bridge


def resolve(config, prefix, state_dir):
    plan, bridges = [], []

    def use_bridge(bridge):
        if bridge not in bridges:
            bridges.append(bridge)
            plan.append(f"bridge br-{bridge}")

    pc_ns = prefix + "pc"
    pc = config.get("pc", {})
    interfaces = pc.get("interfaces", [])
    if not interfaces:
        fail("pc needs at least one interface")
    for index, entry in enumerate(interfaces):
        where = f"pc interface {index}"
        name = entry.get("name", f"lan{index + 1}")
        if not INTERFACE.match(name):
            fail(f"{where}: bad interface name {name!r}")
        entry["name"] = name
        entry["address"] = interface_address(entry.get("address"), where)
        entry["bridge"] = bridge_name(where, entry)
        use_bridge(entry["bridge"])
        plan.append(f"pc {pc_ns} {name} {entry['address']} br-{entry['bridge']} p{index}")
    pc["namespace"] = pc_ns

    seen = set()
    devices = config.get("devices", [])
    for number, device in enumerate(devices):
        ident = device.get("id")
        if not isinstance(ident, str) or not NAME.match(ident):
            fail(f"device {number}: id must be 1-32 letters, digits, '_' or '-'")
        if ident in seen:
            fail(f"device id {ident} used twice")
        seen.add(ident)
        ns = f"{prefix}d-{ident}"
        device["namespace"] = ns
        plan.append(f"device {ident} {ns}")
        legs = device.get("legs", [])
        if not legs:
            fail(f"device {ident}: needs at least one leg")
        for index, leg in enumerate(legs):
            where = f"device {ident} leg {index}"
            leg.setdefault("interface", f"eth{index}")
            if not INTERFACE.match(leg["interface"]):
                fail(f"{where}: bad interface name")
            leg["address"] = interface_address(leg.get("address"), where)
            leg["bridge"] = bridge_name(where, leg)
            use_bridge(leg["bridge"])
            plan.append(f"leg {ns} {leg['interface']} {leg['address']} "
                        f"br-{leg['bridge']} d{number}l{index}")
    for device in devices:
        starts = device.get("start", [])
        if not isinstance(starts, list):
            fail(f"device {device['id']}: start must be a list of commands")
        for argv in starts:
            if (not isinstance(argv, list) or not argv
                    or not all(isinstance(arg, str) for arg in argv)):
                fail(f"device {device['id']}: each start entry is a list of strings")
            plan.append(f"start {device['id']} {device['namespace']} {shlex.join(argv)}")
        folder = os.path.join(state_dir, "devices", f"{device['id']}.d")
        try:
            plan += lab_services.services(device, folder)
        except lab_services.ConfigError as error:
            fail(str(error))
    config["namespaces"] = {"switch": prefix + "sw", "pc": pc_ns,
                            "devices": {d["id"]: d["namespace"] for d in devices}}
    return plan


def main():
    source, prefix, resolved_path, state_dir, lab_name = sys.argv[1:6]
    try:
        with open(source) as handle:
            config = json.load(handle)
    except (OSError, ValueError) as error:
        fail(f"{source}: {error}")
    if not isinstance(config, dict):
        fail("top level must be an object")
    plan = resolve(config, prefix, state_dir)
    config["lab"] = {"name": lab_name, "dir": state_dir, "prefix": prefix, "source": source}
    with open(resolved_path, "w") as handle:
        json.dump(config, handle, indent=2)
        handle.write("\n")
    print("\n".join(plan))


if __name__ == "__main__":
    main()
