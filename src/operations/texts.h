// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Every text that the window and the command line both show. Most are the wording of the
// program the devices came with, kept as their users know it, odd turns of phrase included
// ("Please checked ... un-mount", "Set to dhcp client fail" without a full stop): scripts and
// manuals quote them. They are the keys of the catalogues; the functions of this layer that
// hand a message to a front end hand it over translated (platform::Tr).

#include <string_view>

#include "platform/translation.h"

namespace corvane::operations::text {

// The LAN settings and the names.
inline constexpr std::string_view kSelectServerToModifyIp =
    N_("You should select a server to modify IP!");
inline constexpr std::string_view kInputIpAddress = N_("Please input IP address!");
inline constexpr std::string_view kInputNetmask = N_("Please input net mask address!");
inline constexpr std::string_view kInputGateway = N_("Please input gateway address!");
inline constexpr std::string_view kGatewayInputError = N_("Gateway address input error!");
inline constexpr std::string_view kWrongAdminPassword = N_("Wrong administrator password input!");
inline constexpr std::string_view kDhcpDone = N_("Set to dhcp client done!");
inline constexpr std::string_view kDhcpFail = N_("Set to dhcp client fail");
inline constexpr std::string_view kSelectServerToModifyNames =
    N_("You should select a server to modify Host Name and Workgroup!");
inline constexpr std::string_view kHostNameEmpty = N_("The Host Name cannot be empty!");
inline constexpr std::string_view kWorkgroupEmpty = N_("The Workgroup cannot be empty!");

// The octet messages of ValidateAddress, by kind and octet.
inline constexpr std::string_view kIpOctet1 =
    N_("Invalid IP address in 1st digit. It should be 0-255.");
inline constexpr std::string_view kIpOctet2 =
    N_("Invalid IP address in 2nd digit. It should be 0-255.");
inline constexpr std::string_view kIpOctet3 =
    N_("Invalid IP address in 3rd digit. It should be 0-255.");
inline constexpr std::string_view kIpOctet4 =
    N_("Invalid IP address in 4th digit. It should be 1-254.");
inline constexpr std::string_view kNetmaskOctet1 =
    N_("Invalid subnet mask address in 1st digit. It should be 0-255.");
inline constexpr std::string_view kNetmaskOctet2 =
    N_("Invalid subnet mask address in 2nd digit. It should be 0-255.");
inline constexpr std::string_view kNetmaskOctet3 =
    N_("Invalid subnet mask address in 3rd digit. It should be 0-255.");
inline constexpr std::string_view kNetmaskOctet4 =
    N_("Invalid subnet mask address in 4th digit. It should be 0-255.");
inline constexpr std::string_view kGatewayOctet1 =
    N_("Invalid gateway IP address in 1st digit. It should be 0-255.");
inline constexpr std::string_view kGatewayOctet2 =
    N_("Invalid gateway IP address in 2nd digit. It should be 0-255.");
inline constexpr std::string_view kGatewayOctet3 =
    N_("Invalid gateway IP address in 3rd digit. It should be 0-255.");
inline constexpr std::string_view kGatewayOctet4 =
    N_("Invalid gateway IP address in 4th digit. It should be 1-254.");

// Format messages of the name change. The characters listed are what the device refuses. The short
// host-name text is shown when an apostrophe is the first forbidden character, the long one (ending
// in " ,") for every other.
inline constexpr std::string_view kHostNameFormatShort = N_(
    // TRANSLATORS: keep the list of characters after the line break exactly as it is.
    "The Host Name format is not correct.\r\nCan not include \\ /:*?\"< >|.;+=~'[ ]{} @ # ()!'^$% "
    "&");
inline constexpr std::string_view kHostNameFormatLong = N_(
    // TRANSLATORS: keep the list of characters after the line break exactly as it is.
    "The Host Name format is not correct.\r\nCan not include \\ /:*?\"< >|.;+=~'[ ]{} @ # ()!'^$% "
    "& ,");
inline constexpr std::string_view kWorkgroupFormat = N_(
    // TRANSLATORS: keep the list of characters after the line break exactly as it is.
    "The Workgroup format is not correct.\r\nCan not include \\ /:*?\"< >|.;+=~'[ ]{} ,");

inline constexpr std::string_view kHostNameTooLong =
    N_("The Host Name cannot be longer than 31 characters!");
inline constexpr std::string_view kWorkgroupTooLong =
    N_("The Workgroup cannot be longer than 31 characters!");
inline constexpr std::string_view kCredentialsUnanswered =
    N_("The device did not answer the password check.");

// Shares on drive letters, and a device that no longer answers.
inline constexpr std::string_view kSelectShareToMount =
    N_("You should select a samba server disk to mount!");
inline constexpr std::string_view kMapFailed = N_("Failed to map drive.");
inline constexpr std::string_view kMapDone = N_("Successfully mapped drive.");
inline constexpr std::string_view kUnmountFailedHeadline = N_("Unmount Disk Fail!");
inline constexpr std::string_view kUnmountFailed =
    N_("Unmount Disk Fail!\nPlease checked if you had selected a drive to un-mount,\nor any file "
       "opened on selected drive that did not close.");
inline constexpr std::string_view kUnmountDone = N_("Unmount Disk OK!");

inline constexpr std::string_view kDeviceGone = N_("Device is no longer available.");

// Language support.
inline constexpr std::string_view kSelectDevice = N_("You should select a device.");
inline constexpr std::string_view kNoHardDrives =
    N_("No hard drives were detected.\nPlease verify that the hard drives are properly connected "
       "before continuing.");
inline constexpr std::string_view kFormatHardDrive = N_("Please format hard drive.");
inline constexpr std::string_view kLanguagesNotSupported =
    N_("Multi-language options are not supported on this device.");
inline constexpr std::string_view kCheckHardDrives = N_("Please check hard drives.");

}  // namespace corvane::operations::text
