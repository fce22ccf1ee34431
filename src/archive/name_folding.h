#pragma once

#include <QString>

namespace culegere {

// A name as the archive's filter compares it: trimmed, lower case, without
// diacritics ("Ștefan Ioniță" and "stefan ionita" fold alike).
QString foldName(const QString &name);

} // namespace culegere
