// SPDX-License-Identifier: GPL-3.0-or-later
#include "share_lab.h"

#include "lab_support.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

namespace corvane::lab {

bool InDesktopSession() {
  return !Environment("CORVANE_SESSION_DIR").empty();
}

std::string ShareFolder(std::string_view deviceId, std::string_view share) {
  return Environment("CORVANE_LAB_DIR") + "/devices/" + std::string(deviceId) + ".d/samba/shares/" +
         std::string(share);
}

int RunQuietly(const std::vector<std::string>& argv) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  pid_t child = 0;
  const int started = ::posix_spawnp(&child, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (started != 0) return -1;
  int status = 0;
  if (::waitpid(child, &status, 0) != child) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool WaitForNetbiosName(std::string_view name, std::chrono::seconds bound) {
  const std::string conf = Environment("HOME") + "/.smb/smb.conf";
  const auto deadline = std::chrono::steady_clock::now() + bound;
  while (RunQuietly({"nmblookup", "-s", conf, std::string(name)}) != 0) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
  }
  return true;
}

std::string ReadWholeFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

}  // namespace corvane::lab
