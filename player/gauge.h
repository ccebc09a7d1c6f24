// Placeholder until the gauge widget lands.
#pragma once

#include <QWidget>

class TGauge : public QWidget
{
    Q_OBJECT
  public:
    using QWidget::QWidget;
};
