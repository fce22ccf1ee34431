#pragma once

#include <QString>

namespace culegere {

// The application folder (AppPath) and the names under it.
//
// Names are written Windows-style, as the program has always named them
// ("\Caps.stn", "\probleme\probl00012.jpg"). Linux file systems tell letter
// cases apart, so each component is matched without regard to case against
// what exists; a component that does not exist keeps the spelling given, which
// is then the spelling a new file is created with.
class AppFolder
{
public:
    AppFolder() = default;
    explicit AppFolder(const QString &root);

    // The folder itself, absolute, with '/' separators and no trailing one.
    QString root() const { return m_root; }

    // The path of `name` ("\Users.stn", "probleme/x.jpg") under the folder.
    QString resolve(const QString &name) const;

    // `path` with its part below the folder resolved as `resolve` does;
    // a path outside the folder is returned unchanged.
    QString resolvePath(const QString &path) const;

private:
    QString m_root;
};

// A name that stays inside the folder it is put in: no folder separator, no
// "..", no control character, none of the characters file systems of
// memory sticks refuse (: * ? " < > |). The empty name passes.
bool isPlainName(const QString &name);

} // namespace culegere
