#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Reads the window as a screen reader does, over AT-SPI: starts app_accessibility (the main
window with two devices, the Login dialog, a message box) and fails on any control a person can
use that shows without a name, on two such controls with one name, and on the names and values
a screen-reader user depends on. Run in a session of its own:
  scripts/x11-session.sh dbus-run-session -- tests/app/check_accessibility.py PROGRAM
"""
import os
import subprocess
import sys
import time

import pyatspi

INTERACTIVE = {
    pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY, pyatspi.ROLE_PASSWORD_TEXT,
    pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_TREE, pyatspi.ROLE_TREE_TABLE, pyatspi.ROLE_TABLE,
    pyatspi.ROLE_LIST, pyatspi.ROLE_RADIO_BUTTON, pyatspi.ROLE_CHECK_BOX,
}


def find_application(name, windows):
    for _ in range(150):
        for application in pyatspi.Registry.getDesktop(0):
            if application is not None and application.name == name and \
                    application.childCount >= windows:
                return application
        time.sleep(0.2)
    sys.exit(f"{name} did not show {windows} windows over AT-SPI")


def controls(node, window=""):
    """Every showing interactive control with the window it is in, cells and list items aside."""
    for child in node:
        if child is None or not child.getState().contains(pyatspi.STATE_SHOWING):
            continue
        if child.getRole() in (pyatspi.ROLE_DIALOG, pyatspi.ROLE_ALERT, pyatspi.ROLE_FRAME):
            yield from controls(child, child.name)
            continue
        if child.getRole() in INTERACTIVE:
            yield window, child
        if child.getRole() not in (pyatspi.ROLE_TREE, pyatspi.ROLE_TREE_TABLE, pyatspi.ROLE_TABLE,
                                   pyatspi.ROLE_COMBO_BOX):
            yield from controls(child, window)


def text_of(node):
    try:
        text = node.queryText()
        return text.getText(0, -1)
    except NotImplementedError:
        return None


def main():
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    program = subprocess.Popen([sys.argv[1]], env=env)
    failures = []
    try:
        application = find_application(os.path.basename(sys.argv[1]), 3)
        named = {}
        for window, control in controls(application):
            where = f"{window}: {control.getRoleName()}"
            if not control.name.strip():
                failures.append(f"{where} has no name (text {text_of(control)!r})")
                continue
            key = (window, control.name)
            # The fields of an address control are named after it.
            if control.parent is not None and control.parent.name == control.name:
                continue
            if key in named:
                failures.append(f"{where} shares its name {control.name!r} with another control")
            named[key] = control
        main_window = {name: node for (window, name), node in named.items() if window == "Corvane"}
        for name in ("Host Name", "Workgroup", "DHCP Client", "IP", "Netmask", "Gateway", "Drive",
                     "Devices", "Shares", "Modify host name and workgroup",
                     "Modify LAN settings"):
            if name not in main_window:
                failures.append(f"main window: no control named {name!r}")
        if "Drive" in main_window and "D:" not in [item.name for item in pyatspi.findAllDescendants(
                    main_window["Drive"], lambda node: node.getRole() == pyatspi.ROLE_LIST_ITEM)]:
            failures.append("the Drive list does not expose its entries")
        if "IP" in main_window and text_of(main_window["IP"]) != "192.168.50.21":
            failures.append(f"IP reads {text_of(main_window['IP'])!r}, not the whole address")
        if "Devices" in main_window:
            devices = main_window["Devices"].queryTable()
            cells = [devices.getAccessibleAt(row, 1).name for row in range(devices.nRows)]
            if devices.nColumns != 4 or cells != ["192.168.50.21", "192.168.50.22"]:
                failures.append(f"device list: {devices.nColumns} columns, IP cells {cells}")
        for name in ("User name", "Password"):
            if ("Login", name) not in named:
                failures.append(f"Login: no field named {name!r}")
        alert_texts = [label.name for label in pyatspi.findAllDescendants(
            application, lambda node: node.getRole() == pyatspi.ROLE_LABEL)]
        if "The device did not answer." not in alert_texts:
            failures.append("the message box's text is not readable")
    finally:
        program.terminate()
        program.wait()
    for failure in failures:
        print(failure)
    print(f"accessibility: {len(failures)} problem(s)")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
