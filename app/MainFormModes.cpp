// TMainForm: the highlighting mode of each page (the 編集モード menu, the mode by extension,
// activation) and the keyword files.
#include "Unit1.h"

#include "Editor.h"
#include "KeywordFile.h"
#include "Messages.h"
#include "OwnColouring.h"
#include "PlatformError.h"
#include "ProgramFolder.h"
#include "SettingsApply.h"

#include <QAction>

namespace quire {

TFountain* TMainForm::Colouring(TEditMode Mode) const {
    const auto it = FFountains.find(ModeColouringName(Mode));
    return it == FFountains.end() ? nullptr : it->second.get();
}

void TMainForm::SetUpModeColouring(TEditor& E, TEditMode Mode) {
    TFountain* shared = Colouring(Mode);
    E.SetFountain(shared);
    if (shared) return;
    const bool user = Mode == TEditMode::Yuza;
    if (user) {
        TOwnColouring::User(FMyProp, FUserKeyWords).ApplyTo(E);
        ApplyUserModeColors(E, FColorTable);
    } else {
        TOwnColouring::Normal(FMyProp).ApplyTo(E);
        ApplyNormalModeColors(E, FColorTable, FMyProp.QuoteColoring);
    }
    ApplyStyles(E, FStyleTable, user);
}

void TMainForm::ApplyMode(int Index) {
    TPageRecord& p = Page(Index);
    const TEditMode mode = ModeOfPage(p.Mode);
    for (TEditor* e : {p.Editor, p.SubEditor})
        if (e) SetUpModeColouring(*e, mode);
    if (Index == ActivePage()) ShowMode(p);
}

void TMainForm::SetPageMode(int Index, const QString& Mode) {
    if (Index < 0 || Index >= PageCount()) return;
    const TEditMode mode = ModeOfPage(Mode);
    if (mode == TEditMode::Yuza) LoadUserKeyWords();
    Page(Index).Mode = ModeName(mode);
    ApplyMode(Index);
    ApplyStylesToAll(); // the bundle takes the current editor's settings too
}

void TMainForm::ModeMenuClick(TEditMode Mode) { SetPageMode(ActivePage(), ModeName(Mode)); }

void TMainForm::FormActivate() {
    for (int i = 0; i < PageCount(); ++i) ApplyMode(i);
    ApplyStylesToAll();
    if (FActivated) return;
    // After the start the last page, which took the last file named, is the one shown.
    FActivated = true;
    SetActivePage(PageCount() - 1);
}

void TMainForm::LoadUserKeyWords() {
    try {
        if (auto words = ReadKeywordFile(ProgramFile(UserKeywordFileName))) FUserKeyWords = std::move(*words);
    } catch (const EPlatformError& e) {
        // The mode is still chosen, with the words it had.
        Tell(QString::fromStdString(e.what()));
    }
}

bool TMainForm::SetUserKeyWords(const std::vector<std::string>& Words) {
    try {
        WriteKeywordFile(ProgramFile(UserKeywordFileName), Words);
    } catch (const EPlatformError& e) {
        Tell(QString::fromStdString(e.what()));
        return false;
    }
    FUserKeyWords = Words;
    for (int i = 0; i < PageCount(); ++i)
        if (ModeOfPage(Page(i).Mode) == TEditMode::Yuza) ApplyMode(i);
    FEditorProp.Assign(*CurrentEditor());
    return true;
}

void TMainForm::LoadKeywordFiles() {
    for (TEditMode mode : {TEditMode::Delphi, TEditMode::Perl, TEditMode::Cpp, TEditMode::Basic}) {
        try {
            const auto words = ReadKeywordFile(ProgramFile(ModeKeywordFileName(mode)));
            if (words) Colouring(mode)->SetReserveWordList(*words);
        } catch (const EPlatformError& e) {
            Tell(QString::fromStdString(e.what())); // the colouring keeps its own words
        }
    }
}

} // namespace quire
