// SPDX-License-Identifier: GPL-3.0-or-later
#include "operations/codepage_install.h"

#include "operations/blocking.h"

#include <cerrno>

#include "language/payload_catalogue.h"
#include "platform/error_text.h"
#include "protocol/fixed_text.h"

namespace corvane::operations {

namespace {

constexpr int kDiskStateTries = 4;
constexpr int kShareLookupTries = 10;
constexpr int kConnectTries = 6;

using PathBuffer = protocol::FixedText<kTargetPathCapacity>;

bool IsKnownSystemShare(std::string_view share) {
  const std::optional<language::Target> target = language::ChooseTarget(share);
  // An empty answer is no answer: the lookup asks again.
  return !share.empty() && target.has_value();
}

// "\\host\directory\file"; false when it would not fit the buffer, which then stays empty.
bool FormatTargetPath(PathBuffer& path, std::string_view host, std::string_view directory,
                      std::string_view fileName) {
  const std::string text =
      "\\\\" + std::string(host) + "\\" + std::string(directory) + "\\" + std::string(fileName);
  path.Clear();
  if (text.size() >= PathBuffer::kCapacity) return false;
  path.Set(text);
  return true;
}

void ReadSystemShare(protocol::Session& session, Interaction& interaction) {
  for (int attempt = 0; attempt < kShareLookupTries; ++attempt) {
    session.ShareNameText.Clear();
    RunBlocking(interaction, [&] { session.ReadShareName(); });
    if (IsKnownSystemShare(session.ShareNameText.view())) return;
  }
}

// The host did not answer within the bound, or is not there at all.
bool ServerSilent(int error) {
  return error == ETIMEDOUT || error == EHOSTUNREACH;
}

int ConnectWithinTries(platform::SmbFiles& files, std::string_view targetPath) {
  int result = 0;
  for (int attempt = 0; attempt < kConnectTries; ++attempt) {
    result = files.ConnectPath(targetPath);
    if (result == 0 || ServerSilent(result)) break;
  }
  return result;
}

std::string ErrorText(int error) {
  return platform::ErrorText(error);
}

std::string WriteFailure(const CodepageWrite& write) {
  if (write.error != 0) return ErrorText(write.error);
  if (write.written != write.payloadSize) {
    return platform::Fill(platform::Tr("the server took %1$d of %2$d bytes"),
                          {std::to_string(write.written), std::to_string(write.payloadSize)});
  }
  if (!write.sizeOnDevice) return std::string(platform::Tr("the file is not there afterwards"));
  return platform::Fill(platform::Tr("the file has %1$d bytes instead of %2$d"),
                        {std::to_string(*write.sizeOnDevice), std::to_string(write.payloadSize)});
}

}  // namespace

std::string_view LanguageCheck::Refusal() const {
  switch (disk) {
    case DiskState::kReady:
      return {};
    case DiskState::kNoDisk:
      return platform::Tr(text::kNoHardDrives);
    case DiskState::kNotFormatted:
      return platform::Tr(text::kFormatHardDrive);
    case DiskState::kNoLanguages:
      break;
  }
  return platform::Tr(text::kLanguagesNotSupported);
}

LanguageCheck CheckLanguageSupport(protocol::Session& session, Interaction& interaction) {
  LanguageCheck check;
  session.IdeOkText.Clear();
  for (int attempt = 0; attempt < kDiskStateTries && !check.diskStateAnswered; ++attempt) {
    RunBlocking(interaction, [&] { check.diskStateAnswered = session.ReadIdeOk() != 0; });
  }
  const int state = language::LeadingInteger(session.IdeOkText.view());
  if (state == 1 || state == 2 || state == 3) check.disk = static_cast<DiskState>(state);
  if (!check.Ready()) return check;

  session.CodepageText.Clear();
  RunBlocking(interaction, [&] { check.codepageAnswered = session.ReadCodepage() != 0; });
  check.LanguageIndex =
      language::LanguageIndexForCodepage(language::LeadingInteger(session.CodepageText.view()));
  return check;
}

bool OpenDeviceWebPage(platform::WebBrowser& browser, std::string_view host) {
  return browser.StartSystemOpener("http://" + std::string(host));
}

bool WriteCodepageResource(platform::SmbFiles& files, int resourceId, std::string_view targetPath,
                           int& CopyFailed, CodepageWrite* report) {
  CodepageWrite outcome;
  const std::optional<language::Payload> payload = language::LookUpPayload(resourceId);
  if (!payload) {
    outcome.error = EINVAL;
  } else {
    outcome.payloadSize = payload->bytes.size();
    // Opening access may fail and the write still work (or the reverse): the write decides,
    // unless the server did not answer at all, which each further call would only repeat.
    const int connected = ConnectWithinTries(files, targetPath);
    if (ServerSilent(connected)) {
      outcome.error = connected;
    } else {
      const platform::SmbWriteResult write = files.WriteFile(targetPath, payload->bytes);
      outcome.error = write.error;
      outcome.written = write.written;
      const platform::SmbSizeResult size = files.FileSize(targetPath);
      if (size.error == 0) outcome.sizeOnDevice = size.size;
    }
  }
  // Existence alone would let a file left from an earlier run stand in for one that could not
  // be written; the device would then switch its codepage with an old or broken file.
  const bool written = payload && outcome.error == 0 && outcome.written == outcome.payloadSize &&
                       outcome.sizeOnDevice == std::uint64_t{outcome.payloadSize};
  CopyFailed = written ? 0 : 1;
  if (report != nullptr) *report = outcome;
  return written;
}

InstallResult InstallCodepageFiles(protocol::Session& session, platform::SmbFiles& files,
                                   int LanguageIndex, std::string_view host,
                                   Interaction& interaction) {
  InstallResult result;
  result.languageIndex = LanguageIndex;
  session.RwText.Set("rw");
  RunBlocking(interaction, [&] { result.rwConfirmed = session.SendRw() != 0; });

  ReadSystemShare(session, interaction);
  result.ShareNameText = session.ShareNameText.str();
  result.target = language::ChooseTarget(result.ShareNameText);
  if (!result.target) result.failure = InstallFailure::kUnexpectedShare;

  const auto ids = result.target ? language::CodepageFileIds(LanguageIndex, result.target->layout)
                                 : std::span<const int>();
  PathBuffer path;
  for (const int id : ids) {
    if (!FormatTargetPath(path, host, result.target->directory, language::PayloadFileName(id))) {
      result.failure = InstallFailure::kPathTooLong;
      break;
    }
    bool written = false;
    CodepageWrite write;
    RunBlocking(interaction, [&] {
      written = WriteCodepageResource(files, id, path.view(), result.CopyFailed, &write);
    });
    if (!written) {
      result.failure = InstallFailure::kWriteFailed;
      result.failedPath = path.str();
      result.failedWrite = write;
      break;
    }
    result.written.push_back(path.str());
    interaction.Report({Progress::Kind::kFileWritten, path.view(), write.written});
  }
  if (ids.empty() && result.failure == InstallFailure::kNone) {
    result.failure = InstallFailure::kUnknownLanguage;
  }

  if (result.failure == InstallFailure::kNone) {
    session.CodepageText.Set(
        language::kLanguages[static_cast<std::size_t>(LanguageIndex)].codepage);
    RunBlocking(interaction, [&] { result.codepageConfirmed = session.SetCodepage() != 0; });
    return result;
  }
  result.CopyFailed = 1;
  session.StopText.Set("stop");
  RunBlocking(interaction, [&] { result.stopConfirmed = session.SendStop() != 0; });
  return result;
}

std::string DescribeInstallFailure(const InstallResult& result) {
  switch (result.failure) {
    case InstallFailure::kNone:
      return {};
    case InstallFailure::kUnexpectedShare:
      return platform::Fill(
          // TRANSLATORS: %s is the share name the device sent; HDD_1 and HDD_a are share names.
          platform::Tr("the device reports its system share as \"%s\", neither HDD_1 nor HDD_a: "
                       "nothing was written"),
          {result.ShareNameText});
    case InstallFailure::kUnknownLanguage:
      return platform::Fill(platform::Tr("no language has the index %d"),
                            {std::to_string(result.languageIndex)});
    case InstallFailure::kPathTooLong:
      return platform::Fill(
          platform::Tr("the target path would exceed %d characters: nothing more was written"),
          {std::to_string(kTargetPathCapacity - 1)});
    case InstallFailure::kWriteFailed:
      break;
  }
  return platform::Fill(
      // TRANSLATORS: %1$s is a file on the device, %2$s why it could not be written.
      platform::Tr("could not write %1$s: %2$s"),
      {result.failedPath, WriteFailure(result.failedWrite)});
}

}  // namespace corvane::operations
