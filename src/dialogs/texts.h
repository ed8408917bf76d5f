// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The texts of the window and its dialogs that the command line does not show (those stand in
// operations/texts.h). Most are the wording of the program the devices came with, kept as their
// users know it, odd spellings included ("You should select a sever to connect."); the window's
// own controls carry theirs in app/main_dlg_template.h, as its template has them.

#include <QString>
#include <string_view>

namespace corvane::dialogs::text {

// A text of the program as Qt shows it.
inline QString Shown(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Message box captions.
inline constexpr std::string_view kError = "Error";
inline constexpr std::string_view kWarning = "Warning";
inline constexpr std::string_view kConfirm = "Confirm";

// Buttons of the dialogs.
inline constexpr std::string_view kOk = "OK";
inline constexpr std::string_view kCancel = "Cancel";

// The main window.
inline constexpr std::string_view kSelectServerToConnect = "You should select a sever to connect.";
inline constexpr std::string_view kAboutMenu = "About Corvane(&A)...";
inline constexpr std::string_view kDhcpDisabled = "Disabled";
inline constexpr std::string_view kDhcpEnabled = "Enabled";
inline constexpr std::string_view kColumnName = "Name";
inline constexpr std::string_view kColumnIp = "IP";
inline constexpr std::string_view kColumnNetmask = "Netmask";
inline constexpr std::string_view kColumnGateway = "Gateway";
inline constexpr std::string_view kColumnShareName = "Share name";
inline constexpr std::string_view kColumnConnectTo = "Connect to";

// The Login dialog.
inline constexpr std::string_view kLoginTitle = "Login";
inline constexpr std::string_view kUserNameLabel = "User name :";
inline constexpr std::string_view kPasswordLabel = "Password :";

// The Mapping Type dialog.
inline constexpr std::string_view kMapTypeTitle = "Mapping Type";
inline constexpr std::string_view kMapByHostName = "Host Name";
inline constexpr std::string_view kMapByAddress = "IP Address";

// The Language and Loading dialogs, and the restart wait.
inline constexpr std::string_view kLanguageTitle = "Language";
inline constexpr std::string_view kLanguageLabel = "Language:";
inline constexpr std::string_view kLoading = "Loading.....";
inline constexpr std::string_view kLoadingWarning =
    " Warning: Do not power down your device during this process.";
inline constexpr std::string_view kLoadingDamage = "Doing so may physically damage this device.";
inline constexpr std::string_view kRestarting = "The system is restarting. Please wait a moment.";

}  // namespace corvane::dialogs::text
