#include "state/app_state.h"

namespace culegere {

namespace {
const QString kArchiveFile = QStringLiteral("\\Arhiva.sqlite");
} // namespace

AppState::AppState(const AppFolder &appFolder)
    : folder(appFolder), files(appFolder), archive(appFolder.resolve(kArchiveFile)),
      recorder(files, collection, archive)
{
}

} // namespace culegere
