#pragma once

#include "store/collection.h"
#include "tools/sample_source.h"

#include <QFont>
#include <QString>

namespace culegere {

// The catalogue of a parsed sample as the program keeps it: the chapters in
// rows 2.. in the order of the text, each ProblemTotal the number of its
// problems; the problems in rows 2.. in the order of their indices, each
// catalogued at cataloguePath(appDir, index) under its chapter's name, with
// its correct variant 0 (a) .. 4 (e). No results.
Collection sampleCollection(const SampleParse &sample, const QString &appDir);

// Fills the application folder `appDir` with a good sample: the pictures
// probleme/probl<index>.jpg drawn in `font`, then Caps.stn and Problems.stn,
// replaced together through the store. Users.stn is left alone, so results
// kept there survive. Returns "" on success, else what failed.
QString writeSampleFolder(const SampleParse &sample, const QString &appDir, const QFont &font);

} // namespace culegere
