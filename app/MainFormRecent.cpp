// TMainForm: the recent-file list of the 開き直す submenu.
#include "Unit1.h"

#include "Editor.h"
#include "Messages.h"
#include "PlatformError.h"

#include <QAction>
#include <QFileInfo>

namespace quire {

void TMainForm::LoadRecentFiles() {
    FRecentFiles.Load(SettingsFile());
    ShowRecentFiles();
}

void TMainForm::ShowRecentFiles() {
    for (int k = 1; k <= TRecentFiles::Count; ++k) {
        QAction* item = Action(QStringLiteral("RecentFile%1").arg(k));
        item->setText(FRecentFiles.Caption(k));
        item->setStatusTip(FRecentFiles.Path(k));
        item->setVisible(!FRecentFiles.Path(k).isEmpty());
    }
    Action("MmRecentClear")->setEnabled(!FRecentFiles.IsEmpty());
}

void TMainForm::RegistFileNameToHistory(const QString& Path) {
    if (FRecentFiles.Register(Path)) ShowRecentFiles();
}

void TMainForm::StoreRecentFiles() {
    try {
        FRecentFiles.Save(SettingsFile());
    } catch (const EPlatformError& e) {
        Tell(QString::fromStdString(e.what()), TMessageIcon::Warning);
    }
}

void TMainForm::MmRecentClearClick() {
    FRecentFiles.Clear();
    StoreRecentFiles();
    ShowRecentFiles();
}

void TMainForm::RecentFileMenuClick(int Number) {
    const QString path = FRecentFiles.Path(Number);
    if (path.isEmpty()) return;
    const QFileInfo info(path);
    // Something that is there but cannot be read (a broken link included) is reported by the
    // opening; only a path that names nothing gives the empty page.
    if (info.exists() || info.isSymLink()) {
        OpenFileIntoPage(path);
    } else {
        int index = PageCount() - 1;
        if (!PageIsBlank(index)) index = NewTab();
        if (index < 0) return;
        TPageRecord& p = FPages[static_cast<size_t>(index)];
        p.FileName = path;
        p.Editor->SetModified(false);
        ShowPageName(index);
        SetActivePage(index);
    }
    EditorChanged(CurrentEditor());
}

} // namespace quire
