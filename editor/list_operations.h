// The list operations around the editor's current form: the form buffer with
// Copy and paste, and the copy, paste, cut, insert, delete and clear commands.
// Insert and delete act on the store at once; the others work through the
// editing panel, which they see as an EditedForm.
#pragma once

#include "core/form_buffer.h"
#include "core/panel_roles.h"

#include <QObject>

class FormStore;

class TListOperations : public QObject, public FieldsClearing
{
    Q_OBJECT

  public:
    TListOperations(FormStore &store, EditedForm &editor, QObject *parent = nullptr);

    // ---- the toolbar's commands ----
    void SpeedButtonCopyFormClick();
    void SpeedButtonPasteFormClick();
    void SpeedButtonCutFormClick();
    void SpeedButtonInsertClick();
    void SpeedButtonDeleteFormClick();
    // Also run by start-up and by New.
    void SpeedButtonClearFormClick();

    // ---- FieldsClearing ----
    void clearFields() override;

    [[nodiscard]] const PanelForm &formBuffer() const { return m_buffer; }

  signals:
    // The first copy or cut: paste has something to put in from now on.
    void bufferFilled();
    // The store's forms changed: the strip shows them again.
    void storeChanged();

  private:
    void Copy();
    void paste();

    FormStore &m_store;
    EditedForm &m_editor;
    PanelForm m_buffer; // what the panel showed at the last copy or cut
};
