#include "editor/list_operations.h"

#include "core/form_store.h"

TListOperations::TListOperations(FormStore &store, EditedForm &editor, QObject *parent)
    : QObject(parent), m_store(store), m_editor(editor)
{
}

// Takes what the panel shows, saved or not.
void TListOperations::Copy()
{
    m_buffer = m_editor.panelForm();
}

void TListOperations::paste()
{
    m_editor.showPanelForm(m_buffer);
    // Unticked so that OK writes the current slot and does not move on.
    m_editor.loadOnNumberChange();
    m_editor.writeForm();
}

void TListOperations::SpeedButtonCopyFormClick()
{
    Copy();
    emit bufferFilled();
}

void TListOperations::SpeedButtonPasteFormClick()
{
    paste();
    m_editor.reloadForm();
    emit storeChanged();
}

void TListOperations::SpeedButtonCutFormClick()
{
    Copy();
    emit bufferFilled();
    SpeedButtonDeleteFormClick();
    m_editor.reloadForm();
    emit storeChanged();
}

// The current form ends up in slots n and n + 1; slot 101 is lost.
void TListOperations::SpeedButtonInsertClick()
{
    m_store.insertSlot(m_editor.formNumber());
    m_editor.reloadForm();
    emit storeChanged();
}

// The following forms close the gap; slot 102 stays where it was as well.
void TListOperations::SpeedButtonDeleteFormClick()
{
    m_store.deleteSlot(m_editor.formNumber());
    m_editor.reloadForm();
    emit storeChanged();
}

// Touches only the panel: the cleared form reaches the store through OK.
void TListOperations::SpeedButtonClearFormClick()
{
    PanelForm cleared;
    cleared.positions.fill(barOfJetLevel(0));
    cleared.holdMin = 1;
    m_editor.showPanelForm(cleared);
}

void TListOperations::clearFields()
{
    SpeedButtonClearFormClick();
}
