#pragma once

#include <QString>

class QWidget;

namespace culegere {

// Gives every button of `screen` with a letter in its caption an access key,
// Alt and one of its letters (the first not taken yet, in the order the
// buttons come), without changing the caption: the key is told in the
// button's tool tip. Letters in `taken` (the menu's, say) are left alone.
void giveAccessKeys(QWidget *screen, const QString &taken = {});

} // namespace culegere
