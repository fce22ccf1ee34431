#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QTemporaryDir>

#include <array>

namespace culegere::fuzz {

// What each fuzz target feeds its input to. The checks return "" when all is
// well, else what went wrong (a finding); memory errors and undefined
// behaviour are left to the sanitizers. The libFuzzer targets and the replay
// test (tst_fuzz_replay) call the same functions.

enum class Target { Users, Chapters, Problems, Startup };
inline constexpr std::array<Target, 4> kTargets = {Target::Users, Target::Chapters,
                                                   Target::Problems, Target::Startup};
// "users", "chapters", "problems", "startup": the folder names under
// regressions/ and in the seed corpus; the fuzz targets are fuzz_<name>.
QString targetName(Target target);

// One data file's bytes, the other two empty: the headers are checked and the
// files loaded; a collection that loads must come back the same through the
// files the exit writes (and those files, composed again, must not change);
// the integrity check and the results lines then read every loaded row.
QString checkDataFile(Target file, QByteArrayView bytes);

// The start-up target's input: two 16-bit little-endian lengths, of Users.stn
// and of Caps.stn, then the bytes of Users.stn, of Caps.stn, and the rest of
// the input is Problems.stn. A length longer than what follows is cut to it;
// missing length bytes count as zero.
struct StartupFiles
{
    QByteArray users;
    QByteArray chapters;
    QByteArray problems;
};
StartupFiles splitStartupInput(QByteArrayView input);
QByteArray joinStartupInput(const StartupFiles &files); // lengths cut to 65535

// A whole start-up on one application folder, reused from input to input.
// Needs a QApplication (offscreen). Each run writes the three files, starts
// the program with a platform that answers every box with OK, and when it
// started runs the integrity check and leaves through the main screen's
// close. The start-up must refuse exactly the files loadCollection refuses,
// leave them untouched when it does, and otherwise leave files that load.
class StartupRun
{
public:
    StartupRun();
    QString check(QByteArrayView input);

private:
    QTemporaryDir m_dir;
};

// Runs `input` through the check of `target` (one StartupRun kept for the
// process for Startup).
QString checkInput(Target target, QByteArrayView input);

} // namespace culegere::fuzz
