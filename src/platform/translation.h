#pragma once

namespace platform {

// Loads the toolkit's own Hungarian translation (qtbase_hu from the toolkit's translations
// folder), so that the dialogs the toolkit draws itself, such as the file chooser, speak
// Hungarian. The message boxes keep their own captions, which they set themselves. False when
// the translation is not installed; the dialogs then stay in English.
bool installToolkitTranslation();

}  // namespace platform
