#pragma once
// Starting a built program from a test or a benchmark: this process's environment without the
// variables it must not inherit (named by their prefixes), with the child's own added.

#include <spawn.h>

#include <string>
#include <vector>

extern char** environ;

// 0 when the program could not be started.
inline pid_t SpawnChildProgram(const std::string& program, const std::vector<std::string>& withoutPrefixes,
                               const std::vector<std::string>& added) {
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) {
    const std::string entry = *e;
    bool dropped = false;
    for (const std::string& prefix : withoutPrefixes) dropped = dropped || entry.rfind(prefix, 0) == 0;
    if (!dropped) env.push_back(entry);
  }
  env.insert(env.end(), added.begin(), added.end());
  std::vector<char*> envp;
  for (std::string& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  std::string path = program;
  char* argv[] = {path.data(), nullptr};
  pid_t child = 0;
  if (posix_spawn(&child, path.c_str(), nullptr, nullptr, argv, envp.data()) != 0) return 0;
  return child;
}
