// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The texts of the window and its dialogs that the command line does not show (those stand in
// operations/texts.h). Most are the wording of the program the devices came with, kept as their
// users know it, odd spellings included ("You should select a sever to connect."); the window's
// own controls carry theirs in app/main_dlg_template.h, as its template has them. Every one is
// marked for the catalogue here and translated where it is shown.

#include <QString>
#include <string_view>

#include "platform/translation.h"

namespace corvane::dialogs::text {

// A text of the program as Qt shows it, in the user's language. Only for the constants marked
// for translation (here, in the window's template, or in operations/texts.h): a device's data
// must never be looked up in the catalogue.
inline QString Shown(std::string_view text) {
  const std::string_view shown = platform::Tr(text);
  return QString::fromUtf8(shown.data(), static_cast<qsizetype>(shown.size()));
}

// Message box captions.
inline constexpr std::string_view kError = NC_("message box caption", "Error");
inline constexpr std::string_view kWarning = NC_("message box caption", "Warning");
inline constexpr std::string_view kConfirm = NC_("message box caption", "Confirm");

// Buttons of the dialogs.
inline constexpr std::string_view kOk = N_("OK");
inline constexpr std::string_view kCancel = N_("Cancel");

// The main window.
inline constexpr std::string_view kSelectServerToConnect =
    N_("You should select a sever to connect.");
// TRANSLATORS: the entry of the window's context menu; "(&A)" makes A its access key: keep an
// "&" before the letter that is to be the access key in your language.
inline constexpr std::string_view kAboutMenu = N_("About Corvane(&A)...");
// TRANSLATORS: the two choices of the "DHCP Client :" list: the device takes its address from a
// DHCP server (Enabled) or has a static address (Disabled).
inline constexpr std::string_view kDhcpDisabled = NC_("DHCP client", "Disabled");
inline constexpr std::string_view kDhcpEnabled = NC_("DHCP client", "Enabled");
inline constexpr std::string_view kColumnName = NC_("device list column", "Name");
inline constexpr std::string_view kColumnIp = NC_("device list column", "IP");
inline constexpr std::string_view kColumnNetmask = NC_("device list column", "Netmask");
inline constexpr std::string_view kColumnGateway = NC_("device list column", "Gateway");
inline constexpr std::string_view kColumnShareName = NC_("share list column", "Share name");
// TRANSLATORS: the share list's column with the drive letter a share is connected to.
inline constexpr std::string_view kColumnConnectTo = NC_("share list column", "Connect to");

// The Login dialog.
inline constexpr std::string_view kLoginTitle = NC_("dialog title", "Login");
inline constexpr std::string_view kUserNameLabel = N_("User name :");
inline constexpr std::string_view kPasswordLabel = N_("Password :");

// The Mapping Type dialog: a share's drive is mapped by the device's host name or its address.
inline constexpr std::string_view kMapTypeTitle = NC_("dialog title", "Mapping Type");
inline constexpr std::string_view kMapByHostName = N_("Host Name");
inline constexpr std::string_view kMapByAddress = N_("IP Address");

// The Language and Loading dialogs, and the restart wait.
inline constexpr std::string_view kLanguageTitle = NC_("dialog title", "Language");
inline constexpr std::string_view kLanguageLabel = N_("Language:");
inline constexpr std::string_view kLoading = N_("Loading.....");
inline constexpr std::string_view kLoadingWarning =
    N_(" Warning: Do not power down your device during this process.");
inline constexpr std::string_view kLoadingDamage =
    N_("Doing so may physically damage this device.");
inline constexpr std::string_view kRestarting =
    N_("The system is restarting. Please wait a moment.");

// The About box. The product's name and version are filled into their line, never translated.
inline constexpr std::string_view kAboutTitle = NC_("dialog title", "About Corvane");
// TRANSLATORS: the first line of the About box: %1$s is the product name (Corvane), %2$s its
// version number (3.8.0.0).
inline constexpr std::string_view kAboutVersion = N_("%1$s Version %2$s");
// TRANSLATORS: the second line of the About box: %1$s is the year, %2$s the product name
// (Corvane). The line has room for about 30 characters.
inline constexpr std::string_view kAboutCopyright = N_("© %1$s %2$s developers");
inline constexpr std::string_view kAboutLicence =
    N_("Licensed under the GNU General Public License, version 3 or later.");
// TRANSLATORS: the About box's OK button, which the devices' own program labels in Traditional
// Chinese; translate it as the OK of your language.
inline constexpr std::string_view kAboutOk = N_("確定");

}  // namespace corvane::dialogs::text
