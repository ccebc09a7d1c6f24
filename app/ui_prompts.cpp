// The real message boxes and file dialogs.
#include "app/ui_prompts.h"

#include <QFileDialog>
#include <QMessageBox>

namespace {

// The form files' one filter entry and default extension.
const QString kFormFilter = QStringLiteral("*.frm");
const QString kFormSuffix = QStringLiteral("frm");

// One of the two form file dialogs; "" when cancelled. Neither insists that a
// typed name exists, and the save dialog replaces a file without asking.
QString runFormFileDialog(QWidget *parent, const char *name, QFileDialog::AcceptMode mode,
                          const QString &prefill)
{
    QFileDialog dialog(parent);
    dialog.setObjectName(QLatin1String(name));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(kFormFilter);
    dialog.setDefaultSuffix(kFormSuffix);
    dialog.selectFile(prefill);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace

void QtPrompts::critical(QWidget *parent, const QString &title, const QString &text)
{
    QMessageBox::critical(parent, title, text, QMessageBox::Ok);
}

QString QtPrompts::openFileName(QWidget *parent, const QString &prefill)
{
    return runFormFileDialog(parent, "OpenDialogForm", QFileDialog::AcceptOpen, prefill);
}

QString QtPrompts::saveFileName(QWidget *parent, const QString &prefill)
{
    return runFormFileDialog(parent, "SaveDialogForm", QFileDialog::AcceptSave, prefill);
}
