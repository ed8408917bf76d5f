// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What an operation needs from the front end that runs it: answers only the user can give, a
// way to wait without freezing, and an ear for its progress. The window answers with its dialogs
// and keeps painting under a busy cursor; the command line answers from its options or a terminal
// prompt and just waits. Operations never show anything themselves: they return a result, and the
// front end tells the user in its own way. A new flow adds its questions here the same way, so both
// front ends must answer them.

#include <cstddef>
#include <functional>
#include <optional>
#include <string_view>

#include "platform/secret_text.h"

namespace corvane::operations {

// How a mapped share is named: by the device's name or by its address.
enum class MapType { kCancelled = 0, kHostName = 1, kAddress = 2 };

// One step of an operation that a front end may show as it happens.
struct Progress {
  enum class Kind {
    kWorkgroupRead,  // text: the workgroup of the device being shown; its shares come next
    kFileWritten,    // text: the target path of a language file now on the device; bytes
  };
  Kind kind;
  std::string_view text;
  std::size_t bytes = 0;
};

class Interaction {
 public:
  virtual ~Interaction() = default;

  // Waits until done() is true while blocking work goes on on another thread. The window keeps
  // painting meanwhile but shows a busy cursor and takes no input; the command line simply
  // waits. done is asked on the front end's own thread. Operations wait only through
  // RunBlocking (operations/blocking.h), whose every piece of work ends within a bound of its
  // own.
  virtual void WaitUntil(const std::function<bool()>& done) = 0;

  // The device did not accept the default administrator pair: the pair to try once more, or
  // nothing when the front end has nothing to give (no password and nobody to ask), so that the
  // default pair is not sent a second time. Each text holds at most 16 characters.
  virtual std::optional<platform::Credentials> AskAdministratorCredentials() = 0;

  // Whether a share is to be mapped by the device's name or by its address; kCancelled stops
  // the mapping.
  virtual MapType ChooseMapType() = 0;

  // The share to map refused the connection without credentials: the user and password to
  // try (at most 16 characters each), or nothing, which tries the share without them again.
  virtual std::optional<platform::Credentials> AskShareCredentials(std::string_view remote) = 0;

  // A step is done; a front end that shows steps as they come shows it now.
  virtual void Report(const Progress& progress) { (void)progress; }
};

}  // namespace corvane::operations
