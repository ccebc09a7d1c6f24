// List operations around the current form: the form buffer with Copy and paste,
// and the toolbar's copy, paste, cut, insert, delete and clear buttons.
// Insert and delete act on the store at once; the others work through the panel.
#include "app/guard.h"
#include "app/main_window.h"
#include "store/form_store.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QScrollBar>
#include <QToolButton>

void TfrmMain::buildListOperations()
{
    guardedConnect(SpeedButtonCopyForm, &QToolButton::clicked, this,
                   [this] { SpeedButtonCopyFormClick(); });
    guardedConnect(SpeedButtonPasteForm, &QToolButton::clicked, this,
                   [this] { SpeedButtonPasteFormClick(); });
    guardedConnect(SpeedButtonCutForm, &QToolButton::clicked, this,
                   [this] { SpeedButtonCutFormClick(); });
    guardedConnect(SpeedButtonInsert, &QToolButton::clicked, this,
                   [this] { SpeedButtonInsertClick(); });
    guardedConnect(SpeedButtonDeleteForm, &QToolButton::clicked, this,
                   [this] { SpeedButtonDeleteFormClick(); });
    guardedConnect(SpeedButtonClearForm, &QToolButton::clicked, this,
                   [this] { SpeedButtonClearFormClick(); });
}

// Takes what the panel shows, saved or not.
void TfrmMain::Copy()
{
    for (int v = 0; v < kValves; ++v)
        formBuffer.positions[v] = ScrollBarZadvizka[v]->value();
    formBuffer.name = EditNameForm->text();
    formBuffer.holdMin = ScrollBarEditMin->value();
    formBuffer.holdSek = ScrollBarEditSek->value();
}

void TfrmMain::paste()
{
    for (int v = 0; v < kValves; ++v)
        ScrollBarZadvizka[v]->setValue(formBuffer.positions[v]);
    EditNameForm->setText(formBuffer.name);
    ScrollBarEditMin->setValue(formBuffer.holdMin);
    ScrollBarEditSek->setValue(formBuffer.holdSek);
    // Unticked so that OK writes the current slot and does not move on.
    CheckBoxPlus->setChecked(false);
    SpeedButtonEditClick();
}

void TfrmMain::SpeedButtonCopyFormClick()
{
    Copy();
    SpeedButtonPasteForm->setEnabled(true);
}

void TfrmMain::SpeedButtonPasteFormClick()
{
    paste();
    ScrollBarNomberFormChange();
    ScrollBarFormVewerChange();
}

void TfrmMain::SpeedButtonCutFormClick()
{
    Copy();
    SpeedButtonPasteForm->setEnabled(true);
    SpeedButtonDeleteFormClick();
    ScrollBarNomberFormChange();
    ScrollBarFormVewerChange();
}

// The current form ends up in slots n and n + 1; slot 101 is lost.
void TfrmMain::SpeedButtonInsertClick()
{
    FormStore::instance().insertSlot(ScrollBarNomberForm->value());
    ScrollBarNomberFormChange();
    ScrollBarFormVewerChange();
}

// The following forms close the gap; slot 102 stays where it was as well.
void TfrmMain::SpeedButtonDeleteFormClick()
{
    FormStore::instance().deleteSlot(ScrollBarNomberForm->value());
    ScrollBarNomberFormChange();
    ScrollBarFormVewerChange();
}

// Touches only the panel: the cleared form reaches the store through OK.
void TfrmMain::SpeedButtonClearFormClick()
{
    for (QScrollBar *bar : ScrollBarZadvizka)
        bar->setValue(255);
    EditNameForm->clear();
    ScrollBarEditMin->setValue(1);
    ScrollBarEditSek->setValue(0);
}
