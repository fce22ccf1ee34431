#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <array>

namespace culegere::fuzz {

// What each fuzz target feeds its input to. A check returns "" when all is
// well, else what went wrong (a finding); memory errors and undefined
// behaviour are left to the sanitizers. The libFuzzer targets and the replay
// test (tst_fuzz_replay) call the same function.
enum class Target { Users, Chapters, Problems, Startup };
inline constexpr std::array<Target, 4> kTargets = {Target::Users, Target::Chapters,
                                                   Target::Problems, Target::Startup};
// "users", "chapters", "problems", "startup": the folder names under corpus/
// and regressions/; the fuzz targets are fuzz_<name>.
QString targetName(Target target);

// Users, Chapters, Problems: the bytes of that data file, the other two
// empty; Startup: the three files, framed: two 16-bit little-endian lengths,
// of Users.stn and of Caps.stn, then those files' bytes, and the rest is
// Problems.stn (a length longer than what follows is cut to it). The headers are
// checked and the files loaded; a collection that loads must come back the
// same through the files the exit writes (which keep the records past the
// ones in use, do not change when written again unchanged, and keep counters
// that agreed agreeing); the integrity check, the results lines and the
// chapter lists then read every loaded row.
QString checkInput(Target target, QByteArrayView input);

} // namespace culegere::fuzz
