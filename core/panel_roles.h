// What one panel or command asks of another: each a small role that a panel
// plays, handed in by the main window to whoever asks, so nobody holds
// another panel itself. ("Something changed" travels as signals instead.)
// The sequencer's CurrentForm lives beside its rules in playback.h.
#pragma once

#include "core/form_buffer.h"
#include "core/playback.h"

// The editing panel as the list operations see it: the current form, what
// its fields show, saved or not, and the OK that stores them.
class EditedForm : public CurrentForm
{
  public:
    [[nodiscard]] virtual PanelForm panelForm() const = 0;
    // Fills the fields; nothing reaches the store.
    virtual void showPanelForm(const PanelForm &form) = 0;
    // OK, whether or not its button is enabled: the fields into the current
    // slot; with "запись +1 " ticked the number then moves on to the next one.
    virtual void writeForm() = 0;
};

// The editing fields emptied as the toolbar's Clear does it: every valve bar
// at the bottom, no name, 1 min 0 s. The store is not touched.
class FieldsClearing
{
  public:
    virtual ~FieldsClearing() = default;
    virtual void clearFields() = 0;
};

// The strip viewer's refresh: its windows from the store, then the
// travel-time bars from the stored travel times.
class StripRefresh
{
  public:
    virtual ~StripRefresh() = default;
    virtual void refreshStrip() = 0;
};

// The valve panel's part of a save: the travel-time bars into the store, then
// the valve names into the settings file, which may fail (ESettingsWriteError).
class ValveParameters
{
  public:
    virtual ~ValveParameters() = default;
    virtual void WriteZadv() = 0;
};
