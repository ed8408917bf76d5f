// SPDX-License-Identifier: GPL-3.0-or-later
#include "operations/drive_mapping.h"

#include "operations/blocking.h"
#include "operations/input_rules.h"
#include "operations/reachability_check.h"
#include "platform/unc_path.h"

namespace corvane::operations {

namespace {

using platform::DriveResult;

// Another attempt can change nothing after these: the host does not answer within the bound,
// the letter or name is refused, or the system cannot map at all.
bool WorthRepeating(DriveResult result) {
  return result == DriveResult::kLoginNeeded || result == DriveResult::kFailed;
}

// One mapping in progress: the letter, the name and what the user answered, which is wiped
// when the mapping ends.
class Mapping {
 public:
  Mapping(const ShareServices& services, char letter, std::string remote, Interaction& interaction)
      : services_(services),
        letter_(letter),
        remote_(std::move(remote)),
        interaction_(interaction) {}

  // Without credentials first; a share that keeps refusing gets the user's answer, once.
  DriveResult Connect() {
    const DriveResult result = AttemptRepeatedly();
    if (result == DriveResult::kOk || !WorthRepeating(result)) return result;
    AskForLogin();
    return Attempt();
  }

 private:
  void AskForLogin() {
    if (std::optional<platform::Credentials> given = interaction_.AskShareCredentials(remote_)) {
      login_ = std::move(*given);
    }
  }

  DriveResult AttemptRepeatedly() {
    DriveResult result = DriveResult::kFailed;
    for (int attempt = 0; attempt < kMappingAttempts; ++attempt) {
      result = Attempt();
      if (result == DriveResult::kOk || !WorthRepeating(result)) break;
    }
    return result;
  }

  DriveResult Attempt() {
    return RunBlocking(interaction_, [&] {
      return services_.drives.AddConnection(letter_, remote_, login_.user.view(),
                                            login_.password.view());
    });
  }

  const ShareServices& services_;
  char letter_;
  std::string remote_;
  Interaction& interaction_;
  platform::Credentials login_;
};

// What name resolvers read as an address when it has no dots: a number, decimal or "0x" hex.
bool ReadsAsNumber(std::string_view name) {
  const bool hex = name.size() > 2 && name[0] == '0' && (name[1] == 'x' || name[1] == 'X');
  const std::string_view digits = hex ? name.substr(2) : name;
  return !digits.empty() && digits.find_first_not_of(hex ? "0123456789abcdefABCDEF"
                                                         : "0123456789") == std::string_view::npos;
}

// A device's name comes in an unauthenticated reply, and a mapping by name sends the user's
// credentials wherever it points: only a name this program could have given a device is taken,
// never one that names another machine (a dotted name, an address written as one number).
bool SettableHostName(std::string_view name) {
  return !CheckHostName(name) && !ReadsAsNumber(name);
}

std::string Unavailable(platform::DriveMappings& drives, Interaction& interaction) {
  return RunBlocking(interaction, [&] { return drives.Unavailable(); });
}

}  // namespace

MountResult MountShare(const ShareServices& services, const MountRequest& request,
                       Interaction& interaction) {
  MountResult result{MountOutcome::kNoShare, {}, DriveResult::kFailed, {}};
  const auto end = [&result](MountOutcome outcome) {
    result.outcome = outcome;
    return result;
  };
  if (request.shareName.empty()) return end(MountOutcome::kNoShare);
  result.unavailable = Unavailable(services.drives, interaction);
  if (!result.unavailable.empty()) return end(MountOutcome::kUnavailable);
  const MapType type = interaction.ChooseMapType();
  if (type == MapType::kCancelled) return end(MountOutcome::kCancelled);
  if (!CheckReachable(request.deviceAddress, interaction, services.reachability)) {
    return end(MountOutcome::kUnreachable);
  }
  if (!request.letter) return end(MountOutcome::kNoLetter);

  const std::string& host = type == MapType::kHostName ? request.deviceName : request.deviceAddress;
  result.remote = "\\\\" + host + "\\" + request.shareName;
  // Checked before the letter loses its connection: a name from the network must not cost the
  // user a working drive.
  if (!platform::ParseShareName(result.remote) ||
      (type == MapType::kHostName && !SettableHostName(host))) {
    return end(MountOutcome::kNameRefused);
  }
  const char letter = *request.letter;
  RunBlocking(interaction, [&] { return services.drives.CancelConnection(letter, false); });
  result.lastAttempt = Mapping(services, letter, result.remote, interaction).Connect();
  return end(result.lastAttempt == DriveResult::kOk ? MountOutcome::kMapped
                                                    : MountOutcome::kFailed);
}

UnmountResult UnmountDrive(platform::DriveMappings& drives, std::string_view driveText,
                           Interaction& interaction) {
  UnmountResult result{UnmountOutcome::kRefused, DriveResult::kNotConnected, {}};
  result.unavailable = Unavailable(drives, interaction);
  if (!result.unavailable.empty()) {
    result.outcome = UnmountOutcome::kUnavailable;
    return result;
  }
  // An empty text names no drive, which the system refuses like any other name it lacks.
  const char letter = driveText.empty() ? '\0' : driveText.front();
  result.result = RunBlocking(interaction, [&] { return drives.CancelConnection(letter, false); });
  if (result.result == DriveResult::kOk) result.outcome = UnmountOutcome::kDone;
  return result;
}

std::vector<MappedDrive> ListMappedDrives(const platform::DriveMappings& drives) {
  std::vector<MappedDrive> mapped;
  for (char letter = 'D'; letter <= 'Z'; ++letter) {
    std::optional<std::string> remote = drives.GetConnection(letter);
    if (!remote) continue;
    mapped.push_back({letter, std::move(*remote), drives.GetFolder(letter).value_or("")});
  }
  return mapped;
}

}  // namespace corvane::operations
