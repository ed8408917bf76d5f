// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The SMB file service as the windows use it: each call runs on a thread of its own while the
// user-interface thread keeps pumping events (painting, timers; input stays with whatever busy
// state is in force), so that a window never looks frozen during a copy. Calls still run one at
// a time, in order.

#include "platform/smb_files.h"

namespace corvane::app {

class PumpingSmbFiles : public platform::SmbFiles {
 public:
  // files must outlive this object.
  explicit PumpingSmbFiles(platform::SmbFiles& files) : files_(files) {}

  int ConnectPath(std::string_view uncPath) override;
  platform::SmbWriteResult WriteFile(std::string_view uncPath,
                                     std::span<const std::uint8_t> payload) override;
  platform::SmbSizeResult FileSize(std::string_view uncPath) override;
  bool PathExists(std::string_view uncPath) override;

 private:
  platform::SmbFiles& files_;
};

}  // namespace corvane::app
