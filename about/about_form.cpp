// TAboutForm's construction: the frame, the scrolled client area, the upper part
// with the version, the maker's lines, the two link labels and the buttons.
#include "about/about_form.h"

#include "about/about_widgets.h"
#include "about/system_info.h"
#include "app/guard.h"

#include <QDesktopServices>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace aboutui {

void setTextColour(QWidget *w, const QColor &colour)
{
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, colour);
    p.setColor(QPalette::Text, colour);
    w->setPalette(p);
}

QColor textColour(const QWidget *w)
{
    return w->palette().color(QPalette::WindowText);
}

QLabel *makeLabel(QWidget *parent, const char *name, const QString &text, int x, int y,
                  const QColor &colour)
{
    auto *l = new QLabel(text, parent);
    if (name && *name)
        l->setObjectName(QLatin1String(name));
    if (colour.isValid())
        setTextColour(l, colour);
    l->move(x, y);
    l->adjustSize();
    return l;
}

QFrame *makeRule(QWidget *parent, int x, int y, int width)
{
    auto *f = new QFrame(parent);
    f->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    f->setGeometry(x, y, width, 2);
    // Rows sit close above the rules; their text is drawn over the line.
    f->lower();
    return f;
}

void PaintedWidget::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    m_painter(p, size());
}

} // namespace aboutui

using namespace aboutui;

namespace {

const QStringList kDialogFamilies = {QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                                     QStringLiteral("DejaVu Sans Condensed")};
const QString kMail = QStringLiteral("fountain-forms@example.org");
// Short enough for the third line of the web label.
const QString kWeb = QStringLiteral("fountain.example.org");

// Evening park, a round basin and eight jets of different heights.
void drawFountain(QPainter &p, const QSize &s)
{
    const qreal w = s.width(), h = s.height();
    QLinearGradient sky(0, 0, 0, h);
    sky.setColorAt(0.0, QColor(34, 60, 120));
    sky.setColorAt(0.75, QColor(130, 175, 225));
    p.fillRect(QRectF(0, 0, w, h), sky);

    QPainterPath trees;
    trees.moveTo(0, h);
    trees.lineTo(0, h * 0.70);
    for (int i = 0; i <= 12; ++i)
        trees.quadTo(w * (i + 0.5) / 12, h * (0.58 + 0.06 * (i % 3)), w * (i + 1) / 12, h * 0.70);
    trees.lineTo(w, h);
    p.fillPath(trees, QColor(28, 64, 40));

    const QRectF basin(8, h * 0.80, w - 16, h * 0.16);
    p.setPen(QPen(QColor(200, 200, 190), 2));
    p.setBrush(QColor(60, 105, 150));
    p.drawEllipse(basin);

    const qreal base = basin.center().y();
    for (int i = 0; i < 8; ++i) {
        const qreal x = w * (0.18 + 0.64 * i / 7.0);
        const qreal top = h * (0.62 - 0.42 * std::sin(3.14159 * (i + 0.5) / 8.0));
        const qreal spread = 6 + 4 * (i % 2);
        QPainterPath jet;
        jet.moveTo(x, base);
        jet.lineTo(x, top);
        jet.quadTo(x - spread, top - 4, x - spread * 1.6, base - 4);
        jet.moveTo(x, top);
        jet.quadTo(x + spread, top - 4, x + spread * 1.6, base - 4);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(225, 240, 255, 210), 2.0));
        p.drawPath(jet);
    }
}

void drawIcon(QPainter &p, const QSize &s)
{
    const QRectF r(0.5, 0.5, s.width() - 1.0, s.height() - 1.0);
    p.setPen(QPen(kNavy, 1));
    p.setBrush(kTeal);
    p.drawRoundedRect(r, 5, 5);
    p.setPen(QPen(Qt::white, 2));
    const qreal cx = r.center().x(), bottom = r.bottom() - 6;
    p.drawLine(QPointF(cx, bottom), QPointF(cx, r.top() + 6));
    p.drawArc(QRectF(cx - 10, r.top() + 6, 10, 20), 0, 90 * 16);
    p.drawArc(QRectF(cx, r.top() + 6, 10, 20), 90 * 16, 90 * 16);
    p.drawLine(QPointF(r.left() + 5, bottom), QPointF(r.right() - 5, bottom));
}

QIcon checkMarkIcon()
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kGreen, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const QPointF tick[] = {{3, 8.5}, {6.5, 12}, {13, 4}};
    p.drawPolyline(tick, 3);
    return QIcon(pm);
}

} // namespace

