// What the editing panel shows, as the controls hold it: the form buffer of
// copy and paste keeps it in this shape (bar positions, not jet levels, and
// the name exactly as typed).
#pragma once

#include "core/form_layout.h"

#include <QString>

#include <array>

struct PanelForm
{
    std::array<int, form_layout::kValves> positions{}; // valve bars 1..8, 0 = full jet
    QString name;
    int holdMin = 0;
    int holdSek = 0;
    friend bool operator==(const PanelForm &, const PanelForm &) = default;
};
