// The system information panel of the About dialog: its rows, and the handlers
// that fill them from the platform's provider each time the dialog is shown.
#include "about/about_form.h"

#include "about/about_widgets.h"
#include "core/system_info.h"
#include "widgets/fit_font.h"
#include "widgets/window_placement.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>

#include <algorithm>

using namespace aboutui;

namespace {

constexpr int kLeftCaption = 24;
constexpr int kLeftValue = 216;
constexpr int kRightCaption = 448;
constexpr int kRightValue = 640;
constexpr int kGap = 6;

// From the left column's values to the right edge of the dialog, less a
// vertical scroll bar, which a dialog cut to a short screen shows.
int leftValueRoom(const QWidget *dialog)
{
    return TAboutForm::kFirstClientSize.width() - kLeftValue - kGap -
           dialog->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, dialog);
}

// The serial number reads like a label, but can be selected and copied.
QLineEdit *makeSerialNumberBox(QWidget *parent, int top)
{
    auto *box = new QLineEdit(QStringLiteral("0"), parent);
    box->setObjectName(QStringLiteral("SerNumberEdit"));
    box->setReadOnly(true);
    box->setFrame(false);
    box->setFocusPolicy(Qt::ClickFocus);
    box->setTextMargins(0, 0, 0, 0);
    QPalette p = box->palette();
    p.setColor(QPalette::Base, Qt::transparent);
    box->setPalette(p);
    setTextColour(box, kGreen);
    box->setGeometry(kLeftValue - 2, top - 2, 60, 17);
    return box;
}

} // namespace

void TAboutForm::buildSystemInfoPanel()
{
    QWidget *c = content;
    // A caption and its value label; an invalid colour keeps the window text colour.
    QList<QLabel *> rightCaptions;
    auto row = [&](int captionX, int valueX, int top, const QString &caption, const char *name,
                   const QColor &colour, const QString &placeholder = QStringLiteral("0")) {
        QLabel *label = makeLabel(c, "", caption, captionX, top);
        if (captionX == kRightCaption)
            rightCaptions << label;
        return makeLabel(c, name, placeholder, valueX, top, colour);
    };
    auto left = [&](int top, const QString &caption, const char *name, const QColor &colour,
                    const QString &placeholder = QStringLiteral("0")) {
        return row(kLeftCaption, kLeftValue, top, caption, name, colour, placeholder);
    };
    // The right column's values take the colour of an active window's title.
    const QColor activeCaption =
        QApplication::palette().color(QPalette::Active, QPalette::Highlight);
    auto right = [&](int top, const QString &caption, const char *name) {
        return row(kRightCaption, kRightValue, top, caption, name, activeCaption);
    };
    OSNameLabel = left(242, QStringLiteral("Имя Cистемы "), "OSNameLabel", kNavy);
    LabelWinVer = left(257, QStringLiteral("Версия Windows "), "LabelWinVer", kNavy);
    VersionLabel = left(272, QStringLiteral("Субверсия"), "VersionLabel", kNavy);
    VersionNumberLabel = left(287, QStringLiteral("Платформа"), "VersionNumberLabel", kNavy);
    LabelDosVer = left(302, QStringLiteral("Версия  DOS "), "LabelDosVer", kNavy);
    makeRule(c, kLeftCaption, 312, 345);
    VendorIdentifierLabel =
        left(333, QStringLiteral("Процессор поставщик:"), "VendorIdentifierLabel", kGreen);
    ProcessorLabel = left(348, QStringLiteral("Процессор:"), "ProcessorLabel", kGreen);
    LabelTipCPU = left(363, QStringLiteral("Coпоставимый тип процессора "), "LabelTipCPU", kGreen,
                       QStringLiteral("0-"));
    MMXIdentifierLabel = left(379, QStringLiteral("Процессор MMX:"), "MMXIdentifierLabel", kGreen);
    makeLabel(c, "", QStringLiteral("Серийный номер"), kLeftCaption, 394);
    SerNumberEdit = makeSerialNumberBox(c, 394);
    makeRule(c, kLeftCaption, 404, 345);
    LabelDiskSize[0] = left(424, QStringLiteral("Размер  диска  C "), "LabelDiskSizeC", QColor());
    LabelDiskFree[0] =
        left(439, QStringLiteral("Свободно на  диске  C "), "LabelDiskFreeC", QColor());
    LabelHDD[0] = left(454, QStringLiteral("Номер  диска С  "), "LabelHDD_C", QColor());
    LabelDiskSize[1] = left(480, QStringLiteral("Размер  диска  D"), "LabelDiskSizeD", QColor());
    LabelDiskFree[1] =
        left(495, QStringLiteral("Свободно на диске  D "), "LabelDiskFreeD", QColor());
    LabelHDD[1] = left(510, QStringLiteral("Номер  диска  D "), "LabelHDD_D", QColor());
    LabelDiskSize[2] = left(531, QStringLiteral("Размер  диска  E "), "LabelDiskSizeE", QColor());
    LabelDiskFree[2] =
        left(546, QStringLiteral("Свободно на диске  E "), "LabelDiskFreeE", QColor());
    LabelHDD[2] = left(562, QStringLiteral("Номер  диска  E "), "LabelHDD_E", QColor());
    makeRule(c, kLeftCaption, 576, 345);

    TotalPhys = right(24, QStringLiteral("Полная физическая память:"), "TotalPhys");
    AvailPhys = right(40, QStringLiteral("Доступная физическая память:"), "AvailPhys");
    TotalPage = right(64, QStringLiteral("Общий размер файла подкачки:"), "TotalPage");
    AvailPage = right(80, QStringLiteral("Доступный размер файла подкачки:"), "AvailPage");
    RegisteredOrganizationLabel =
        right(154, QStringLiteral("Организация"), "RegisteredOrganizationLabel");
    RegisteredOwnerLabel = right(170, QStringLiteral("Владелец"), "RegisteredOwnerLabel");
    WindowsDirLabel = right(202, QStringLiteral("Директория Windows"), "WindowsDirLabel");
    ComputerLabel = right(224, QStringLiteral("Компьютер :"), "ComputerLabel");

    // The right column's captions share a font that keeps the longest of them
    // clear of the values.
    QStringList captions;
    for (const QLabel *l : rightCaptions)
        captions << l->text();
    const QFont captionFont = fittedFont(font(), captions, kRightValue - kRightCaption - kGap);
    for (QLabel *l : rightCaptions) {
        l->setFont(captionFont);
        l->adjustSize();
    }
}

