// SPDX-License-Identifier: GPL-3.0-or-later
#include <cerrno>
#include <cstring>

#include "platform/error_text.h"

namespace corvane::platform {

std::string ErrorText(int error) {
  switch (error) {
    case EADDRINUSE:
      return "Address already in use";
    case EADDRNOTAVAIL:
      return "Cannot assign requested address";
    case ECONNABORTED:
      return "Software caused connection abort";
    case ECONNREFUSED:
      return "Connection refused";
    case ECONNRESET:
      return "Connection reset by peer";
    case EHOSTUNREACH:
      return "No route to host";
    case EINPROGRESS:
      return "Operation now in progress";
    case ENETDOWN:
      return "Network is down";
    case ENETUNREACH:
      return "Network is unreachable";
    case ENOBUFS:
      return "No buffer space available";
    case ENOTCONN:
      return "Transport endpoint is not connected";
    case ETIMEDOUT:
      return "Connection timed out";
    case EWOULDBLOCK:
      return "Resource temporarily unavailable";
    default:
      return std::strerror(error);
  }
}

}  // namespace corvane::platform
