// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What an operation needs from the front end that runs it: answers only the user can give, and
// a way to block without freezing. The window answers with its dialogs and keeps painting under
// a busy cursor; the command line answers from its options or a terminal prompt and just waits.
// Operations never show anything themselves: they return a result, and the front end tells the
// user in its own way. A new flow adds its questions here the same way, so both front ends must
// answer them.

#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>
#include <string_view>

#include "platform/secret_text.h"

namespace corvane::operations {

// How a mapped share is named: by the device's name or by its address.
enum class MapType { kCancelled = 0, kHostName = 1, kAddress = 2 };

class Interaction {
 public:
  virtual ~Interaction() = default;

  // The device did not accept the default administrator pair: the pair to try once more, or
  // nothing when the front end has nothing to give (no password and nobody to ask), so that the
  // default pair is not sent a second time. Each text holds at most 16 characters.
  virtual std::optional<platform::Credentials> AskAdministratorCredentials() = 0;

  // Runs one blocking exchange with the devices (a request, a search). The window keeps painting
  // meanwhile but shows a busy cursor and takes no input; the command line simply runs it.
  virtual void Blocking(const std::function<void()>& exchange) = 0;

  // A pause the devices need, kept as an exchange keeps the front end.
  virtual void Wait(std::chrono::milliseconds duration) = 0;

  // Waits until done() is true, or at most the bound, while work on another thread (a mount, a
  // reachability test) goes on; kept as an exchange keeps the front end. done is called on the
  // front end's own thread.
  virtual void WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds bound) = 0;

  // Whether a share is to be mapped by the device's name or by its address; kCancelled stops
  // the mapping.
  virtual MapType ChooseMapType() = 0;

  // The share to map refused the connection without credentials: the user and password to
  // try (at most 16 characters each), or nothing, which tries the share without them again.
  virtual std::optional<platform::Credentials> AskShareCredentials(std::string_view remote) = 0;

  // The workgroup of the device being shown has been read and its share list is read next; a
  // front end that shows details as they come shows it now.
  virtual void WorkgroupRead(std::string_view workgroup) { (void)workgroup; }

  // Language installation (operations/codepage_install.h): one more file is on the device. A
  // front end that lists progress shows it now; the window's Loading dialog does not.
  virtual void CodepageFileWritten(std::string_view targetPath, std::size_t bytes) {
    (void)targetPath;
    (void)bytes;
  }
};

}  // namespace corvane::operations
