// TAboutForm: the About dialog with the version, the maker's lines and links,
// and the system information panel revealed by " SYS INFO". Construction, the
// upper part and the links are in about_form.cpp; the panel and its handlers in
// system_info_panel.cpp.
#pragma once

#include <QDialog>

#include <array>
#include <functional>
#include <memory>

class HandlerGuard;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QToolButton;
class QUrl;

namespace sysinfo {
class SystemInfoProvider;
}

class TAboutForm : public QDialog
{
    Q_OBJECT

  public:
    // Opens an address with the desktop's default action.
    using UrlOpener = std::function<bool(const QUrl &)>;

    static constexpr QSize kFirstClientSize{395, 244};
    static constexpr int kMoreOuterHeight = 631;
    static constexpr int kMoreTop = 78;

    explicit TAboutForm(const HandlerGuard &guard, QWidget *parent = nullptr);
    ~TAboutForm() override;

    // Where the panel's values come from; the platform's own provider by default.
    void setSystemInfoProvider(sysinfo::SystemInfoProvider *provider);
    // How the link labels open their addresses; QDesktopServices by default.
    void setUrlOpener(UrlOpener opener);

    static QString mailAddress();
    static QString webAddress();

    // The system information panel filled in, part by part.
    void GetInfo();
    void GetMemoryInfo();
    void GetCompInfo();
    void ShowDrive(int drive); // 0 = C, 1 = D, 2 = E

  protected:
    void showEvent(QShowEvent *event) override;
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

  private:
    // ---- handlers ----
    void FormShow();
    void FormActivate();
    void FormMouseMove();
    void BitBtnCloseClick();
    void SpeedButtonMoreClick();
    void LabelLoginMouseMove();
    void LabelLoginMouseLeave();
    void LabelLoginClick();
    void LabelHTTPMouseMove();
    void LabelHTTPMouseLeave();
    void LabelHTTPClick();

    void buildUpperPart();
    void buildSystemInfoPanel();
    void centreOnScreen();
    void fitContent();
    // Writes a value and lets the label grow to its text.
    void showValue(QLabel *label, const QString &text);

    const HandlerGuard &m_guard;
    std::unique_ptr<sysinfo::SystemInfoProvider> m_ownProvider;
    sysinfo::SystemInfoProvider *m_provider = nullptr;
    UrlOpener m_openUrl;

    // ---- controls ----
    QScrollArea *scrollArea = nullptr;
    QWidget *content = nullptr; // the scrolled client area

    // upper part
    QLabel *LabelVersion = nullptr;
    QLabel *LabelLogin = nullptr;
    QLabel *LabelHTTP = nullptr;
    QPushButton *BitBtnClose = nullptr;
    QToolButton *SpeedButtonMore = nullptr;

    // left column
    QLabel *OSNameLabel = nullptr;
    QLabel *LabelWinVer = nullptr;
    QLabel *VersionLabel = nullptr;
    QLabel *VersionNumberLabel = nullptr;
    QLabel *LabelDosVer = nullptr;
    QLabel *VendorIdentifierLabel = nullptr;
    QLabel *ProcessorLabel = nullptr;
    QLabel *LabelTipCPU = nullptr;
    QLabel *MMXIdentifierLabel = nullptr;
    QLineEdit *SerNumberEdit = nullptr; // an edit box, so the number can be copied
    std::array<QLabel *, 3> LabelDiskSize{};
    std::array<QLabel *, 3> LabelDiskFree{};
    std::array<QLabel *, 3> LabelHDD{};

    // right column
    QLabel *TotalPhys = nullptr;
    QLabel *AvailPhys = nullptr;
    QLabel *TotalPage = nullptr;
    QLabel *AvailPage = nullptr;
    QLabel *RegisteredOrganizationLabel = nullptr;
    QLabel *RegisteredOwnerLabel = nullptr;
    QLabel *WindowsDirLabel = nullptr;
    QLabel *ComputerLabel = nullptr;
};
