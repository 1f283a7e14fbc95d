// SPDX-License-Identifier: MIT
// The evaluation's scenarios, mixed from the generated material: each keeps
// its components apart (echo, near-end talker, noise) so that the residual
// echo in a canceller's output is known exactly: out - (mic - echo).
#ifndef QUOLMAEC_EVAL_SCENARIO_H
#define QUOLMAEC_EVAL_SCENARIO_H

#include <string>
#include <vector>

typedef std::vector<float> Signal;

struct Scenario {
  std::string name;
  Signal far, echo, near, noise;  // mic = echo + near + noise
  double markStart = -1, markEnd = -1;  // path change, or double talk (s)
};

// Reads a mono float WAV of the material folder; exits on failure.
Signal loadWav(const std::string &dir, const char *name, int rate);

// single: 12 s far end through room A; change: 16 s, room A then room B from
// 8 s; double: 20 s through room A, near-end talker from 8 s to 14 s.
std::vector<Scenario> makeScenarios(const std::string &dir, int rate);

#endif
