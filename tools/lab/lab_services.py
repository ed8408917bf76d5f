# SPDX-License-Identifier: GPL-3.0-or-later
"""Real services of simulated devices: Samba file shares, a web page, ports that never answer.

Called by resolve_config.py for each device that asks for them. Writes the services' files
into the device's folder (devices/ID.d) and returns plan lines for lab.sh:
  start ID NAMESPACE COMMAND...   a daemon, started once the devices answer
  listen ID NAMESPACE PORT        lab.sh waits until something listens on this TCP port
"""
import os
import re
import shlex
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
NETBIOS = re.compile(r"^[A-Za-z0-9_-]{1,15}$")
SHARE = re.compile(r"^[^\\/:*?\"<>|\[\]\x00-\x1f]{1,64}$")
DEFAULT_USER = "labuser"
DEFAULT_PASSWORD = "lab-secret"
DEFAULT_LOGIN_SHARE = "private"


class ConfigError(Exception):
    pass


def services(device, folder):
    """The plan lines of one resolved device's services; folder is its devices/ID.d."""
    plan = []
    ident, ns = device["id"], device["namespace"]
    if device.get("samba"):
        plan += samba(device, os.path.join(folder, "samba"))
    if device.get("web"):
        plan += web(device, os.path.join(folder, "web"))
    stall = device.get("stallPorts", [])
    if not isinstance(stall, list) or not all(isinstance(p, int) and 0 < p < 65536 for p in stall):
        raise ConfigError(f"device {ident}: stallPorts is a list of port numbers")
    if stall:
        plan.append([sys.executable, os.path.join(HERE, "stall_server.py")] + [str(p) for p in stall])
    lines = [f"start {ident} {ns} {shlex.join(argv)}" for argv in plan]
    ports = ([445] if device.get("samba") else []) + ([80] if device.get("web") else []) + stall
    lines += [f"listen {ident} {ns} {port}" for port in ports]
    return lines


def samba_options(device):
    options = device["samba"]
    if options is True:
        options = {}
    if not isinstance(options, dict):
        raise ConfigError(f"device {device['id']}: samba is true or an object")
    return options


def share_names(device):
    return [name for name in device.get("shares", "HDD_a:public").split(":") if name]


def samba(device, folder):
    ident = device["id"]
    options = samba_options(device)
    name = device.get("name", ident)
    if not NETBIOS.match(name):
        raise ConfigError(f"device {ident}: a Samba device's name must be a NetBIOS name "
                          "(1-15 letters, digits, '-' or '_')")
    user = options.get("user", DEFAULT_USER)
    password = options.get("password", DEFAULT_PASSWORD)
    login_share = options.get("loginShare", DEFAULT_LOGIN_SHARE)
    names = share_names(device)
    per_share = options.get("shares", {})
    for share in per_share:
        if share not in names:
            raise ConfigError(f"device {ident}: samba share {share!r} is not in its shares")
    for share in names + ([login_share] if login_share else []):
        if not SHARE.match(share):
            raise ConfigError(f"device {ident}: {share!r} cannot be a share name")

    for part in ("lock", "state", "cache", "private", "pid", "ncalrpc", "log"):
        os.makedirs(os.path.join(folder, part), exist_ok=True)
    sections = [global_section(device, options, folder)]
    for share in names:
        # A listed share may be the one that needs a login: the device lists it like any other.
        if share != login_share:
            sections.append(guest_share(share, per_share.get(share, {}), folder, ident))
    if login_share:
        sections.append(login_share_section(login_share, folder))
    conf = os.path.join(folder, "smb.conf")
    with open(conf, "w") as handle:
        handle.write("\n".join(sections))
    with open(os.path.join(folder, "users.map"), "w") as handle:
        # Samba needs a system account behind every user; the guest account serves.
        handle.write(f"nobody = {user}\n")
    add_login(conf, password)
    return [
        file_size_limit(device, options) +
        ["smbd", "--foreground", "--no-process-group", "--debug-stdout", "-s", conf],
        ["nmbd", "--foreground", "--no-process-group", "--debug-stdout", "-s", conf],
    ]


