#pragma once

#include <QString>

namespace culegere {

// What is counted, in the screens' Romanian.
enum class Counted {
    Tests, // "1 test", "2 teste", "20 de teste"
    Times, // "o data", "de 2 ori", "de 20 de ori" (how often)
};

// `n` things as Romanian says it: the singular for one; the plural alone
// when the number's last two digits are 1..19 (or for none); "de" before
// the plural otherwise ("101 teste", "120 de teste").
QString countText(qint64 n, Counted what);

} // namespace culegere
