// Placeholder until the valve parameters panel lands: only the controls that
// the strip viewer's refresh and the sequencer read.
#include "app/main_window.h"

#include <QLineEdit>
#include <QScrollBar>

void TfrmMain::buildValvePanel()
{
    for (int v = 0; v < kValves; ++v) {
        EditNameZadv[v] = new QLineEdit(GroupBoxNameGate);
        EditNameZadv[v]->setObjectName(QStringLiteral("EditNameZadv%1").arg(v + 1));
        ScrollBarTimeZadv[v] = new QScrollBar(Qt::Horizontal, GroupBoxNameGate);
        ScrollBarTimeZadv[v]->setObjectName(QStringLiteral("ScrollBarTimeZadv%1").arg(v + 1));
        ScrollBarTimeZadv[v]->setRange(7, 255);
    }
}
void TfrmMain::ScrollBarTimeZadvChange(int) {}
void TfrmMain::WriteZadv() {}
