// TMainForm: the recent-file list of the 開き直す submenu.
#include "Unit1.h"

#include "Editor.h"
#include "Messages.h"
#include "PathCodec.h"
#include "PlatformError.h"

#include <QAction>
#include <cerrno>
#include <sys/stat.h>

namespace quire {

namespace {

// True only when nothing at all is at Path: not a file, a folder or a link, broken or not,
// and not a name in a folder that cannot be searched.
bool namesNothing(const QString& Path) {
    struct stat st {};
    return ::lstat(EncodePath(Path).constData(), &st) != 0 && (errno == ENOENT || errno == ENOTDIR);
}

} // namespace

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
    // Something that is there but cannot be read is reported by the opening; only a path that
    // names nothing gives the empty page.
    if (!namesNothing(path)) {
        OpenFileIntoPage(path);
    } else {
        int index = PageCount() - 1;
        if (!PageIsBlank(index)) index = NewTab();
        if (index < 0) return;
        TPageRecord& p = Page(index);
        p.FileName = path;
        p.Editor->SetModified(false);
        ShowPageName(index);
        SetActivePage(index);
    }
    EditorChanged(CurrentEditor());
}

} // namespace quire
