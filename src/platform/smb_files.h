// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Files on a device's disk share, addressed by the network path the caller holds
// ("\\host\share\dir\file"), without mounting anything.
//
// Failures are errno values: EINVAL a path that ParseUncPath refuses; ENOENT a missing folder,
// file or share (nothing is created); EACCES a share that needs a login, or a read-only one;
// ECONNREFUSED nothing listening; EHOSTUNREACH an absent host (after about 3 s); ETIMEDOUT a
// host that never answers (after the bound); ECONNABORTED a protocol both sides cannot speak;
// EIO a write the server took only in part, or an SMB client that could not start; others as the
// SMB client reports them.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

namespace corvane::platform {

struct SmbWriteResult {
  std::size_t written = 0;  // bytes the server accepted, also when the write failed part-way
  int error = 0;            // 0 only when the whole payload was written and the file closed
};

struct SmbSizeResult {
  std::uint64_t size = 0;
  int error = 0;
};

// One object keeps one connection per server for all its calls (the first call to a share
// costs about 10 ms, later ones about 1 ms). The guest user is used, and SMB1 is allowed, for
// old devices. Every call returns within the bound, whatever the network does; run calls off a
// window's thread. One object serves one caller at a time. A call that overruns its bound is
// reported as ETIMEDOUT and still ends in the background before the object's next call starts;
// destroying the object waits for it.
class SmbFiles {
 public:
  virtual ~SmbFiles() = default;
  // Opens access to the share that holds the path. 0 on success, else an errno value.
  virtual int ConnectPath(std::string_view uncPath) = 0;
  // Replaces the file with the payload, or creates it: the payload goes to a file of its own
  // beside it (".NAME.corvane-new"), its size is checked, and only then does it take the
  // file's name. On failure that file is removed again and the old file is as it was.
  virtual SmbWriteResult WriteFile(std::string_view uncPath,
                                   std::span<const std::uint8_t> payload) = 0;
  virtual SmbSizeResult FileSize(std::string_view uncPath) = 0;
  // True when the file or folder exists; every failure to find out reads as false.
  virtual bool PathExists(std::string_view uncPath) = 0;
};

struct SmbFilesOptions {
  // The longest any one call may take. The SMB client's own timeout is set a second below it,
  // so that a silent server is reported as such; the bound covers the waits the client does
  // not time (name look-ups among them).
  std::chrono::milliseconds bound{10000};
};

// Never null. The client reads the user's SMB client configuration: ~/.smb/smb.conf when it
// exists, else the system's /etc/samba/smb.conf.
std::unique_ptr<SmbFiles> MakeSmbFiles(const SmbFilesOptions& options = {});

}  // namespace corvane::platform
