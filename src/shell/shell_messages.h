#pragma once

#include "store/store_result.h"

#include <QString>

namespace culegere {

// Messages of start-up and exit, where the data files are opened and saved.
namespace shellmsg {
inline const QString AlreadyOpen = QStringLiteral(
    "Culegerea din acest folder este deja deschisa de un alt program Culegere! "
    "Inchideti-l mai intai si porniti din nou...");
inline const QString FolderNotWritable = QStringLiteral(
    "Nu se poate scrie in folderul culegerii:\n%1\nProgramul nu poate porni...");
} // namespace shellmsg

// The message for a data file that stops the start-up.
QString startupFailureMessage(const StoreResult &result);
// The message for a data file that the exit could not save.
QString saveFailureMessage(const StoreResult &result);

} // namespace culegere
