#pragma once

#include <QApplication>

namespace culegere {

// The busy cursor while a long step runs on the screen's thread: shown from
// its making, the cursor before it back at its end, whatever way it ends.
class BusyCursor
{
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
};

} // namespace culegere
