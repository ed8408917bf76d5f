// SPDX-License-Identifier: GPL-3.0-or-later
// payloads: the files that language installation writes onto a device, listed or extracted.

#include <filesystem>
#include <fstream>
#include <iomanip>
#include <system_error>

#include "cli/command_spec.h"
#include "cli/commands.h"
#include "language/payload_catalogue.h"

namespace corvane::cli {

namespace {

using language::AllPayloads;
using language::Payload;

constexpr const char* kUsage =
    "usage: corvane payloads [--extract DIR]\n"
    "\n"
    "Without options, lists the files that language installation writes onto a\n"
    "device: resource id, device file name and size in bytes.\n"
    "\n"
    "  --extract DIR  write all of them into DIR (created if missing) under their\n"
    "                 device file names, byte for byte\n"
    "  -h, --help     show this help\n";

template <typename Id, typename Name, typename Size>
void ListRow(std::ostream& out, const Id& id, const Name& name, const Size& size) {
  out << std::right << std::setw(4) << id << "  " << std::left << std::setw(20) << name
      << std::right << std::setw(8) << size << "\n";
}

void ListPayloads(std::ostream& out) {
  ListRow(out, "id", "file name", "bytes");
  for (const Payload& payload : AllPayloads()) {
    ListRow(out, payload.id, payload.fileName, payload.bytes.size());
  }
}

bool WritePayload(const std::filesystem::path& path, const Payload& payload, std::ostream& err) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  if (file) {
    file.write(reinterpret_cast<const char*>(payload.bytes.data()),
               static_cast<std::streamsize>(payload.bytes.size()));
    file.close();
  }
  if (!file) {
    err << "corvane payloads: cannot write " << path.string() << "\n";
    return false;
  }
  return true;
}

int ExtractPayloads(const std::filesystem::path& dir, std::ostream& out, std::ostream& err) {
  std::error_code error;
  std::filesystem::create_directories(dir, error);
  if (error || !std::filesystem::is_directory(dir)) {
    err << "corvane payloads: cannot create folder " << dir.string()
        << (error ? ": " + error.message() : std::string()) << "\n";
    return kExitDeviceFailed;
  }
  for (const Payload& payload : AllPayloads()) {
    if (!WritePayload(dir / std::string(payload.fileName), payload, err)) return kExitDeviceFailed;
  }
  out << "wrote " << AllPayloads().size() << " files to " << dir.string() << "\n";
  return kExitOk;
}

int UsageError(const std::string& problem, std::ostream& err) {
  err << "corvane payloads: " << problem << "\n" << kUsage;
  return kExitUsage;
}

// It reads its own arguments.
int RunPayloads(const CommandLine& line, Console& console) {
  const std::vector<std::string>& args = line.passThrough;
  std::ostream& out = console.out;
  std::ostream& err = console.err;
  if (args.empty()) {
    ListPayloads(out);
    return kExitOk;
  }
  const std::string& option = args[0];
  if (option == "-h" || option == "--help") {
    out << kUsage;
    return kExitOk;
  }
  if (option == "--extract") {
    if (args.size() < 2 || args[1].empty()) return UsageError("--extract needs a folder", err);
    if (args.size() > 2) return UsageError("unexpected argument '" + args[2] + "'", err);
    return ExtractPayloads(args[1], out, err);
  }
  return UsageError("unknown argument '" + option + "'", err);
}

}  // namespace

std::vector<CommandSpec> PayloadCommands() {
  CommandSpec payloads;
  payloads.command = Command::kPayloads;
  payloads.name = "payloads";
  payloads.summary = "  payloads               work with the language support files\n";
  payloads.usage =
      "Usage: corvane payloads [...]\n"
      "Works with the language support files; see 'corvane payloads --help'.\n";
  payloads.ownArguments = true;
  payloads.run = RunPayloads;
  return {payloads};
}

}  // namespace corvane::cli
