#pragma once

namespace culegere {

// Qt's own texts (the file dialog, the standard buttons, the text fields'
// context menu) in Romanian, from the program's translation of them
// (translations/qt_ro.ts, compiled at build time); Qt ships none. Installed
// once on the application, whichever Application asks first.
void installRomanianQtTexts();

} // namespace culegere
