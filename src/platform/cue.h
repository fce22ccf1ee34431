#pragma once

#include "folder/app_folder.h"
#include "platform/platform.h"

namespace culegere {

// The sound cues, by their file names under the application folder.
namespace cue {
inline const QString Next = QStringLiteral("\\next.wav");
inline const QString Exit = QStringLiteral("\\exit.wav");
inline const QString Load = QStringLiteral("\\incarca.wav");
inline const QString SetOk = QStringLiteral("\\setareok.wav");
inline const QString CloseScreen = QStringLiteral("\\exitform.wav");
inline const QString Birds = QStringLiteral("\\birds_22khz_lp-1.wav");
} // namespace cue

// The title of the program's message boxes.
inline const QString kAppTitle = QStringLiteral("Culegere electronica");

// Plays the cue `name` (one of cue::) from the application folder, at once.
inline void playCue(Platform &platform, const AppFolder &folder, const QString &name)
{
    platform.playCue(folder.resolve(name));
}

} // namespace culegere
