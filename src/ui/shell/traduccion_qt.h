#pragma once
// Qt's own texts (file dialog, standard buttons, key names) in the interface's language:
// Debian's Qt translations, Spanish or Catalan for Valencian, with the few texts they leave
// in English or name otherwise than the program does ("Ctrl+O" in both languages), and
// dates and numbers of Qt's dialogs written the Spanish way.

namespace veliora::ui {

// Installs the translation of the application object's language; again after it changes. Without
// Qt's translations installed, only the fixed texts apply.
void TraducirQt();

}  // namespace veliora::ui
