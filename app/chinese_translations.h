// The framework's own texts (standard buttons, file dialog) in Chinese.
#pragma once

namespace velmor {

// Loads the framework's Chinese translations and makes Chinese the default locale, whatever the
// user's locale is: the program speaks only Chinese. False when the translations are missing.
bool InstallChineseTranslations();

}  // namespace velmor
