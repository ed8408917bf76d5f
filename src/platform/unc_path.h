// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Network paths as callers hold them, "\\host\share" or "\\host\share\dir\file", checked once
// where they enter the platform layer and turned into the URL forms the SMB clients take.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvane::platform {

struct UncPath {
  std::string host;
  std::string share;
  std::vector<std::string> folders;  // the components after the share, the last one a file
};

// Refuses anything that could point somewhere other than it says: a missing host or share, a
// component holding '/', a control character, or that is "." or "..", an empty component, and
// host names with URL syntax in them (user, port or query separators).
std::optional<UncPath> ParseUncPath(std::string_view text);

// "\\host\share" and nothing after the share.
std::optional<UncPath> ParseShareName(std::string_view text);

// smb://host/share/dir/file with every byte outside the unreserved URL characters
// percent-encoded, so that no name can add URL syntax.
std::string SmbUrl(const UncPath& path);

}  // namespace corvane::platform
