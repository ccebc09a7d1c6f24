// Windows' standard Open and Save dialogs for the form files, with the
// program's rules: the name typed is the name returned, a
// typed folder is opened, nothing is asked before a replace, and a typed name
// need not exist. Windows only; elsewhere Qt's own dialog is used.
#pragma once

#include <QString>

class QWidget;

namespace standard_dialog {

enum class Kind { Open, Save };

// The chosen file, with '/' separators and no extension added; "" when cancelled.
QString formFileName(QWidget *parent, Kind kind, const QString &prefill);

} // namespace standard_dialog
