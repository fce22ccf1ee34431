#pragma once

#include "platform/scripted_platform.h"

namespace culegere::test {

// The tests' platform: records what the program asks, answers from a script.
using FakePlatform = ScriptedPlatform;

} // namespace culegere::test