def file_size_limit(device, options):
    """A server that cannot write a file beyond this many bytes fails part-way through a write,
    as a full disk or a lost connection would."""
    limit = options.get("fileSizeLimit")
    if limit is None:
        return []
    if not isinstance(limit, int) or limit <= 0:
        raise ConfigError(f"device {device['id']}: fileSizeLimit is a number of bytes")
    return ["prlimit", f"--fsize={limit}", "--"]


def global_section(device, options, folder):
    lines = [
        "[global]",
        f"netbios name = {device.get('name', device['id'])}",
        f"workgroup = {device.get('workgroup', 'WORKGROUP')}",
        "server string = simulated storage device",
        "security = user",
        "map to guest = Bad User",
        "guest account = nobody",
        "server min protocol = NT1",
        "log level = 1",
        "load printers = no",
        "printing = bsd",
        "printcap name = /dev/null",
        "disable spoolss = yes",
        "usershare max shares = 0",
        f"username map = {folder}/users.map",
        f"passdb backend = tdbsam:{folder}/private/passdb.tdb",
    ]
    for part, key in (("lock", "lock directory"), ("state", "state directory"),
                      ("cache", "cache directory"), ("private", "private dir"),
                      ("pid", "pid directory"), ("ncalrpc", "ncalrpc dir")):
        lines.append(f"{key} = {folder}/{part}")
    lines.append(f"log file = {folder}/log/%m.log")
    if "protocol" in options:
        if options["protocol"] not in ("NT1", "SMB2", "SMB3"):
            raise ConfigError(f"device {device['id']}: samba protocol is NT1, SMB2 or SMB3")
        lines.append(f"server max protocol = {options['protocol']}")
    return "\n  ".join(lines) + "\n"


def guest_share(share, options, folder, ident):
    path = os.path.join(folder, "shares", share)
    make_writable_folder(path)
    for sub in options.get("folders", []):
        inside(path, sub, ident)
        make_writable_folder(os.path.join(path, sub))
    for sub, text in options.get("files", {}).items():
        target = inside(path, sub, ident)
        make_writable_folder(os.path.dirname(target))
        with open(target, "w") as handle:
            handle.write(text)
        os.chmod(target, 0o666)
    read_only = "yes" if options.get("readOnly") else "no"
    # Without "guest only", an anonymous session cannot write in folders it created itself.
    return (f"[{share}]\n  path = {path}\n  read only = {read_only}\n  guest ok = yes\n"
            "  guest only = yes\n")


def login_share_section(share, folder):
    path = os.path.join(folder, "shares", share)
    make_writable_folder(path)
    return (f"[{share}]\n  path = {path}\n  read only = no\n  guest ok = no\n"
            "  valid users = nobody\n")


def inside(base, sub, ident):
    target = os.path.normpath(os.path.join(base, sub))
    if not target.startswith(base + os.sep):
        raise ConfigError(f"device {ident}: {sub!r} is not inside its share")
    return target


def make_writable_folder(path):
    # Files arrive as the guest account; the lab's folders belong to root.
    os.makedirs(path, exist_ok=True)
    os.chmod(path, 0o777)


def add_login(conf, password):
    result = subprocess.run(["smbpasswd", "-c", conf, "-a", "-s", "nobody"],
                            input=f"{password}\n{password}\n", text=True,
                            capture_output=True, check=False)
    if result.returncode != 0:
        raise ConfigError(f"smbpasswd failed: {result.stderr.strip() or result.stdout.strip()}")


def web(device, folder):
    os.makedirs(folder, exist_ok=True)
    name = device.get("name", device["id"])
    with open(os.path.join(folder, "index.html"), "w") as handle:
        handle.write(f"<!DOCTYPE html>\n<html><head><title>{name}</title></head>\n"
                     f"<body><h1>{name}</h1><p>Simulated storage device.</p></body></html>\n")
    return [[sys.executable, "-m", "http.server", "80", "--bind", "0.0.0.0", "--directory", folder]]
