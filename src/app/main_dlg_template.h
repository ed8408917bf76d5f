// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Layout of the main window in dialog units, in template (and tab) order.

#include <array>

#include "platform/translation.h"

namespace corvane::app {

enum class ItemKind { kList, kButton, kEdit, kCombo, kIpAddress, kGroup, kLabel };

struct TemplateItem {
  int id;  // a label's is that of the control it names; -1 for group boxes
  ItemKind kind;
  const char* text;  // marked for translation, translated where the control is made
  int x, y, w, h;
};

namespace id {
inline constexpr int kDeviceList = 1000;
inline constexpr int kShareList = 1001;
inline constexpr int kSearch = 1002;
inline constexpr int kMount = 1003;
inline constexpr int kUnmount = 1004;
inline constexpr int kIpAddress = 1006;
inline constexpr int kModifyLan = 1007;
inline constexpr int kWebPage = 1008;
inline constexpr int kExit = 1009;
inline constexpr int kNetmask = 1010;
inline constexpr int kGateway = 1011;
inline constexpr int kModifyNames = 1012;
inline constexpr int kDrive = 1013;
inline constexpr int kDhcp = 1015;
inline constexpr int kHostName = 1022;
inline constexpr int kWorkgroup = 1023;
inline constexpr int kSetLanguage = 1028;
inline constexpr int kAbout = 1030;
}  // namespace id

inline constexpr int kMainDialogWidth = 369;
inline constexpr int kMainDialogHeight = 354;
inline constexpr int kTextLimit = 15;  // host name and workgroup edits
// The rows of the DHCP list.
inline constexpr int kDhcpDisabledRow = 0;
inline constexpr int kDhcpEnabledRow = 1;

inline constexpr std::array<TemplateItem, 18> kMainControls{{
    {id::kDeviceList, ItemKind::kList, "", 13, 13, 251, 89},
    {id::kAbout, ItemKind::kButton, NC_("button", "About"), 275, 13, 72, 19},
    {id::kSearch, ItemKind::kButton, N_("Search device"), 275, 36, 72, 19},
    {id::kWebPage, ItemKind::kButton, N_("Connect to webpage"), 275, 59, 72, 19},
    {id::kSetLanguage, ItemKind::kButton, N_("Set language"), 276, 82, 72, 19},
    {id::kHostName, ItemKind::kEdit, "", 69, 119, 92, 12},
    {id::kWorkgroup, ItemKind::kEdit, "", 70, 135, 92, 12},
    {id::kModifyNames, ItemKind::kButton, NC_("button", "Modify"), 184, 132, 50, 16},
    {id::kDhcp, ItemKind::kCombo, "", 64, 165, 99, 49},
    {id::kIpAddress, ItemKind::kIpAddress, "", 64, 182, 100, 15},
    {id::kNetmask, ItemKind::kIpAddress, "", 64, 202, 100, 15},
    {id::kGateway, ItemKind::kIpAddress, "", 64, 222, 100, 15},
    {id::kModifyLan, ItemKind::kButton, NC_("button", "Modify"), 186, 221, 50, 16},
    {id::kShareList, ItemKind::kList, "", 14, 257, 197, 85},
    {id::kDrive, ItemKind::kCombo, "", 231, 264, 107, 110},
    {id::kMount, ItemKind::kButton, NC_("button", "Mount"), 249, 280, 69, 17},
    {id::kUnmount, ItemKind::kButton, NC_("button", "Unmount"), 249, 301, 69, 17},
    {id::kExit, ItemKind::kButton, NC_("button", "Exit"), 249, 322, 69, 17},
}};

// Labels carry no size in the template; they get the room up to the control they name.
inline constexpr std::array<TemplateItem, 11> kMainStatics{{
    {-1, ItemKind::kGroup, N_("Search Device"), 7, 1, 354, 106},
    {-1, ItemKind::kGroup, N_("Setting"), 7, 110, 354, 42},
    {id::kHostName, ItemKind::kLabel, N_(" Host Name :"), 17, 121, 50, 8},
    {id::kWorkgroup, ItemKind::kLabel, N_(" Workgroup :"), 17, 137, 50, 8},
    {-1, ItemKind::kGroup, N_("LAN"), 7, 156, 354, 87},
    {id::kDhcp, ItemKind::kLabel, N_("DHCP Client :"), 16, 167, 46, 8},
    {id::kIpAddress, ItemKind::kLabel, N_("I P :"), 17, 185, 45, 8},
    {id::kNetmask, ItemKind::kLabel, N_("Netmask :"), 17, 206, 45, 8},
    {id::kGateway, ItemKind::kLabel, N_("Gateway :"), 17, 226, 45, 8},
    // TRANSLATORS: the title of the group around the share list and the drive letters, as the
    // devices' own program has it: translate the word as it stands.
    {-1, ItemKind::kGroup, NC_("group box", "Static"), 7, 245, 354, 102},
    {id::kDrive, ItemKind::kLabel, N_("Drive :"), 231, 255, 40, 8},
}};

// What screen readers call the controls without a label, and the two "Modify" buttons, which
// share a caption.
inline constexpr const char* kDeviceListName = NC_("accessible name", "Devices");
inline constexpr const char* kShareListName = NC_("accessible name", "Shares");
inline constexpr const char* kModifyNamesName =
    NC_("accessible name", "Modify host name and workgroup");
inline constexpr const char* kModifyLanName = NC_("accessible name", "Modify LAN settings");

// A closed drop-down list is one text line high; the template height includes the open list.
inline constexpr int kClosedComboHeight = 14;

}  // namespace corvane::app
