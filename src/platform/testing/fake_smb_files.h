// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// SmbFiles over an in-memory set of files: a write stores the payload under its path exactly
// as given, unless a failure was set for that path (or for every path).

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/smb_files.h"

namespace corvane::platform::testing {

class FakeSmbFiles : public SmbFiles {
 public:
  using Bytes = std::vector<std::uint8_t>;

  // error 0 removes the failure. written: how much a failing write still stores.
  void FailWrites(const std::string& path, int error, std::size_t written = 0) {
    writeFailures_[path] = {written, error};
  }
  void FailAllWrites(int error) { allWritesFail_ = error; }
  void SetConnectResult(int result) { connectResult_ = result; }
  void PutFile(const std::string& path, Bytes bytes) { files_[path] = std::move(bytes); }

  const std::map<std::string, Bytes>& Files() const { return files_; }
  // Every call in order, as "connect PATH", "write PATH", "size PATH" or "exists PATH".
  const std::vector<std::string>& Calls() const { return calls_; }

  int ConnectPath(std::string_view path) override {
    calls_.push_back("connect " + std::string(path));
    return connectResult_;
  }

  SmbWriteResult WriteFile(std::string_view path, std::span<const std::uint8_t> payload) override {
    const std::string key(path);
    calls_.push_back("write " + key);
    SmbWriteResult failure{0, allWritesFail_};
    if (const auto found = writeFailures_.find(key); found != writeFailures_.end()) {
      failure = found->second;
    }
    if (failure.error == 0) {
      files_[key] = Bytes(payload.begin(), payload.end());
      return {payload.size(), 0};
    }
    if (failure.written > 0) {
      files_[key] = Bytes(payload.begin(), payload.begin() + static_cast<std::ptrdiff_t>(std::min(
                                                                 failure.written, payload.size())));
    }
    return failure;
  }

  SmbSizeResult FileSize(std::string_view path) override {
    calls_.push_back("size " + std::string(path));
    const auto found = files_.find(std::string(path));
    if (found == files_.end()) return {0, ENOENT};
    return {found->second.size(), 0};
  }

  bool PathExists(std::string_view path) override {
    calls_.push_back("exists " + std::string(path));
    return files_.count(std::string(path)) != 0;
  }

 private:
  std::map<std::string, Bytes> files_;
  std::map<std::string, SmbWriteResult> writeFailures_;
  std::vector<std::string> calls_;
  int allWritesFail_ = 0;
  int connectResult_ = 0;
};

}  // namespace corvane::platform::testing
