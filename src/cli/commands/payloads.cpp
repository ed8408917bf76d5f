// SPDX-License-Identifier: GPL-3.0-or-later
// payloads: the files that language installation writes onto a device, listed or extracted.

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "cli/command_table.h"
#include "cli/commands.h"
#include "cli/text_width.h"
#include "language/payload_catalogue.h"
#include "platform/file_names.h"
#include "platform/translation.h"

namespace corvane::cli {

namespace {

using language::AllPayloads;
using language::Payload;
using platform::Fill;
using platform::Tr;

constexpr std::string_view kUsage =
    // TRANSLATORS: help; lines within 80 columns (CJK characters count two); command names,
    // option names and placeholders (ADDRESS, FILE...) unchanged; option descriptions aligned.
    N_("usage: corvane payloads [--extract DIR]\n"
       "\n"
       "Without options, lists the files that language installation writes onto a\n"
       "device: resource id, device file name and size in bytes.\n"
       "\n"
       "  --extract DIR  write all of them into DIR (created if missing) under their\n"
       "                 device file names, byte for byte\n"
       "  -h, --help     show this help\n");

// The columns of the list: the id and the size aligned right, the name left; each as wide as
// in English, or as its header in another language.
struct ListColumns {
  std::size_t id = 4;
  std::size_t name = 20;
  std::size_t size = 8;
};

void ListRow(std::ostream& out, const ListColumns& columns, std::string_view id,
             std::string_view name, std::string_view size) {
  out << PadLeft(id, columns.id) << "  " << PadRight(name, columns.name)
      << PadLeft(size, columns.size) << "\n";
}

void ListPayloads(std::ostream& out) {
  const std::string_view id = Tr(NC_("payload list column", "id"));
  const std::string_view name = Tr(NC_("payload list column", "file name"));
  const std::string_view size = Tr(NC_("payload list column", "bytes"));
  ListColumns columns;
  columns.id = std::max(columns.id, TextWidth(id));
  columns.name = std::max(columns.name, TextWidth(name) + 1);
  columns.size = std::max(columns.size, TextWidth(size));
  ListRow(out, columns, id, name, size);
  for (const Payload& payload : AllPayloads()) {
    ListRow(out, columns, std::to_string(payload.id), payload.fileName,
            std::to_string(payload.bytes.size()));
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
    err << "corvane payloads: " << Fill(Tr("cannot write %s"), {platform::TextFromPath(path)})
        << "\n";
    return false;
  }
  return true;
}

std::string CannotCreate(const std::filesystem::path& dir, const std::error_code& error) {
  const std::string folder = platform::TextFromPath(dir);
  if (!error) return Fill(Tr("cannot create folder %s"), {folder});
  // TRANSLATORS: %1$s is the folder, %2$s the system's reason (No such file or directory...).
  return Fill(Tr("cannot create folder %1$s: %2$s"), {folder, error.message()});
}

int ExtractPayloads(const std::filesystem::path& dir, std::ostream& out, std::ostream& err) {
  std::error_code error;
  std::filesystem::create_directories(dir, error);
  if (error || !std::filesystem::is_directory(dir)) {
    err << "corvane payloads: " << CannotCreate(dir, error) << "\n";
    return kExitDeviceFailed;
  }
  for (const Payload& payload : AllPayloads()) {
    if (!WritePayload(dir / platform::PathFromText(payload.fileName), payload, err)) {
      return kExitDeviceFailed;
    }
  }
  // TRANSLATORS: %1$d is the number of files (always several), %2$s the folder.
  out << Fill(Tr("wrote %1$d files to %2$s"),
              {std::to_string(AllPayloads().size()), platform::TextFromPath(dir)})
      << "\n";
  return kExitOk;
}

int UsageError(const std::string& problem, std::ostream& err) {
  err << "corvane payloads: " << problem << "\n" << Tr(kUsage);
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
    out << Tr(kUsage);
    return kExitOk;
  }
  if (option == "--extract") {
    if (args.size() < 2 || args[1].empty()) {
      return UsageError(std::string(Tr("--extract needs a folder")), err);
    }
    if (args.size() > 2) return UsageError(Fill(Tr("unexpected argument '%s'"), {args[2]}), err);
    return ExtractPayloads(platform::PathFromText(args[1]), out, err);
  }
  return UsageError(Fill(Tr("unknown argument '%s'"), {option}), err);
}

}  // namespace

std::vector<CommandSpec> PayloadCommands() {
  CommandSpec payloads;
  payloads.command = Command::kPayloads;
  payloads.name = "payloads";
  // TRANSLATORS: help; lines within 80 columns (CJK characters count two); command names,
  // option names and placeholders (ADDRESS, FILE...) unchanged; option descriptions aligned.
  payloads.summary = N_("  payloads               work with the language support files\n");
  payloads.usage =
      // TRANSLATORS: help; lines within 80 columns (CJK characters count two); command names,
      // option names and placeholders (ADDRESS, FILE...) unchanged; option descriptions aligned.
      N_("Usage: corvane payloads [...]\n"
         "Works with the language support files; see 'corvane payloads --help'.\n");
  payloads.ownArguments = true;
  payloads.run = RunPayloads;
  return {payloads};
}

}  // namespace corvane::cli
