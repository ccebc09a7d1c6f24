// The show at a glance: a programme drawn as playback would run it, without
// playing it. The timeline (time across, a lane per valve with each form's
// target and the level the valve really reaches) and, in a PDF, the table of
// the forms in play order. The figures come from timeline::showTimeline, the
// sequencer's and the gauges' own rules; this only draws them.
#pragma once

#include "core/form_layout.h"
#include "core/show_timeline.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <array>

namespace frm {

struct SheetInfo
{
    QString fileName;   // as the pages name the programme
    QDateTime modified; // the file's date; invalid for standard input
    std::array<QString, form_layout::kValves> valveNames;
};

// The timeline as a PNG picture. Needs a QGuiApplication (fonts).
[[nodiscard]] QByteArray sheetPng(const timeline::ShowTimeline &show, const SheetInfo &info);
// An A4 PDF: the timeline across the first page, then the table of forms.
[[nodiscard]] QByteArray sheetPdf(const timeline::ShowTimeline &show, const SheetInfo &info);
// Pages of the PDF: the timeline, and as many as the table needs.
[[nodiscard]] int sheetPages(const timeline::ShowTimeline &show);

} // namespace frm
