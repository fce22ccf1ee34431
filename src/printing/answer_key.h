#pragma once

#include "printing/test_sheet.h"
#include "state/test_state.h"

#include <array>

namespace culegere {

// The answer key's lines for the problems at catalogue `rows` 0 to 8, in
// that order (the sheet's): each picture's index, chapter and correct letter.
// A row that names no problem gives an empty line.
QList<KeyRow> answerKeyRows(const Collection &collection, const std::array<qint16, 10> &rows);

} // namespace culegere
