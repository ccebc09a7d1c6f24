// The real message boxes and file dialogs.
#include "widgets/ui_prompts.h"

#include "widgets/window_placement.h"

#ifdef Q_OS_WIN
#include "widgets/standard_file_dialog.h"
#endif

#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>

namespace {

// The form files' extension, added to a name typed without one.
const QString kFormSuffix = QStringLiteral("frm");

#ifndef Q_OS_WIN
// The form files' one filter entry.
const QString kFormFilter = QStringLiteral("*.frm");

// The file chosen is the one named in the name box. QFileDialog itself takes
// the first file selected in its list, and the list picks files up while a
// path is typed (and, in a window without focus, writes them into the name
// box): typing a folder's path and Enter could hand back a file of that
// folder, which Save As then replaced without a question.
class FormFileDialog final : public QFileDialog
{
  public:
    using QFileDialog::QFileDialog;

    // The list no longer picks files up from the name being typed. Called once
    // the options are set: Qt builds its widgets only for its own dialog.
    void keepTypedNames()
    {
        if (QLineEdit *box = nameBox())
            disconnect(box, SIGNAL(textChanged(QString)), this,
                       SLOT(_q_autoCompleteFileName(QString)));
    }

    // Qt's choice stands only where its name box could not be found.
    [[nodiscard]] QString chosenFile() const
    {
        return m_chosen.isEmpty() ? selectedFiles().value(0) : m_chosen;
    }

    void accept() override
    {
        QLineEdit *nameBox = this->nameBox();
        if (!nameBox)
            return QFileDialog::accept();
        QString typed = nameBox->text();
        if (typed.isEmpty())
            return;
        if (typed == u'~' || typed.startsWith(QStringLiteral("~/")))
            typed = QDir::homePath() + typed.mid(1);
        const QFileInfo info(directory().absoluteFilePath(typed));
        // A folder typed in the name box is opened, as Qt's own dialog does.
        if (info.isDir()) {
            setDirectory(info.absoluteFilePath());
            nameBox->clear();
            return;
        }
        m_chosen = info.filePath();
        // Past QFileDialog's own accept, which would take the first file
        // selected in its list instead of the name typed.
        QDialog::accept(); // NOLINT(bugprone-parent-virtual-call)
    }

  protected:
    // Qt's dialog opens at its own size, which on a small or scaled screen
    // reaches past its edges with the name box and the buttons: placed over
    // the main window as Qt places it, it then gives way to the screen as the
    // program's windows do.
    void showEvent(QShowEvent *event) override
    {
        QFileDialog::showEvent(event);
        keepOnScreen(this, false);
    }

  private:
    [[nodiscard]] QLineEdit *nameBox() const
    {
        return findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
    }

    QString m_chosen;
};
#endif

// One of the two form file dialogs; "" when cancelled. Neither insists that a
// typed name exists, and the save dialog replaces a file without asking.
QString runFormFileDialog(QWidget *parent, const char *name, QFileDialog::AcceptMode mode,
                          const QString &prefill)
{
#ifdef Q_OS_WIN
    // Windows' standard dialog, as every program of the system shows it.
    Q_UNUSED(name);
    QString chosen = standard_dialog::formFileName(
        parent,
        mode == QFileDialog::AcceptSave ? standard_dialog::Kind::Save : standard_dialog::Kind::Open,
        prefill);
#else
    // Qt's own dialog, with the rules above, on every Linux desktop.
    FormFileDialog dialog(parent);
    dialog.setObjectName(QLatin1String(name));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(kFormFilter);
    dialog.selectFile(prefill);
    dialog.keepTypedNames();
    if (dialog.exec() != QDialog::Accepted)
        return {};
    QString chosen = dialog.chosenFile();
#endif
    // The extension goes onto a name without one, and only onto such a name.
    if (!chosen.isEmpty() && !QFileInfo(chosen).fileName().contains(u'.'))
        chosen += u'.' + kFormSuffix;
    return chosen;
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
