// Runs a program of the build as a process of its own and tells how it
// ended and what it wrote to its standard error.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <string>
#include <vector>

struct Outcome {
  bool exited = false;  // by exit, with `status`
  int status = -1;
  int signal = 0;  // the signal that ended it, if one did
  bool hung = false;  // still running at the limit, and then killed
  std::string err;
};

// `env` is the child's whole environment. A child still running after
// `limit` is killed, so that a hang fails the test instead of stalling it.
inline Outcome Spawn(const std::string& exe, const std::vector<std::string>& args,
                     const std::vector<std::string>& env,
                     std::chrono::seconds limit = std::chrono::seconds(120)) {
  Outcome out;
  int pipeFds[2];
  if (pipe2(pipeFds, O_CLOEXEC) != 0) return out;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDERR_FILENO);
  posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
  posix_spawn_file_actions_addclose(&actions, pipeFds[1]);
  std::vector<std::string> argStore = {exe};
  argStore.insert(argStore.end(), args.begin(), args.end());
  std::vector<std::string> envStore = env;
  std::vector<char*> argv, envp;
  for (std::string& a : argStore) argv.push_back(a.data());
  argv.push_back(nullptr);
  for (std::string& e : envStore) envp.push_back(e.data());
  envp.push_back(nullptr);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, exe.c_str(), &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  close(pipeFds[1]);
  if (spawned != 0) {
    close(pipeFds[0]);
    return out;
  }
  // The child's end is the test's, not the end of its output: a process it
  // started may hold the pipe open after it is gone.
  const auto deadline = std::chrono::steady_clock::now() + limit;
  int wstatus = 0;
  bool ended = false;
  while (!ended) {
    if (std::chrono::steady_clock::now() >= deadline) {
      out.hung = true;
      kill(pid, SIGKILL);
      ended = waitpid(pid, &wstatus, 0) == pid;
      break;
    }
    pollfd p{pipeFds[0], POLLIN, 0};
    const bool readable = poll(&p, 1, 50) > 0 && (p.revents & (POLLIN | POLLHUP)) != 0;
    if (readable) {
      char buffer[512];
      const ssize_t got = read(pipeFds[0], buffer, sizeof buffer);
      if (got > 0) {
        out.err.append(buffer, static_cast<std::size_t>(got));
        continue;
      }
      usleep(5000);  // closed: only the end is left to wait for
    }
    const pid_t reaped = waitpid(pid, &wstatus, WNOHANG);
    ended = reaped == pid;
    if (reaped < 0 && errno != EINTR) break;  // not ours to wait for: no status to give
  }
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
