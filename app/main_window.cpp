// TfrmMain's construction, its toolbar and group boxes, and the start-up
// sequence that brings the store, the settings and the views into a first state.
#include "app/main_window.h"

#include "about/about_form.h"
#include "app/guard.h"
#include "link/com_port.h"
#include "sim/window_gl_form.h"
#include "store/form_store.h"

#include <QGroupBox>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolBar>
#include <QToolButton>

namespace {

constexpr QSize kContentSize{809, 697};
constexpr int kToolBarHeight = 29;
const QString kDesignCaption = QStringLiteral("Редатор форм фонтанов");

// A toolbar button: flat 23 x 22, a theme icon where one fits, otherwise the
// project's own picture, a hand cursor and its hint as tooltip.
QToolButton *makeToolButton(QToolBar *bar, const char *name, const QString &hint,
                            const char *themeIcon, const char *fallback)
{
    auto *b = new QToolButton(bar);
    b->setObjectName(QLatin1String(name));
    b->setAutoRaise(true);
    b->setFixedSize(23, 22);
    b->setIconSize(QSize(16, 16));
    b->setIcon(
        QIcon::fromTheme(QLatin1String(themeIcon),
                         QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(fallback)))));
    b->setToolTip(hint);
    b->setCursor(Qt::PointingHandCursor);
    bar->addWidget(b);
    return b;
}

void addGap(QToolBar *bar)
{
    auto *gap = new QWidget(bar);
    gap->setFixedSize(25, 22);
    bar->addWidget(gap);
}

} // namespace

// Resources of a static library must be registered by hand.
static void initResources()
{
    Q_INIT_RESOURCE(resources);
}

TfrmMain::TfrmMain(QWidget *parent) : QMainWindow(parent)
{
    initResources();
    setObjectName(QStringLiteral("TfrmMain"));
    setWindowTitle(kDesignCaption);
    resize(800, 505); // design size; the start-up sequence sets the working size

    scrollArea = new QScrollArea(this);
    scrollArea->setObjectName(QStringLiteral("ScrollBoxMain"));
    scrollArea->setFrameShape(QFrame::NoFrame);
    content = new QWidget;
    content->setObjectName(QStringLiteral("ClientArea"));
    content->setFixedSize(kContentSize.width(), kContentSize.height() - kToolBarHeight);
    scrollArea->setWidget(content);
    setCentralWidget(scrollArea);

    buildToolBar();
    buildGroupBoxes();
    buildStripViewer();
    buildEditingPanel();
    buildListOperations();
    buildValvePanel();
    buildLiveGauges();
    buildSequencer();
    buildFileCommands();
    buildBlockUpload();

    // An error here is shown, and the window still opens.
    runGuarded([this] { FormCreate(); });
}

TfrmMain::~TfrmMain() = default;

void TfrmMain::setSecondaryWindows(TAboutForm *about, TWindowGLForm *gl)
{
    m_aboutForm = about;
    m_glForm = gl;
}

void TfrmMain::buildToolBar()
{
    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->setFixedHeight(kToolBarHeight);
    ToolBar1->setContextMenuPolicy(Qt::PreventContextMenu);
    ToolBar1->setIconSize(QSize(16, 16));
    addToolBar(Qt::TopToolBarArea, ToolBar1);

    QToolBar *b = ToolBar1;
    SpeedButtonNew = makeToolButton(b, "SpeedButtonNew", QStringLiteral("Cоздать новый файл форм "),
                                    "document-new", "new");
    SpeedButtonLoad = makeToolButton(b, "SpeedButtonLoad", QStringLiteral("Открыть  файл форм "),
                                     "document-open", "open");
    SpeedButtonSave =
        makeToolButton(b, "SpeedButtonSave", QStringLiteral("Записать текущий  файл форм "),
                       "document-save", "save");
    SpeedButtonSaveAs = makeToolButton(b, "SpeedButtonSaveAs",
                                       QStringLiteral("Дать новое мия и записать  файл форм "),
                                       "document-save-as", "save-as");
    addGap(b);
    SpeedButtonCopyForm = makeToolButton(
        b, "SpeedButtonCopyForm", QStringLiteral("Копировать в буфер "), "edit-copy", "copy");
    SpeedButtonPasteForm =
        makeToolButton(b, "SpeedButtonPasteForm", QStringLiteral("Встаить форму из буфера "),
                       "edit-paste", "paste");
    SpeedButtonCutForm = makeToolButton(
        b, "SpeedButtonCutForm", QStringLiteral("Вырезать форму в буфер "), "edit-cut", "cut");
    SpeedButtonInsert = makeToolButton(
        b, "SpeedButtonInsert", QStringLiteral("Вставить новую форму "), "list-add", "insert");
    SpeedButtonDeleteForm = makeToolButton(
        b, "SpeedButtonDeleteForm", QStringLiteral("Удалить форму "), "list-remove", "delete");
    SpeedButtonClearForm =
        makeToolButton(b, "SpeedButtonClearForm",
                       QStringLiteral("Очистить поле для редактирования "), "edit-clear", "clear");
    SpeedButtonUndoForm =
        makeToolButton(b, "SpeedButtonUndoForm", QStringLiteral("Вернуть "), "edit-undo", "undo");
    addGap(b);
    SpeedButtonTools = makeToolButton(b, "SpeedButtonTools", QStringLiteral("Окно инструментов "),
                                      "preferences-system", "tools");
    SpeedButtonSendBlock = makeToolButton(
        b, "SpeedButtonSendBlock",
        QStringLiteral("Отправить данные во внешний формообразователь по СОМ порту 1 "),
        "network-transmit", "send");
    addGap(b);
    SpeedButtonAbout = makeToolButton(
        b, "SpeedButtonAbout", QStringLiteral("О программе и версии "), "help-about", "about");
    addGap(b);
    SpeedButtonGl = makeToolButton(b, "SpeedButtonGl", QStringLiteral("Окно просмотра "),
                                   "video-display", "view");

    SpeedButtonSave->setEnabled(false);
    SpeedButtonPasteForm->setEnabled(false);
    // The tools window was never built: the button stays disabled for the whole run.
    SpeedButtonTools->setEnabled(false);
    // SpeedButtonUndoForm has no action on purpose.

    guardedConnect(SpeedButtonAbout, &QToolButton::clicked, this,
                   [this] { SpeedButtonAboutClick(); });
    guardedConnect(SpeedButtonGl, &QToolButton::clicked, this, [this] { SpeedButtonGlClick(); });
}

