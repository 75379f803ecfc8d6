#pragma once

namespace platform {

// Loads Qt's own Russian texts (the menus of text boxes, the standard buttons) whatever the
// system's language, so that nothing the program shows is in English. Without Qt's translation
// files (Debian's qt6-translations-l10n) those texts stay in English, with a note on standard
// error. Call it once the application object exists.
void loadQtRussianTexts();

} // namespace platform
