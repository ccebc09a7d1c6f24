// Placeholder until the form editing panel lands: only the controls the
// start-up sequence touches.
#include "app/main_window.h"

#include <QScrollBar>

void TfrmMain::buildEditingPanel()
{
    ScrollBarNomberForm = new QScrollBar(Qt::Horizontal, GroupBoxEDIT);
    ScrollBarNomberForm->setObjectName(QStringLiteral("ScrollBarNomberForm"));
    ScrollBarNomberForm->setRange(0, 99);
    ScrollBarNomberForm->setValue(10);
    for (int v = 0; v < kValves; ++v) {
        ScrollBarZadvizka[v] = new QScrollBar(Qt::Vertical, GroupBoxEDIT);
        ScrollBarZadvizka[v]->setObjectName(QStringLiteral("ScrollBarZadvizka%1").arg(v + 1));
        ScrollBarZadvizka[v]->setRange(0, 255);
    }
}
void TfrmMain::ScrollBarNomberFormChange() {}
void TfrmMain::SpeedButtonEditClick() {}
void TfrmMain::SpeedButtonCodaEditClick() {}
void TfrmMain::ScrollBarZadvizkaChange(int) {}
void TfrmMain::ScrollBarEditMinChange() {}
void TfrmMain::ScrollBarEditSekChange() {}
void TfrmMain::SpeedButtonNoKoncevikClick() {}
void TfrmMain::SpeedButton2KoncevikClick() {}
void TfrmMain::SpeedButton3KoncevikClick() {}
void TfrmMain::SpeedButton4KoncevikClick() {}
