#include "widgets/icons.h"

#include <QIconEngine>
#include <QImageReader>
#include <QPainter>
#include <QPixmap>

namespace {

class DeferredIconEngine final : public QIconEngine
{
  public:
    explicit DeferredIconEngine(QString path) : m_path(std::move(path)) {}

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override
    {
        return icon().pixmap(size, scale, mode, state);
    }
    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().actualSize(size, mode, state);
    }
    [[nodiscard]] QIconEngine *clone() const override { return new DeferredIconEngine(m_path); }
    [[nodiscard]] QString key() const override { return QStringLiteral("DeferredIconEngine"); }
    bool isNull() override { return false; }

  private:
    const QIcon &icon()
    {
        if (m_icon.isNull())
            m_icon = QIcon(m_path);
        return m_icon;
    }

    QString m_path;
    QIcon m_icon;
};

} // namespace

QIcon programIcon(const char *name)
{
    return QIcon(new DeferredIconEngine(QStringLiteral(":/icons/%1.png").arg(QLatin1String(name))));
}

QIcon applicationIcon()
{
    QIcon icon;
    for (const char *file : {":/icons/fountain-forms.png", ":/icons/fountain-forms@2x.png"}) {
        QImageReader reader(QLatin1String(file), "png");
        reader.setAutoDetectImageFormat(false);
        const QImage image = reader.read();
        if (!image.isNull())
            icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}
