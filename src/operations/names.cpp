// SPDX-License-Identifier: GPL-3.0-or-later
#include "operations/names.h"

#include "operations/blocking.h"

#include "operations/input_rules.h"

namespace corvane::operations {

namespace {

bool IsContinuationByte(unsigned char byte) {
  return (byte & 0xC0u) == 0x80u;
}

// Length of the UTF-8 sequence that starts with this byte; 0 when no sequence starts with it.
std::size_t SequenceLength(unsigned char lead) {
  if (lead < 0x80u) return 1;
  if (lead >= 0xC2u && lead <= 0xDFu) return 2;
  if (lead >= 0xE0u && lead <= 0xEFu) return 3;
  if (lead >= 0xF0u && lead <= 0xF4u) return 4;
  return 0;
}

bool IsUtf8(std::string_view text) {
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t length = SequenceLength(static_cast<unsigned char>(text[at]));
    if (length == 0 || at + length > text.size()) return false;
    for (std::size_t k = 1; k < length; ++k) {
      if (!IsContinuationByte(static_cast<unsigned char>(text[at + k]))) return false;
    }
    at += length;
  }
  return true;
}

// A text in a legacy code page has one byte per character and is cut at any byte; UTF-8 is not
// cut inside a character.
template <std::size_t N>
void SetFitting(protocol::FixedText<N>& buffer, std::string_view text) {
  std::size_t length = std::min(text.size(), N - 1);
  if (length < text.size() && IsUtf8(text)) {
    while (length > 0 && IsContinuationByte(static_cast<unsigned char>(text[length]))) --length;
  }
  buffer.Set(text.substr(0, length));
}

}  // namespace

NamesResult ChangeNames(protocol::Session& session, const NamesInput& input,
                        Interaction& interaction) {
  NamesResult result{NamesOutcome::kSent, {}, false, false};
  if (const auto refusal = CheckHostName(input.hostName)) {
    return {NamesOutcome::kHostNameRefused, *refusal, false, false};
  }
  SetFitting(session.HostNameText, input.hostName);
  RunBlocking(interaction, [&] { result.hostNameConfirmed = session.SetHostName() != 0; });

  if (const auto refusal = CheckWorkgroup(input.workgroup)) {
    result.outcome = NamesOutcome::kWorkgroupRefused;
    result.refusal = *refusal;
    return result;
  }
  SetFitting(session.WorkgroupText, input.workgroup);
  RunBlocking(interaction, [&] { result.workgroupConfirmed = session.SetWorkgroup() != 0; });
  Pause(interaction, kNameSettleTime);
  return result;
}

std::optional<std::string_view> CheckNamesBeforeSending(const NamesInput& input) {
  if (const auto message = CheckHostName(input.hostName)) return message;
  if (input.hostName.size() > kMaxNameLength) return platform::Tr(text::kHostNameTooLong);
  if (const auto message = CheckWorkgroup(input.workgroup)) return message;
  if (input.workgroup.size() > kMaxNameLength) return platform::Tr(text::kWorkgroupTooLong);
  return std::nullopt;
}

}  // namespace corvane::operations
