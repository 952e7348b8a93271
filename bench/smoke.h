// The benchmarks' smoke mode (OVLIX_BENCH_SMOKE=1, as the test command runs
// them): one round over a small input, peers that are not installed left
// out. The numbers then mean nothing; what counts is that the benchmark
// still builds, runs to its end and finds what it measures working.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace bench {

inline bool Smoke() {
  const char* value = std::getenv("OVLIX_BENCH_SMOKE");
  return value != nullptr && *value != '\0' && std::strcmp(value, "0") != 0;
}

// `full` normally, `smoke` in smoke mode.
template <class T>
T Sized(T full, T smoke) {
  return Smoke() ? smoke : full;
}

// Whether `program` is on PATH (or is an executable path).
inline bool Installed(const std::string& program) {
  if (program.find('/') != std::string::npos) return ::access(program.c_str(), X_OK) == 0;
  const char* path = std::getenv("PATH");
  std::string dirs = path != nullptr ? path : "/usr/bin:/bin";
  for (std::size_t at = 0; at <= dirs.size();) {
    std::size_t end = dirs.find(':', at);
    if (end == std::string::npos) end = dirs.size();
    std::string candidate = dirs.substr(at, end - at) + "/" + program;
    if (::access(candidate.c_str(), X_OK) == 0) return true;
    at = end + 1;
  }
  return false;
}

// Whether a peer the benchmark compares with can run. A missing one ends a
// full run (its numbers would be lies); a smoke run says so and goes on
// with its own side.
inline bool PeerAtHand(bool found, const std::string& peer, const char* package) {
  if (found) return true;
  if (!Smoke()) {
    std::fprintf(stderr, "%s is missing (apt-get install %s)\n", peer.c_str(), package);
    std::exit(1);
  }
  std::printf("smoke run: %s (%s) is not installed, its side is left out\n", peer.c_str(), package);
  return false;
}

inline bool PeerAtHand(const std::string& program, const char* package) {
  return PeerAtHand(Installed(program), program, package);
}

}  // namespace bench