TAboutForm::TAboutForm(QWidget *parent)
    : QDialog(parent), m_provider(&sysinfo::platformProvider()),
      m_openUrl([](const QUrl &url) { return QDesktopServices::openUrl(url); })
{
    setObjectName(QStringLiteral("TAboutForm"));
    setWindowTitle(QStringLiteral("О программе"));
    // A fixed dialog frame without system menu or close box.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(kFirstClientSize);
    setModal(true);

    // Narrow sans fonts with a 13-pixel line first: the texts and the rows 15
    // pixels apart are laid out for about 5.5 pixels a character.
    QFont f = font();
    f.setFamilies(kDialogFamilies);
    f.setPixelSize(11);
    setFont(f);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, kSkyBlue);
    setPalette(pal);
    setAutoFillBackground(true);

    scrollArea = new QScrollArea(this);
    scrollArea->setObjectName(QStringLiteral("ScrollBoxAbout"));
    scrollArea->setFrameShape(QFrame::NoFrame);
    scrollArea->setFocusPolicy(Qt::NoFocus);
    content = new QWidget;
    content->setObjectName(QStringLiteral("ClientArea"));
    content->setAutoFillBackground(true);
    content->setMouseTracking(true);
    content->installEventFilter(this);
    scrollArea->setWidget(content);
    scrollArea->viewport()->setAutoFillBackground(true);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scrollArea);

    buildUpperPart();
    buildSystemInfoPanel();
    fitContent();
}

TAboutForm::~TAboutForm() = default;

void TAboutForm::setSystemInfoProvider(sysinfo::SystemInfoProvider *provider)
{
    m_provider = provider ? provider : &sysinfo::platformProvider();
}

void TAboutForm::setUrlOpener(UrlOpener opener)
{
    m_openUrl = std::move(opener);
}

QString TAboutForm::mailAddress()
{
    return QStringLiteral("mailto:") + kMail;
}

QString TAboutForm::webAddress()
{
    return QStringLiteral("http://") + kWeb;
}

void TAboutForm::buildUpperPart()
{
    QWidget *c = content;
    LabelVersion = makeLabel(c, "LabelVersion",
                             QStringLiteral("Version 1.3                 june 2006 г."), 24, 16);
    makeLabel(c, "LabelMaker", QStringLiteral("Проект fountain-forms"), 24, 32);
    makeLabel(c, "LabelContact", QStringLiteral("Отзывы и вопросы:"), 24, 48);

    LabelLogin = makeLabel(c, "LabelLogin", kMail, 24, 64);
    LabelHTTP = makeLabel(c, "LabelHTTP",
                          QStringLiteral("Новая версия программы и дополнительная информация на "
                                         "сайте  ") +
                              kWeb,
                          24, 84);
    LabelHTTP->setWordWrap(true);
    LabelHTTP->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // A font with taller lines may need more than the 39 pixels; the address on
    // the last line must not be cut off.
    LabelHTTP->setGeometry(24, 84, 168, std::max(39, LabelHTTP->heightForWidth(168)));
    for (QLabel *link : {LabelLogin, LabelHTTP}) {
        link->setMouseTracking(true);
        link->installEventFilter(this);
    }

    auto *picture = new PaintedWidget(c, drawFountain);
    picture->setObjectName(QStringLiteral("ImagePicture"));
    picture->setGeometry(200, 8, 169, 121);
    picture->lower(); // text running long stays readable
    auto *icon = new PaintedWidget(c, drawIcon);
    icon->setObjectName(QStringLiteral("ImageIcon"));
    icon->setGeometry(24, 150, 33, 33);

    // The logo over its grey shadow, 2 pixels right and 4 lower.
    QFont logoFont = font();
    logoFont.setFamilies(QStringList{QStringLiteral("Arial Black")} + kDialogFamilies);
    logoFont.setPixelSize(24);
    logoFont.setBold(true);
    logoFont.setItalic(true);
    const QString logo = QStringLiteral("Fountain");
    QLabel *shadow = makeLabel(c, "LabelLogoShadow", logo, 74, 150, kGray);
    QLabel *front = makeLabel(c, "LabelLogo", logo, 72, 146, kTeal);
    for (QLabel *l : {shadow, front}) {
        l->setFont(logoFont);
        l->adjustSize();
    }

    QLabel *rights =
        makeLabel(c, "LabelRights", QStringLiteral("© 2006 fountain-forms. Все права защищены."),
                  24, 196, kMaroon);
    QFont rightsFont = rights->font();
    rightsFont.setPixelSize(13);
    rights->setFont(rightsFont);
    rights->setWordWrap(true);
    rights->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    rights->setGeometry(24, 196, 187, std::max(32, rights->heightForWidth(187)));

    makeRule(c, 24, 136, 345);
    makeRule(c, 24, 181, 201);
    makeRule(c, 24, 229, 345);
    auto *box = new QFrame(c);
    box->setFrameStyle(QFrame::Box | QFrame::Sunken);
    box->setGeometry(240, 152, 41, 81);
    box->lower();

    BitBtnClose = new QPushButton(checkMarkIcon(), QStringLiteral("OK"), c);
    BitBtnClose->setObjectName(QStringLiteral("BitBtnClose"));
    BitBtnClose->setGeometry(293, 154, 75, 25);
    BitBtnClose->setCursor(Qt::PointingHandCursor);
    BitBtnClose->setDefault(true);
    guardedConnect(BitBtnClose, &QPushButton::clicked, this, [this] { BitBtnCloseClick(); });

    SpeedButtonMore = new QToolButton(c);
    SpeedButtonMore->setObjectName(QStringLiteral("SpeedButtonMore"));
    SpeedButtonMore->setText(QStringLiteral(" SYS INFO"));
    SpeedButtonMore->setGeometry(293, 196, 75, 25);
    SpeedButtonMore->setFocusPolicy(Qt::NoFocus);
    guardedConnect(SpeedButtonMore, &QToolButton::clicked, this,
                   [this] { SpeedButtonMoreClick(); });
}

