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
// empty. The headers are checked and the files loaded; a collection that
// loads must come back the same through the files the exit writes (which
// keep the records past the ones in use, and do not change when written
// again unchanged); the integrity check, the results lines and the chapter
// lists then read every loaded row.
//
// Startup: the three files (see splitStartupInput) in an application folder
// kept from input to input; the program starts there through the tests'
// screen driver, every box answered with OK, and when it started runs the
// integrity check and leaves through File > Exit. The start-up must refuse
// exactly the files loadCollection refuses, and then change none of them;
// otherwise the files left must load with the same counts, and with counters
// that agree where they agreed. Needs a QApplication (offscreen).
QString checkInput(Target target, QByteArrayView input);

// The start-up target's input: two 16-bit little-endian lengths, of
// Users.stn and of Caps.stn, then the bytes of Users.stn, of Caps.stn, and
// the rest of the input is Problems.stn. A length longer than what follows
// is cut to it; missing length bytes count as zero.
struct StartupFiles
{
    QByteArray users;
    QByteArray chapters;
    QByteArray problems;
};
StartupFiles splitStartupInput(QByteArrayView input);

} // namespace culegere::fuzz
