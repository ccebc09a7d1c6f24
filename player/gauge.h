// TGauge: a vertical bar over the jet levels, aqua on money green, without border,
// with or without its whole percentage as text. Shared by the strip viewer and
// the live jet gauges.
#pragma once

#include <QWidget>

class TGauge : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(int value READ value WRITE setValue)

  public:
    explicit TGauge(bool showText, QWidget *parent = nullptr);

    [[nodiscard]] int value() const { return m_value; }
    // Clamped to the jet levels; repaints only when what the gauge shows changes.
    void setValue(int value);
    [[nodiscard]] bool showsText() const { return m_showText; }
    // Height in pixels of the filled part for a value, at the current height.
    [[nodiscard]] int filledHeight(int value) const;

    // How many repaints were asked for; lets tests and benchmarks see the cost.
    [[nodiscard]] int updateRequests() const { return m_updateRequests; }

  protected:
    void paintEvent(QPaintEvent *event) override;

  private:
    int m_value = 0;
    bool m_showText;
    int m_updateRequests = 0;
};
