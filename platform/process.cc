#include "platform/process.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>
#include <thread>

#include "platform/files.h"
#include "platform/io_error.h"

extern char** environ;

namespace velkaro {
namespace {

// This process's environment with `changes` ("NAME=value") put in.
std::vector<std::string> ChangedEnvironment(const std::vector<std::string>& changes) {
  std::vector<std::string> environment = changes;
  for (char** entry = environ; *entry; ++entry) {
    const std::string_view name(*entry, std::strcspn(*entry, "="));
    bool changed = false;
    for (const std::string& change : changes)
      changed |= change.starts_with(std::string(name) + "=");
    if (!changed) environment.emplace_back(*entry);
  }
  return environment;
}

std::vector<char*> Pointers(const std::vector<std::string>& words) {
  std::vector<char*> pointers;
  for (const std::string& word : words) pointers.push_back(const_cast<char*>(word.c_str()));
  pointers.push_back(nullptr);
  return pointers;
}

// The process group of a process, from the fields after its name in
// /proc/PID/stat ("S ppid pgrp ..."); -1 when it is gone.
pid_t GroupOf(const std::string& pid) {
  std::ifstream stat("/proc/" + pid + "/stat");
  const std::string line((std::istreambuf_iterator<char>(stat)), {});
  const size_t name_end = line.rfind(')');
  if (name_end == std::string::npos) return -1;
  std::istringstream fields(line.substr(name_end + 1));
  std::string state;
  pid_t parent = 0, group = -1;
  fields >> state >> parent >> group;
  return group;
}

// The inodes of the sockets that the processes of a group hold open.
std::set<std::string> SocketInodes(pid_t group) {
  std::set<std::string> inodes;
  for (const auto& process : std::filesystem::directory_iterator("/proc")) {
    const std::string pid = process.path().filename().string();
    if (pid.find_first_not_of("0123456789") != std::string::npos || GroupOf(pid) != group) continue;
    std::error_code ignored;
    for (const auto& fd : std::filesystem::directory_iterator(process.path() / "fd", ignored)) {
      const std::string target = std::filesystem::read_symlink(fd.path(), ignored).string();
      if (target.starts_with("socket:[")) inodes.insert(target.substr(8, target.size() - 9));
    }
  }
  return inodes;
}

// The files of the local sockets that a group of processes has bound. A
// program killed at the time limit cannot remove them itself. Processes that
// end meanwhile are passed over.
std::vector<std::string> SocketFilesOf(pid_t group) {
  std::set<std::string> inodes;
  try {
    inodes = SocketInodes(group);
  } catch (const std::filesystem::filesystem_error&) {
  }
  std::vector<std::string> files;
  std::ifstream table("/proc/net/unix");
  std::string line;
  std::getline(table, line);  // the heading
  while (std::getline(table, line)) {
    std::istringstream fields(line);
    std::string slot, references, protocol, flags, type, state, inode, path;
    fields >> slot >> references >> protocol >> flags >> type >> state >> inode >> path;
    if (path.starts_with('/') && inodes.count(inode)) files.push_back(path);
  }
  return files;
}

void RemoveSocketFiles(const std::vector<std::string>& files) {
  for (const std::string& file : files) {
    struct stat st;
    if (lstat(file.c_str(), &st) == 0 && S_ISSOCK(st.st_mode)) unlink(file.c_str());
  }
}

}  // namespace

std::string FindProgram(const std::string& name) {
  const char* search_path = std::getenv("PATH");
  std::istringstream folders(search_path ? search_path : "/usr/bin:/bin");
  std::string folder;
  while (std::getline(folders, folder, ':')) {
    const Path candidate = Path(folder.empty() ? "." : folder) / name;
    if (access(candidate.c_str(), X_OK) == 0) return candidate.string();
  }
  return "";
}

int RunProgram(const std::vector<std::string>& command, std::chrono::seconds timeout,
               const std::vector<std::string>& environment_changes) {
  std::vector<char*> arguments = Pointers(command);
  const std::vector<std::string> environment = ChangedEnvironment(environment_changes);
  std::vector<char*> variables = Pointers(environment);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  // A group of its own, so that a stuck program goes with its helpers.
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
  posix_spawnattr_setpgroup(&attributes, 0);
  pid_t child = 0;
  const int started =
      posix_spawn(&child, arguments[0], &actions, &attributes, arguments.data(), variables.data());
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  if (started != 0) return -1;

  const auto deadline = std::chrono::steady_clock::now() + timeout;
  int status = 0;
  while (waitpid(child, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      const std::vector<std::string> sockets = SocketFilesOf(child);
      kill(-child, SIGKILL);
      waitpid(child, &status, 0);
      RemoveSocketFiles(sockets);
      return kStoppedAtTimeLimit;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace velkaro
