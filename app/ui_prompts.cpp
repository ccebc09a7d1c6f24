// The real message boxes and file dialogs.
#include "app/ui_prompts.h"

#include <QFileDialog>
#include <QMessageBox>

namespace {

// The form files' one filter entry and default extension.
const QString kFormFilter = QStringLiteral("*.frm (*.frm)");
const QString kFormSuffix = QStringLiteral("frm");

class QtPrompts final : public UiPrompts
{
  public:
    void critical(QWidget *parent, const QString &title, const QString &text) override
    {
        QMessageBox::critical(parent, title, text, QMessageBox::Ok);
    }

    QString openFileName(QWidget *parent, const QString &prefill) override
    {
        QFileDialog dialog(parent);
        dialog.setObjectName(QStringLiteral("OpenDialogForm"));
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        // A typed name that does not exist is accepted; reading it then reports it.
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setNameFilter(kFormFilter);
        dialog.setDefaultSuffix(kFormSuffix);
        dialog.selectFile(prefill);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return {};
        return dialog.selectedFiles().constFirst();
    }

    QString saveFileName(QWidget *parent, const QString &prefill) override
    {
        QFileDialog dialog(parent);
        dialog.setObjectName(QStringLiteral("SaveDialogForm"));
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setNameFilter(kFormFilter);
        dialog.setDefaultSuffix(kFormSuffix);
        dialog.selectFile(prefill);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return {};
        return dialog.selectedFiles().constFirst();
    }
};

QtPrompts g_qtPrompts;
UiPrompts *g_prompts = &g_qtPrompts;

} // namespace

UiPrompts &uiPrompts()
{
    return *g_prompts;
}

void setUiPrompts(UiPrompts *prompts)
{
    g_prompts = prompts ? prompts : &g_qtPrompts;
}
