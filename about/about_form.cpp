// TAboutForm's construction: the frame, the scrolled client area, the upper part
// with the version, the maker's lines, the two link labels and the buttons.
#include "about/about_form.h"

#include "about/about_widgets.h"
#include "core/system_info.h"
#include "widgets/guard.h"
#include "widgets/window_placement.h"

#include <QDesktopServices>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollArea>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

using namespace aboutui;

namespace {

const QStringList kDialogFamilies = {QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                                     QStringLiteral("DejaVu Sans Condensed")};
const QString kMail = QStringLiteral("fountain-forms@example.org");
// Short enough for the third line of the web label.
const QString kWeb = QStringLiteral("fountain.example.org");

} // namespace

TAboutForm::TAboutForm(const HandlerGuard &guard, QWidget *parent)
    : QDialog(parent), m_guard(guard), m_ownProvider(sysinfo::makePlatformProvider()),
      m_provider(m_ownProvider.get()),
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
    m_provider = provider ? provider : m_ownProvider.get();
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
    m_guard.connect(BitBtnClose, &QPushButton::clicked, this, [this] { BitBtnCloseClick(); });

    SpeedButtonMore = new QToolButton(c);
    SpeedButtonMore->setObjectName(QStringLiteral("SpeedButtonMore"));
    SpeedButtonMore->setText(QStringLiteral(" SYS INFO"));
    SpeedButtonMore->setGeometry(293, 196, 75, 25);
    SpeedButtonMore->setFocusPolicy(Qt::NoFocus);
    m_guard.connect(SpeedButtonMore, &QToolButton::clicked, this,
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
    keepOnScreen(this, true);
}

void TAboutForm::showEvent(QShowEvent *event)
{
    centreOnScreen();
    QDialog::showEvent(event);
    m_guard.run([this] { FormShow(); });
}

bool TAboutForm::event(QEvent *event)
{
    const bool handled = QDialog::event(event);
    if (event->type() == QEvent::WindowActivate)
        m_guard.run([this] { FormActivate(); });
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
            m_guard.run([&] { login ? LabelLoginMouseMove() : LabelHTTPMouseMove(); });
            return true; // not the background's move
        }
        if (type == QEvent::Leave) {
            m_guard.run([&] { login ? LabelLoginMouseLeave() : LabelHTTPMouseLeave(); });
            return false;
        }
        if (type == QEvent::MouseButtonRelease) {
            const auto *me = static_cast<QMouseEvent *>(event);
            if (me->button() == Qt::LeftButton &&
                static_cast<QWidget *>(watched)->rect().contains(me->position().toPoint()))
                m_guard.run([&] { login ? LabelLoginClick() : LabelHTTPClick(); });
            return true;
        }
    } else if (watched == content && type == QEvent::MouseMove) {
        m_guard.run([this] { FormMouseMove(); });
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
