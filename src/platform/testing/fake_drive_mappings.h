// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// DriveMappings with settable connections and drive types, and recorded connect and cancel
// calls with chosen results. Unless set, a letter has no connection and is free (no root
// directory).

#include <array>
#include <deque>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/drive_mappings.h"

namespace corvane::platform::testing {

class FakeDriveMappings : public DriveMappings {
 public:
  struct AddCall {
    char letter;
    std::string remote;
    std::string user;
    std::string password;
  };
  struct CancelCall {
    char letter;
    bool force;
  };

  FakeDriveMappings() { types_.fill(DriveType::kNoRootDir); }

  // remote is "\\server\share"; an empty optional removes the connection. Letters outside A-Z
  // are ignored, as the system ignores them.
  void SetConnection(char letter, std::optional<std::string> remote) {
    if (const int row = Row(letter); row >= 0) connections_[row] = std::move(remote);
  }
  void SetDriveType(char letter, DriveType type) {
    if (const int row = Row(letter); row >= 0) types_[row] = type;
  }
  // A network drive: connected and of type remote.
  void Connect(char letter, std::string remote) {
    SetConnection(letter, std::move(remote));
    SetDriveType(letter, DriveType::kRemote);
  }
  // Results of the next AddConnection calls, in order; once used up, every call succeeds. A
  // successful call connects the letter.
  void QueueAddResults(std::vector<DriveResult> results) {
    addResults_.insert(addResults_.end(), results.begin(), results.end());
  }
  // Files open on the letter's drive: a cancel that is not forced is refused.
  void SetFilesOpen(char letter, bool open) {
    if (const int row = Row(letter); row >= 0) filesOpen_[row] = open;
  }
  void SetUnavailable(std::string reason) { unavailable_ = std::move(reason); }

  const std::vector<AddCall>& AddCalls() const { return addCalls_; }
  const std::vector<CancelCall>& CancelCalls() const { return cancelCalls_; }

  std::optional<std::string> GetConnection(char letter) const override {
    const int row = Row(letter);
    return row >= 0 ? connections_[row] : std::nullopt;
  }
  DriveType GetDriveType(char letter) const override {
    const int row = Row(letter);
    return row >= 0 ? types_[row] : DriveType::kNoRootDir;
  }
  std::optional<std::string> GetFolder(char letter) const override {
    if (!GetConnection(letter)) return std::nullopt;
    return "/fake/drives/" + std::string(1, letter);
  }

  DriveResult AddConnection(char letter, std::string_view remote, std::string_view user,
                            std::string_view password) override {
    addCalls_.push_back({letter, std::string(remote), std::string(user), std::string(password)});
    if (!unavailable_.empty()) return DriveResult::kUnavailable;
    if (Row(letter) < 3) return DriveResult::kBadLocalName;
    if (GetConnection(letter)) return DriveResult::kAlreadyAssigned;
    DriveResult result = DriveResult::kOk;
    if (!addResults_.empty()) {
      result = addResults_.front();
      addResults_.pop_front();
    }
    if (result == DriveResult::kOk) Connect(letter, std::string(remote));
    return result;
  }

  DriveResult CancelConnection(char letter, bool force) override {
    cancelCalls_.push_back({letter, force});
    const int row = Row(letter);
    if (row < 3) return DriveResult::kBadLocalName;
    if (!connections_[row]) return DriveResult::kNotConnected;
    if (filesOpen_[row] && !force) return DriveResult::kFilesOpen;
    connections_[row].reset();
    types_[row] = DriveType::kNoRootDir;
    return DriveResult::kOk;
  }

  std::string Unavailable() const override { return unavailable_; }

 private:
  static int Row(char letter) {
    if (letter >= 'a' && letter <= 'z') letter = static_cast<char>(letter - 'a' + 'A');
    return letter >= 'A' && letter <= 'Z' ? letter - 'A' : -1;
  }

  std::array<std::optional<std::string>, 26> connections_{};
  std::array<DriveType, 26> types_{};
  std::array<bool, 26> filesOpen_{};
  std::deque<DriveResult> addResults_;
  std::vector<AddCall> addCalls_;
  std::vector<CancelCall> cancelCalls_;
  std::string unavailable_;
};

}  // namespace corvane::platform::testing