void TAboutForm::fitContent()
{
    // The content reaches about 700 x 590, more if a long value needs it.
    const QRect used = content->childrenRect();
    content->setFixedSize(std::max(700, used.right() + 12), std::max(590, used.bottom() + 12));
}

void TAboutForm::centreOnScreen()
{
    const QScreen *s = screen();
    if (!s)
        return;
    QRect frame = frameGeometry();
    frame.moveCenter(s->geometry().center());
    move(frame.topLeft());
}

void TAboutForm::showEvent(QShowEvent *event)
{
    centreOnScreen();
    QDialog::showEvent(event);
    runGuarded([this] { FormShow(); });
}

bool TAboutForm::event(QEvent *event)
{
    const bool handled = QDialog::event(event);
    if (event->type() == QEvent::WindowActivate)
        runGuarded([this] { FormActivate(); });
    return handled;
}

void TAboutForm::keyPressEvent(QKeyEvent *event)
{
    // Only the OK button closes the dialog; Escape does nothing here.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool TAboutForm::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (watched == LabelLogin || watched == LabelHTTP) {
        const bool login = watched == LabelLogin;
        if (type == QEvent::MouseMove) {
            runGuarded([&] { login ? LabelLoginMouseMove() : LabelHTTPMouseMove(); });
            return true; // not the background's move
        }
        if (type == QEvent::Leave) {
            runGuarded([&] { login ? LabelLoginMouseLeave() : LabelHTTPMouseLeave(); });
            return false;
        }
        if (type == QEvent::MouseButtonRelease) {
            const auto *me = static_cast<QMouseEvent *>(event);
            if (me->button() == Qt::LeftButton &&
                static_cast<QWidget *>(watched)->rect().contains(me->position().toPoint()))
                runGuarded([&] { login ? LabelLoginClick() : LabelHTTPClick(); });
            return true;
        }
    } else if (watched == content && type == QEvent::MouseMove) {
        runGuarded([this] { FormMouseMove(); });
    }
    return QDialog::eventFilter(watched, event);
}

void TAboutForm::BitBtnCloseClick()
{
    accept();
}

void TAboutForm::LabelLoginMouseMove()
{
    setTextColour(LabelLogin, kRed);
    LabelLogin->setCursor(Qt::PointingHandCursor);
}

void TAboutForm::LabelLoginMouseLeave()
{
    setTextColour(LabelLogin, kNavy);
}

void TAboutForm::LabelLoginClick()
{
    setTextColour(LabelLogin, kGreen);
    m_openUrl(QUrl(mailAddress()));
}

void TAboutForm::LabelHTTPMouseMove()
{
    setTextColour(LabelHTTP, kRed);
    LabelHTTP->setCursor(Qt::PointingHandCursor);
}

void TAboutForm::LabelHTTPMouseLeave()
{
    setTextColour(LabelHTTP, kNavy);
}

void TAboutForm::LabelHTTPClick()
{
    setTextColour(LabelHTTP, kGreen);
    m_openUrl(QUrl(webAddress()));
}

void TAboutForm::FormMouseMove()
{
    LabelHTTP->unsetCursor();
}