void TAboutForm::showValue(QLabel *label, const QString &text)
{
    // A left-column value keeps within the dialog's width where a smaller or
    // condensed font can make it; the content scrolls for the rest.
    if (label->x() == kLeftValue)
        label->setFont(fittedFont(font(), {text}, leftValueRoom(this)));
    label->setText(text);
    label->adjustSize();
}

void TAboutForm::FormShow()
{
    GetMemoryInfo();
    GetCompInfo();
    fitContent();
}

void TAboutForm::FormActivate()
{
    GetInfo();
    for (int d = 0; d < sysinfo::kDriveCount; ++d)
        ShowDrive(d);
    fitContent();
}

void TAboutForm::GetInfo()
{
    const sysinfo::PlatformVersion v = m_provider->platformVersion();
    showValue(LabelWinVer, sysinfo::windowsVersionText(v.versionWord, v.systemName));
    if (v.hasDosVersion)
        showValue(LabelDosVer, sysinfo::dosVersionText(v.versionWord));
    showValue(LabelTipCPU, sysinfo::processorLevelName(v.processorLevel));
}

void TAboutForm::GetMemoryInfo()
{
    const sysinfo::MemoryStatus m = m_provider->memoryStatus();
    showValue(TotalPhys, sysinfo::memoryText(m.totalPhys));
    showValue(AvailPhys, sysinfo::memoryText(m.availPhys));
    showValue(TotalPage, sysinfo::memoryText(m.totalPage));
    showValue(AvailPage, sysinfo::memoryText(m.availPage));
}

void TAboutForm::GetCompInfo()
{
    const sysinfo::ComputerInfo c = m_provider->computerInfo();
    showValue(ComputerLabel, c.computerType);
    showValue(ProcessorLabel, c.processorIdentifier);
    showValue(MMXIdentifierLabel, c.mmxIdentifier);
    showValue(VendorIdentifierLabel, c.vendorIdentifier);
    if (c.version) {
        showValue(VersionLabel, sysinfo::versionRecordText(*c.version));
        showValue(VersionNumberLabel, sysinfo::platformName(c.version->platformId));
    }
    showValue(OSNameLabel, c.productName);
    showValue(RegisteredOrganizationLabel, c.registeredOrganization);
    showValue(RegisteredOwnerLabel, c.registeredOwner);
    // The number can be long (a machine id): it stays within the dialog and
    // shows its beginning; the whole of it can be selected and copied.
    SerNumberEdit->setFont(fittedFont(font(), {c.productId}, leftValueRoom(this) - 8));
    SerNumberEdit->setText(c.productId);
    SerNumberEdit->setFixedWidth(std::min(
        SerNumberEdit->fontMetrics().horizontalAdvance(c.productId) + 8, leftValueRoom(this)));
    SerNumberEdit->setCursorPosition(0);
    SerNumberEdit->setToolTip(c.productId);
    showValue(WindowsDirLabel, c.windowsDirectory);
}

void TAboutForm::ShowDrive(int drive)
{
    const auto d = std::size_t(drive);
    const sysinfo::DriveInfo info = m_provider->driveInfo(drive);
    // A failed volume request leaves the number row as it was.
    if (info.volumeSerial)
        showValue(LabelHDD[d], sysinfo::volumeSerialText(*info.volumeSerial));
    showValue(LabelDiskFree[d], sysinfo::diskText(info.availableBytes));
    showValue(LabelDiskSize[d], sysinfo::diskText(info.totalBytes));
    // Where the drive letter points to on this system.
    for (QLabel *l : {LabelDiskSize[d], LabelDiskFree[d], LabelHDD[d]})
        l->setToolTip(info.rootPath);
}

void TAboutForm::SpeedButtonMoreClick()
{
    // The outer height includes the title bar and borders the window system adds.
    const int decoration = frameGeometry().height() - height();
    setFixedHeight(kMoreOuterHeight - decoration);
    // For a window, move() places the outer frame.
    move(pos().x(), kMoreTop);
    // A screen shorter than that gets the tallest dialog it can show whole.
    keepOnScreen(this, false);
}
