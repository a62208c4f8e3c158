#pragma once
// Qt's own texts in Japanese: the buttons of message boxes ("はい", "いいえ"), the context menus of
// text fields, the file and font dialogs and the system's error texts come from the translations
// installed with Qt.

namespace QtTranslations {

// Loads Qt's Japanese translations into the application (which then owns them). False when they
// are not installed; Qt's texts stay English then.
bool InstallQtTranslations();

}  // namespace QtTranslations
