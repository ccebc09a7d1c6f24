// Qt's own texts (file dialogs, message box buttons, context menus) in
// Russian, like the rest of the program.
#pragma once

class QObject;

// Installs Qt's Russian translations on the application; false when they are
// not installed on this machine (Qt's texts then stay English).
bool installRussianTranslations(QObject *owner);
