// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/pumping_smb_files.h"

#include <chrono>
#include <functional>
#include <future>
#include <system_error>

#include "dialogs/busy_wait.h"

namespace corvane::app {

namespace {

constexpr std::chrono::milliseconds kPumpSlice{10};

// Every call of the service returns within its bound, so the wait here ends too.
template <typename Result>
Result RunPumping(const std::function<Result()>& call) {
  std::future<Result> result;
  try {
    result = std::async(std::launch::async, call);
  } catch (const std::system_error&) {
    return call();  // no thread to be had: the window stands still for this one call
  }
  while (result.wait_for(kPumpSlice) != std::future_status::ready) dialogs::BusyScope::Pump();
  return result.get();
}

}  // namespace

int PumpingSmbFiles::ConnectPath(std::string_view uncPath) {
  return RunPumping<int>([&] { return files_.ConnectPath(uncPath); });
}

platform::SmbWriteResult PumpingSmbFiles::WriteFile(std::string_view uncPath,
                                                    std::span<const std::uint8_t> payload) {
  return RunPumping<platform::SmbWriteResult>([&] { return files_.WriteFile(uncPath, payload); });
}

platform::SmbSizeResult PumpingSmbFiles::FileSize(std::string_view uncPath) {
  return RunPumping<platform::SmbSizeResult>([&] { return files_.FileSize(uncPath); });
}

bool PumpingSmbFiles::PathExists(std::string_view uncPath) {
  return RunPumping<bool>([&] { return files_.PathExists(uncPath); });
}

}  // namespace corvane::app