// Positions are in the client area with the toolbar at 0, 0.
static QGroupBox *makeGroupBox(QWidget *content, const char *name, const QString &caption, int x,
                               int y, int w, int h)
{
    auto *g = new QGroupBox(caption, content);
    g->setObjectName(QLatin1String(name));
    g->setGeometry(x, y - kToolBarHeight, w, h);
    return g;
}

void TfrmMain::buildGroupBoxes()
{
    for (int i = 0; i < kStripWindows; ++i) {
        const QByteArray name = "GroupBoxWin" + QByteArray::number(i + 1);
        GroupBoxWin[i] =
            makeGroupBox(content, name.constData(), QString(), 8, 32 + 96 * i, 281, 89);
    }
    GroupBoxEDIT =
        makeGroupBox(content, "GroupBoxEDIT", QStringLiteral("Редактирование параметров формы "),
                     328, 32, 481, 201);
    GroupBoxView =
        makeGroupBox(content, "GroupBoxView", QStringLiteral(" Уровень струй во время работы "),
                     328, 240, 481, 177);
    GroupBoxSequenser = makeGroupBox(content, "GroupBoxSequenser", QStringLiteral(" СЕКВЕНСЕР "),
                                     328, 424, 185, 137);
    GroupBoxNameGate = makeGroupBox(content, "GroupBoxNameGate",
                                    QStringLiteral("Параметры задвижек "), 528, 424, 281, 273);

    ScrollBarFormVewer = new QScrollBar(Qt::Vertical, content);
    ScrollBarFormVewer->setObjectName(QStringLiteral("ScrollBarFormVewer"));
    ScrollBarFormVewer->setGeometry(296, 40 - kToolBarHeight, 16, 657);
}

void TfrmMain::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (m_shownOnce)
        return;
    m_shownOnce = true;
    // Centred on the screen when it is first shown.
    if (QScreen *s = screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(s->availableGeometry().center());
        move(frame.topLeft());
    }
}

void TfrmMain::FormCreate()
{
    settingsFileName = QStringLiteral("Fonvira.ini");
    ReadIniNameZadvigki();
    resize(823, 741);
    FormStore::instance().ClearStore();
    SpeedButton2KoncevikClick();
    ReadNameFileForm();
    // A last file that cannot be read is reported, and the start-up goes on as
    // if there were none: the store is still clear and the views must show it.
    if (!runGuarded([this] { loadLastFormFile(); }))
        FormStore::instance().ClearStore();
    SpeedButtonClearFormClick();
    ScrollBarNomberForm->setValue(0);
    ScrollBarFormVewerChange();
    copyGaugeTargetsFromValveBars();
}

void TfrmMain::copyGaugeTargetsFromValveBars()
{
    for (int v = 0; v < kValves; ++v)
        gaugeTargets[v] = std::uint8_t(255 - ScrollBarZadvizka[v]->value());
}

void TfrmMain::SpeedButtonAboutClick()
{
    if (m_aboutForm)
        m_aboutForm->exec();
}

void TfrmMain::SpeedButtonGlClick()
{
    if (m_glForm) {
        m_glForm->show();
        m_glForm->raise();
    }
}
