// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Installing language support on the selected device, for the window and the command line
// alike: first the checks (is there a formatted disk, which language does the device use now),
// then the installer, which puts the device's disk in write mode ("rw"), finds where the device
// keeps its codepages, copies the language's files there over SMB, and ends by sending the new
// codepage, after which the device restarts, or "stop" when a file could not be written.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "language/codepage_files.h"
#include "operations/interaction.h"
#include "operations/texts.h"
#include "platform/smb_files.h"
#include "platform/web_browser.h"
#include "protocol/session.h"

namespace corvane::operations {

// The disk state a device reports ("ideok"); any number other than 1, 2 and 3, and no answer,
// means the device offers no languages.
enum class DiskState { kNoLanguages = 0, kNoDisk = 1, kNotFormatted = 2, kReady = 3 };

struct LanguageCheck {
  DiskState disk = DiskState::kNoLanguages;
  bool diskStateAnswered = false;
  bool codepageAnswered = false;  // read only when the disk is ready
  // The language the device uses now, to be preselected; kDefaultLanguageIndex when its
  // codepage is none of the six or did not come.
  int LanguageIndex = language::kDefaultLanguageIndex;

  bool Ready() const { return disk == DiskState::kReady; }
  // What the user is told when the disk is not ready; empty when it is.
  std::string_view Refusal() const;
  // An unformatted disk is formatted on the device's web page, which is opened for the user.
  bool OpensWebPage() const { return disk == DiskState::kNotFormatted; }
};

// Reads the disk state (up to four tries until one is answered) and, only when the disk is
// ready, the device's current codepage.
LanguageCheck CheckLanguageSupport(protocol::Session& session, Interaction& interaction);

// Hands "http://host" to the system opener; false when it could not be started.
bool OpenDeviceWebPage(platform::WebBrowser& browser, std::string_view host);

// The longest target path, terminator included, that the installer forms. The longest that can
// occur (a 15-character address, layout 2, "unicode_map.KOI8-R") has 65 characters.
inline constexpr std::size_t kTargetPathCapacity = 128;

// What became of one file.
struct CodepageWrite {
  int error = 0;            // of the write, 0 when the server took the whole payload
  std::size_t written = 0;  // bytes the server accepted
  std::size_t payloadSize = 0;
  std::optional<std::uint64_t> sizeOnDevice;  // none: the file cannot be found afterwards
};

// Writes the payload with this resource id to the target path: opens access to the share (up
// to six tries; whether it worked shows in the write, but a server that does not answer or a
// host that is not there ends the tries and the file with them), then replaces the file with the
// whole payload. It counts as written only when the server took every byte and the file on the
// device then has the payload's size: a file that was there before and could not be rewritten
// does not pass. Sets CopyFailed to 0 or 1 to match the result.
bool WriteCodepageResource(platform::SmbFiles& files, int resourceId, std::string_view targetPath,
                           int& CopyFailed, CodepageWrite* report = nullptr);

enum class InstallFailure {
  kNone,
  kUnexpectedShare,  // the device named a system share of neither layout: nothing was written
  kPathTooLong,      // the target path does not fit kTargetPathCapacity: nothing more written
  kUnknownLanguage,  // LanguageIndex names no language: nothing was written
  kWriteFailed,
};

struct InstallResult {
  int CopyFailed = 0;  // 1 after any failure: the front end offers the Language dialog again
  InstallFailure failure = InstallFailure::kNone;
  int languageIndex = 0;
  std::string ShareNameText;  // what the device reported last
  std::optional<language::Target> target;
  std::vector<std::string> written;  // target paths, in the order of writing
  std::string failedPath;
  CodepageWrite failedWrite;
  bool rwConfirmed = false;
  bool codepageConfirmed = false;  // success: the device confirmed its new codepage
  bool stopConfirmed = false;      // failure: the device confirmed "stop"
};

// The installer. LanguageIndex names a row of language::kLanguages; host is the device's
// address as the target paths name it. Every request and every file goes through
// RunBlocking, and each file written is reported to the front end (Progress::kFileWritten).
InstallResult InstallCodepageFiles(protocol::Session& session, platform::SmbFiles& files,
                                   int LanguageIndex, std::string_view host,
                                   Interaction& interaction);

// One line on what went wrong, for a front end that says more than text::kCheckHardDrives; empty
// after success.
std::string DescribeInstallFailure(const InstallResult& result);

}  // namespace corvane::operations
