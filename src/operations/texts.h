// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Every text that the window and the command line both show. Most are the wording of the
// program the devices came with, kept as their users know it, odd turns of phrase included
// ("Please checked ... un-mount", "Set to dhcp client fail" without a full stop): scripts and
// manuals quote them.

#include <string_view>

namespace corvane::operations::text {

// The LAN settings and the names.
inline constexpr std::string_view kSelectServerToModifyIp =
    "You should select a server to modify IP!";
inline constexpr std::string_view kInputIpAddress = "Please input IP address!";
inline constexpr std::string_view kInputNetmask = "Please input net mask address!";
inline constexpr std::string_view kInputGateway = "Please input gateway address!";
inline constexpr std::string_view kGatewayInputError = "Gateway address input error!";
inline constexpr std::string_view kWrongAdminPassword = "Wrong administrator password input!";
inline constexpr std::string_view kDhcpDone = "Set to dhcp client done!";
inline constexpr std::string_view kDhcpFail = "Set to dhcp client fail";
inline constexpr std::string_view kSelectServerToModifyNames =
    "You should select a server to modify Host Name and Workgroup!";
inline constexpr std::string_view kHostNameEmpty = "The Host Name cannot be empty!";
inline constexpr std::string_view kWorkgroupEmpty = "The Workgroup cannot be empty!";

// The octet messages of ValidateAddress, by kind and octet.
inline constexpr std::string_view kIpOctet1 =
    "Invalid IP address in 1st digit. It should be 0-255.";
inline constexpr std::string_view kIpOctet2 =
    "Invalid IP address in 2nd digit. It should be 0-255.";
inline constexpr std::string_view kIpOctet3 =
    "Invalid IP address in 3rd digit. It should be 0-255.";
inline constexpr std::string_view kIpOctet4 =
    "Invalid IP address in 4th digit. It should be 1-254.";
inline constexpr std::string_view kNetmaskOctet1 =
    "Invalid subnet mask address in 1st digit. It should be 0-255.";
inline constexpr std::string_view kNetmaskOctet2 =
    "Invalid subnet mask address in 2nd digit. It should be 0-255.";
inline constexpr std::string_view kNetmaskOctet3 =
    "Invalid subnet mask address in 3rd digit. It should be 0-255.";
inline constexpr std::string_view kNetmaskOctet4 =
    "Invalid subnet mask address in 4th digit. It should be 0-255.";
inline constexpr std::string_view kGatewayOctet1 =
    "Invalid gateway IP address in 1st digit. It should be 0-255.";
inline constexpr std::string_view kGatewayOctet2 =
    "Invalid gateway IP address in 2nd digit. It should be 0-255.";
inline constexpr std::string_view kGatewayOctet3 =
    "Invalid gateway IP address in 3rd digit. It should be 0-255.";
inline constexpr std::string_view kGatewayOctet4 =
    "Invalid gateway IP address in 4th digit. It should be 1-254.";

// Format messages of the name change. The short host-name text is shown when an apostrophe is
// the first forbidden character, the long one (ending in " ,") for every other.
inline constexpr std::string_view kHostNameFormatShort =
    "The Host Name format is not correct.\r\nCan not include \\ /:*?\"< >|.;+=~'[ ]{} @ # ()!'^$% "
    "&";
inline constexpr std::string_view kHostNameFormatLong =
    "The Host Name format is not correct.\r\nCan not include \\ /:*?\"< >|.;+=~'[ ]{} @ # ()!'^$% "
    "& ,";
inline constexpr std::string_view kWorkgroupFormat =
    "The Workgroup format is not correct.\r\nCan not include \\ /:*?\"< >|.;+=~'[ ]{} ,";

inline constexpr std::string_view kHostNameTooLong =
    "The Host Name cannot be longer than 31 characters!";
inline constexpr std::string_view kWorkgroupTooLong =
    "The Workgroup cannot be longer than 31 characters!";
inline constexpr std::string_view kCredentialsUnanswered =
    "The device did not answer the password check.";

// Shares on drive letters, and a device that no longer answers.
inline constexpr std::string_view kSelectShareToMount =
    "You should select a samba server disk to mount!";
inline constexpr std::string_view kMapFailed = "Failed to map drive.";
inline constexpr std::string_view kMapDone = "Successfully mapped drive.";
inline constexpr std::string_view kUnmountFailedHeadline = "Unmount Disk Fail!";
inline constexpr std::string_view kUnmountFailed =
    "Unmount Disk Fail!\nPlease checked if you had selected a drive to un-mount,\nor any file "
    "opened on selected drive that did not close.";
inline constexpr std::string_view kUnmountDone = "Unmount Disk OK!";

inline constexpr std::string_view kDeviceGone = "Device is no longer available.";

// Language support.
inline constexpr std::string_view kSelectDevice = "You should select a device.";
inline constexpr std::string_view kNoHardDrives =
    "No hard drives were detected.\nPlease verify that the hard drives are properly connected "
    "before continuing.";
inline constexpr std::string_view kFormatHardDrive = "Please format hard drive.";
inline constexpr std::string_view kLanguagesNotSupported =
    "Multi-language options are not supported on this device.";
inline constexpr std::string_view kCheckHardDrives = "Please check hard drives.";

}  // namespace corvane::operations::text
