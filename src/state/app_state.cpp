#include "state/app_state.h"

namespace culegere {

AppState::AppState(const AppFolder &appFolder) : folder(appFolder), files(appFolder) {}

} // namespace culegere
