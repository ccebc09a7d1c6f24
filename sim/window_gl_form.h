// Placeholder until the fountain simulation window lands.
#pragma once

#include <QWidget>

class TWindowGLForm : public QWidget
{
    Q_OBJECT
  public:
    explicit TWindowGLForm(QWidget *parent = nullptr);
};
