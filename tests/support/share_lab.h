// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// For lab tests of shares and mounts. They run on the lab's PC inside tools/lab/session.sh
// (corvane_lab_test(... SESSION)): a private home and XDG folders, a session bus for GVfs, and
// an SMB client configuration that keeps NetBIOS look-ups on the lab's links.

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

namespace corvane::lab {

// True inside session.sh.
bool InDesktopSession();

// The folder on this machine that backs a device's Samba share
// ($CORVANE_LAB_DIR/devices/ID.d/samba/shares/SHARE): what the server really stored.
std::string ShareFolder(std::string_view deviceId, std::string_view share);

// Waits until a device's NetBIOS name answers on the lab's links; Samba's name server claims
// its name a few seconds after it starts. False when it did not within the bound.
bool WaitForNetbiosName(std::string_view name,
                        std::chrono::seconds bound = std::chrono::seconds(30));

// Runs a program (no shell) with stdout and stderr to /dev/null; its exit status, or -1.
int RunQuietly(const std::vector<std::string>& argv);

std::string ReadWholeFile(const std::string& path);

}  // namespace corvane::lab
