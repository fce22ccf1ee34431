#pragma once

#include "harness.h"

#include <QByteArray>
#include <QString>

#include <vector>

namespace culegere::fuzz {

// The seed inputs of a fuzz target: valid files of an empty collection, of a
// small and a medium one, of a results log that has rolled, of chapter names
// with Romanian letters in the files' code page, of a catalogue with records
// left over past its count.
struct Seed
{
    QString name; // a file name: letters, digits, '-'
    QByteArray bytes;
};
std::vector<Seed> seedInputs(Target target);

// Regression inputs are kept as text (see README.md): hex bytes, "quoted"
// ASCII text, either followed by *N to repeat it N times; '#' starts a
// comment. Returns false (with `error` set) on a malformed text.
bool parseHexInput(const QString &text, QByteArray &bytes, QString &error);
// Bytes as such a text, runs of one byte shortened with *N.
QString formatHexInput(const QByteArray &bytes);

} // namespace culegere::fuzz
