#include "widgets/standard_file_dialog.h"

#include <QDir>
#include <QFileInfo>
#include <QWidget>

#include <vector>

#include <windows.h>
// After windows.h, which it needs.
#include <commdlg.h>

namespace standard_dialog {

// GetOpenFileName and GetSaveFileName show the system's current dialog: the
// item dialog since Windows Vista. (Driven through its own interface the item
// dialog, under Wine at least, adds the filter's extension to any name whose
// extension it does not know, "show.v2" becoming "show.v2.frm"; these calls
// add nothing when given no default extension.)
QString formFileName(QWidget *parent, Kind kind, const QString &prefill)
{
    // Long enough for the longest path the system allows.
    std::vector<wchar_t> name(32768, L'\0');
    const QFileInfo start(prefill.isEmpty() ? QDir::currentPath() + u'/' : prefill);
    const QString startName = start.fileName();
    startName.toWCharArray(name.data());
    const std::wstring folder = QDir::toNativeSeparators(start.absolutePath()).toStdWString();

    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = parent ? reinterpret_cast<HWND>(parent->window()->winId()) : nullptr;
    ofn.lpstrFilter = L"*.frm\0*.frm\0";
    ofn.lpstrFile = name.data();
    ofn.nMaxFile = DWORD(name.size());
    ofn.lpstrInitialDir = folder.c_str();
    // No question before a replace, no insisting that the name exists, no
    // extension added here (the caller adds it to a name without one), and
    // the working folder left alone: the start-up's "UserForm.frm" is
    // looked up there.
    ofn.Flags = OFN_EXPLORER | OFN_NOCHANGEDIR | OFN_HIDEREADONLY | OFN_LONGNAMES;
    const BOOL chosen = kind == Kind::Save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
    if (!chosen)
        return {}; // cancelled, or no dialog to show
    return QDir::fromNativeSeparators(QString::fromWCharArray(name.data()));
}

} // namespace standard_dialog
