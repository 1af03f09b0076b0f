// Runs a program of the build as a process of its own and tells how it
// ended and what it wrote to its standard error.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <optional>
#include <cstring>
#include <string>
#include <vector>

struct Outcome {
  bool exited = false;  // by exit, with `status`
  int status = -1;
  int signal = 0;  // the signal that ended it, if one did
  bool hung = false;  // still running at the limit, and then killed
  std::string err;
};

extern char** environ;

// One of this process's descriptors, which the child gets as `theirs`.
// Made with close-on-exec, it reaches no other child.
struct ChildFd {
  int ours;
  int theirs;
};

// Starts `exe`, a path or a name looked up on PATH, with `args` and `env`
// as its whole environment (none: this process's). Gives its process id,
// or 0 with `error` set: ENOENT when no such program is installed.
inline pid_t StartChild(const std::string& exe, const std::vector<std::string>& args,
                        const std::optional<std::vector<std::string>>& env,
                        const std::vector<ChildFd>& fds, int& error) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  for (const ChildFd& fd : fds) posix_spawn_file_actions_adddup2(&actions, fd.ours, fd.theirs);
  std::vector<std::string> argStore = {exe};
  argStore.insert(argStore.end(), args.begin(), args.end());
  std::vector<std::string> envStore = env.value_or(std::vector<std::string>{});
  std::vector<char*> argv, envp;
  for (std::string& a : argStore) argv.push_back(a.data());
  argv.push_back(nullptr);
  for (std::string& e : envStore) envp.push_back(e.data());
  envp.push_back(nullptr);
  pid_t pid = 0;
  error = posix_spawnp(&pid, exe.c_str(), &actions, nullptr, argv.data(),
                       env ? envp.data() : environ);
  posix_spawn_file_actions_destroy(&actions);
  return error == 0 ? pid : 0;
}

// `env` is the child's whole environment. A child still running after
// `limit` is killed, so that a hang fails the test instead of stalling it.
inline Outcome Spawn(const std::string& exe, const std::vector<std::string>& args,
                     const std::vector<std::string>& env,
                     std::chrono::seconds limit = std::chrono::seconds(120)) {
  Outcome out;
  int pipeFds[2];
  if (pipe2(pipeFds, O_CLOEXEC) != 0) return out;
  int error = 0;
  const pid_t pid = StartChild(exe, args, env, {{pipeFds[1], STDERR_FILENO}}, error);
  close(pipeFds[1]);
  if (pid == 0) {
    close(pipeFds[0]);
    out.err = "could not start " + exe + ": " + std::strerror(error);
    return out;
  }
  // The child's end is the test's, not the end of its output: a process it
  // started may hold the pipe open after it is gone. Its process descriptor
  // tells when it ends; until then what it writes is read as it comes.
  // (The system call itself: this C library declares its wrapper for C only.)
  const int pidFd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
  if (pidFd < 0) {
    const int error = errno;
    out.err = "no process descriptor for the child: " + std::string(std::strerror(error));
    kill(pid, SIGKILL);  // nothing to watch it by: it is waited for below
  }
  const auto deadline = std::chrono::steady_clock::now() + limit;
  bool pipeOpen = true;
  for (bool gone = pidFd < 0; !gone;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      out.hung = true;
      kill(pid, SIGKILL);
      break;
    }
    pollfd fds[2] = {{pidFd, POLLIN, 0}, {pipeOpen ? pipeFds[0] : -1, POLLIN, 0}};
    if (poll(fds, 2, static_cast<int>(std::min<long long>(left.count(), INT_MAX))) < 0) {
      if (errno == EINTR) continue;
      kill(pid, SIGKILL);
      break;
    }
    if ((fds[1].revents & (POLLIN | POLLHUP | POLLERR)) != 0) {
      char buffer[512];
      const ssize_t got = read(pipeFds[0], buffer, sizeof buffer);
      if (got > 0) out.err.append(buffer, static_cast<std::size_t>(got));
      else if (got == 0 || errno != EINTR) pipeOpen = false;
    }
    gone = (fds[0].revents & POLLIN) != 0;
  }
  // Gone or killed: this wait is short. A child that is not ours to wait
  // for gives no status.
  int wstatus = 0;
  pid_t reaped = -1;
  do reaped = waitpid(pid, &wstatus, 0);
  while (reaped < 0 && errno == EINTR);
  const bool ended = reaped == pid;
  if (pidFd >= 0) close(pidFd);
  // What it wrote just before it ended.
  for (;;) {
    pollfd p{pipeFds[0], POLLIN, 0};
    if (poll(&p, 1, 0) <= 0 || (p.revents & POLLIN) == 0) break;
    char buffer[512];
    const ssize_t got = read(pipeFds[0], buffer, sizeof buffer);
    if (got <= 0) break;
    out.err.append(buffer, static_cast<std::size_t>(got));
  }
  close(pipeFds[0]);
  if (!ended) return out;
  out.exited = WIFEXITED(wstatus);
  if (out.exited) out.status = WEXITSTATUS(wstatus);
  if (WIFSIGNALED(wstatus)) out.signal = WTERMSIG(wstatus);
  return out;
}
