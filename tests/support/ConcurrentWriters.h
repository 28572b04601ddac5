#pragma once
// Runs writers at once in several processes, each with several threads, as programs sharing
// a settings file do. write(process, thread) answers whether every write it made reported
// success. Answers whether every writer did; the processes have ended when it returns.

#include <functional>

bool RunConcurrentWriters(int processes, int threads, const std::function<bool(int process, int thread)>& write);
