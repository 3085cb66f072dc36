#pragma once
// Qt's own texts (the standard buttons of every dialog and message box, "Cancel", "Close") in
// the program's language, from the translations Qt installs beside itself.
class QCoreApplication;

namespace quib::host {

// Installs Qt's Chinese translations on app for its lifetime; false when they are not installed.
bool LoadQtTranslations(QCoreApplication& app);

}  // namespace quib::host
