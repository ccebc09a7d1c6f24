// The list operations around the editor's current form: the form buffer with
// Copy and paste, and the copy, paste, cut, insert, delete and clear commands.
// Insert and delete act on the store at once; the others work through the
// editing panel.
#pragma once

#include "core/form_buffer.h"

#include <QObject>

class FormStore;
class TFormEditingPanel;

class TListOperations : public QObject
{
    Q_OBJECT

  public:
    TListOperations(FormStore &store, TFormEditingPanel &editor, QObject *parent = nullptr);

    void Copy();
    void paste();
    void SpeedButtonCopyFormClick();
    void SpeedButtonPasteFormClick();
    void SpeedButtonCutFormClick();
    void SpeedButtonInsertClick();
    void SpeedButtonDeleteFormClick();
    void SpeedButtonClearFormClick();

    const PanelForm &formBuffer() const { return m_buffer; }

  signals:
    // The first copy or cut: paste has something to put in from now on.
    void bufferFilled();
    // The store's forms changed: the strip shows them again.
    void storeChanged();

  private:
    FormStore &m_store;
    TFormEditingPanel &m_editor;
    PanelForm m_buffer; // what the panel showed at the last copy or cut
};
