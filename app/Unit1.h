// TMainForm: the main window. It holds up to 100 documents, one per tab page, each edited by
// its own TEditor, and owns the file, window and view commands, the titles, the status bar,
// saving with backups, closing with the questions that protect modified text, and auto-save.
#pragma once

#include "Backup.h"
#include "BlankMarks.h"
#include "ColorTable.h"
#include "EditModes.h"
#include "EditorProp.h"
#include "FindReplace.h"
#include "Messages.h"
#include "MyProp.h"
#include "RecentFiles.h"
#include "RegularFile.h"
#include "SafeFile.h"
#include "StyleTable.h"

#include <QMainWindow>
#include <QTimer>
#include <algorithm>
#include <array>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class QAction;
class QLabel;
class QMenu;
class QSplitter;
class QTabWidget;
class QToolBar;
class QToolButton;
class QUrl;

namespace quire {

class TEditor;
class TEditorCaret;
class TFountain;
struct TMenuEntry;
struct TSettings;
struct TKanjiText;
class TRecoveryKeeper;
struct TFoundJournal;
class TGrepResults;
struct TGrepOptions;
namespace journal {
struct TJournalPage;
}
struct TJournalContent;

// The status bar's panels, from the left.
enum TStatusPanel : int {
    spHint,      // the long hint of the item under the mouse
    spCount,     // character count
    spSize,      // byte size (or the count when only the count is shown)
    spCaret,     // caret position
    spMode,      // the page's mode
    spWrap,      // the wrap width with word wrap on
    spBox,       // "矩形" in rectangular selection mode
    spKanjiCode, // the page's kanji code
    spLineEnd,   // the page's line end
    spInsert,    // "挿入" or "上書"
};
class TStringsPrinter;

// What an appending or quoting command does with the selection before it works on the
// clipboard.
enum class TClipboardTake { Cut, Copy };

// One tab page.
struct TPageRecord {
    TEditor* Editor = nullptr;
    QWidget* Sheet = nullptr;
    QString FileName;
    QString KanjiCode = QStringLiteral("S-JIS");
    QString LineEndCode = QStringLiteral("CRLF");
    QString Mode;
    TEditor* SubEditor = nullptr;
    QSplitter* Splitter = nullptr;
    bool Divided = false;
    bool MainFocused = true;
    // The file held a NUL byte: the text after it was not loaded.
    bool CutAtNul = false;
    // Writing the page back in KanjiCode gives the bytes that were read; when not, the file
    // was not truly in that code and it is never written without a question.
    bool KeepsBytes = true;
    // The page only shows its file (the guide): its editors take no changes, also after the
    // file is read again.
    bool ShownOnly = false;
    // The file as it was read or last written, and as the user was last told of it: a file
    // changed by another program is noticed before a save and when the window is activated.
    TFileStamp Stamp;
    TFileStamp SeenStamp;
    // A page of results of ファイルから検索: the search (running or done) and its lines' places.
    std::shared_ptr<TGrepResults> Grep;
};

class TMainForm : public QMainWindow {
    Q_OBJECT

public:
    static constexpr int PanelCount = 10;
    static constexpr int MaxPages = 100;
    // The largest file that is opened, in bytes (the size the file readers accept).
    static constexpr qint64 MaxFileSize = MaxTextFileSize;
    static const QString NewDocumentName; // "新規作成"
    static const QString OpenFilter;

    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    // Pages (0-based here; the first is page 1 to the user).
    int PageCount() const { return static_cast<int>(FPages.size()); }
    TPageRecord& Page(int Index) { return FPages.at(static_cast<size_t>(Index)); }
    const TPageRecord& Page(int Index) const { return FPages.at(static_cast<size_t>(Index)); }
    int ActivePage() const;
    void SetActivePage(int Index);
    TEditor* CurrentEditor();
    QTabWidget* PageControl() const { return FPageControl; }
    TEditor* Editor() const { return FPages.front().Editor; }
    QLabel* Panel(int Index) const { return FPanels.at(static_cast<size_t>(Index)); }
    QString PanelText(int Index) const;
    void SetPanelText(int Index, const QString& Text);
    QAction* Action(const QString& Name) const;
    // The current file name (the save dialog's): empty for a document never saved.
    const QString& CurrentFileName() const { return FSaveName; }
    TEditorProp& EditorProp() { return FEditorProp; }
    // The printer that carries the print options between uses (MainFormPrint.cpp).
    TStringsPrinter& StringsPrinter();

    // Start-up: command-line parameters (mode switches, files, shortcuts).
    void HandleCommandLine(const QStringList& Params);
    // Opens a file into a page (a new one unless the last is empty); false when it cannot
    // be read (the user has been told).
    bool OpenFileIntoPage(const QString& Path, bool ChooseMode = true);
    // False when Normalized is open in a page already and the user does not want it again.
    bool ConfirmOpenAgain(const QString& Normalized);
    // The hand-off from a later start: brings the window forward and opens Files in order.
    void MyMsgOnHello(const QStringList& Files);
    // The mode a command-line switch ("/html", "/perl", ...) forces; empty for anything else.
    static QString ModeOfSwitch(const QString& Param);
    // The local files of a drop, each name's bytes as they are on the disk.
    static QStringList DroppedFiles(const class QMimeData& Data);
    static QString NormalizedPath(const QString& Path);

    // Modes (MainFormModes.cpp). Page Index takes Mode (a mode name; anything else is 標準):
    // its editors get the shared colouring of the mode or their own colouring set up for
    // 標準 or ユーザ ("KeyWord.qre" is read for ユーザ), the styles are applied to every
    // editor, the bundle takes the current editor's settings, and when the page is the
    // active one the status bar and the 編集モード menu show the mode.
    void SetPageMode(int Index, const QString& Mode);
    // The mode commands of the 編集モード menu, on the active page.
    void ModeMenuClick(TEditMode Mode);
    // Each time the window becomes active: every page's editors get their page's mode again
    // (the modes are kept, never recomputed from the file names) and the styles are applied;
    // the first time, the last page becomes the active page.
    void FormActivate();
    // The shared colouring of a language mode; none for 標準 and ユーザ.
    TFountain* Colouring(TEditMode Mode) const;
    // The reserved words of mode ユーザ, as last read from "KeyWord.qre" or given below.
    const std::vector<std::string>& UserKeyWords() const { return FUserKeyWords; }
    // Writes Words to "KeyWord.qre" and gives them to every page in mode ユーザ. False when
    // the file cannot be written (the user has been told; nothing changed).
    bool SetUserKeyWords(const std::vector<std::string>& Words);
    // Start-up: "Delphi.qre", "Perl.qre", "Cpp.qre" and "Basic.qre" that exist replace the
    // reserved words of their shared colourings. A file that cannot be read is reported.
    void LoadKeywordFiles();

    // Recent files (MainFormRecent.cpp): the 開き直す submenu.
    const TRecentFiles& RecentFiles() const { return FRecentFiles; }
    // Puts Path at the top of the list (a path the settings file cannot hold is left out).
    void RegistFileNameToHistory(const QString& Path);
    // Opens recent file Number (1 to 9); a file that is gone gives an empty page named after
    // it, which saving creates.
    void RecentFileMenuClick(int Number);
    // Empties the list, in the menu and in the settings file.
    void MmRecentClearClick();
    // Writes the list to the settings file (at exit).
    void StoreRecentFiles();

    // Commands.
    void Mm_NewClick();
    void Mm_OpenClick();
    void N21Click();
    bool Mm_SaveClick();
    bool Mm_SaveAsClick();
    bool Mm_SaveAllClick();
    void C1Click();
    void N17Click();
    void Mm_SaveCloseClick();
    void Mm_CloseClick();
    void Mm_ShiftJISClick(const QString& Code);
    // Reads the active page's file again as Code ("S-JIS", "EUC", "JIS" or "UTF-8"), after
    // asking when the page is modified.
    void Mm_ReopenClick(const QString& Code);
    void Mm_CRLFClick(const QString& LineEnd);
    void Mm_NextTabClick();
    void Mm_BeforeTabClick();
    void R1Click();
    void L1Click();
    void Mm_TopClick();
    void Mm_DivisionClick();
    void Mm_ToolBarClick();
    void Mm_StatusBarClick();
    void Mm_FontClick();
    void Mm_PrintClick();
    // The guide, readme.txt (both open it): handed to the desktop's program for it, or, when
    // there is none, shown in a page of its own that takes no changes.
    void Mm_ReadmeClick();
    void ff1Click();
    void Mm_VersionClick();
    // The settings dialog (MainFormProperty.cpp), placed 70 pixels right of and 110 below the
    // window's corner.
    void Mm_PropertyClick();
    // Text commands (MainFormEdit.cpp), on the current editor.
    void mm_CutClick();
    void Mm_CopyClick();
    void Mm_PasteClick();
    void Mm_SelectAllClick();
    void Mm_UndoClick();
    void Mm_RedoClick();
    // Appending cut and copy: the selection joins the clipboard's text.
    void MmPlusCutClick(TClipboardTake Take);
    // Quoted cut and copy: every line of the selection on the clipboard gets the quote mark.
    void MmInyoCutClick(TClipboardTake Take);
    void Mm_Inyo_PasteClick();
    void Mm_PasteBoxClick();
    void Mm_LowerCaseClick();
    void Mm_UpperCaseClick();
    void Mm_ZenToHanClick();
    void Mm_HanToZenClick();
    // Full-width digits to ASCII over the whole text, after a question; the undo list goes.
    void Mm_int_ZenToHanClick();
    void Mm_TabIndClick();
    void Mm_TabUnIndClick();
    void Mm_FreeCursolClick();
    void Mm_BoxClick();
    void Mm_AutoIndentClick();
    void Mm_GetCountClick();
    void Mm_GetSizeClick();
    void Mm_JumpRowClick();
    // The Edit menu's and the popup menu's enabled states for the current editor. Run when
    // they open, and whenever the selection, the text, the focus or the page changes, so
    // that a shortcut always meets the state it acts in (Tab indents only a selection).
    void M_EditClick();
    // Every command's enabled state: the File, Window and Edit menus.
    void RefreshCommandStates();
    // The always-on size and count display in panels 1 and 2, for the current editor.
    void ShowCounts();
    // The editors' popup menu (the Pm_ items).
    QMenu* PopupMenu() const { return FPopupMenu; }
    // The page tabs' pop-up menu (its one item N18 closes the page).
    QMenu* TabPopup() const { return FTabPopup; }
    // The current editor's character count and byte size as the commands show them.
    int64_t CharacterCount();
    int ByteSize();

    // Key customisation (MainFormKeys.cpp).
    void MmKeyClick();
    void ApplyKeyCustomisation();
    // Find and replace (MainFormFind.cpp).
    void Mm_FindClick();
    void Mm_ReplaceClick();
    void Mm_NextBeforeClick();
    void Mm_NextFindClick();
    // Finds the last search text once in the current editor; false when it is not there.
    bool FindOnce();
    // ファイルから検索 (MainFormGrep.cpp): the dialog, then StartGrep.
    void Mm_GrepClick();
    static const QString GrepPageName; // "検索結果", the caption of a page of results
    // A page of results (the last page when it is blank, else a new one) for a search of Paths,
    // started at once; its index, or -1 when no page could be added.
    int StartGrep(const TGrepOptions& Options, const QStringList& Paths);
    // The search of page Index, or null when it is no page of results.
    TGrepResults* GrepResults(int Index) const;
    // Enter or a double click on row Row of Editor: when it is a page of results, the place
    // its line names is opened (its page activated, or its file opened) and the match
    // selected, and true is returned.
    bool OpenGrepHitAt(TEditor& Editor, int Row);
    void SaveTimerTimer();
    // The backup settings of the settings file.
    TBackupSettings BackupSettings() const;
    QTimer& SaveTimer() { return FSaveTimer; }
    // Which blanks get marks (TMyProp), and their colours (the colour table).
    void LoadMarkSettings();

    // Settings (MainFormSettings.cpp). The application's settings in memory and the two
    // tables; whoever changes them applies them with the routines below.
    TMyProp& MyProp() { return FMyProp; }
    TColorTable& ColorTable() { return FColorTable; }
    TStyleTable& StyleTable() { return FStyleTable; }
    // The settings as they are now: the current editor's, TMyProp and the bars; Save() on
    // the result writes them all.
    TSettings CurrentSettings();
    // Settings onto the whole window: every editor (sub editors included), TMyProp (and what
    // follows from it: scroll bars, quote mark and colour, blank marks, auto-save timer, tab
    // position), the bars, and the bundle. Writes nothing.
    void ApplySettings(const TSettings& Settings);
    // The auto-save timer as TMyProp says: running every AutoSaveMinutes, or stopped.
    void RestartSaveTimer();
    // The colour table onto every editor (sub editors included) and every colouring; the
    // bundle and the blank marks take the new colours.
    void ApplyColorsToAll();
    // The style table onto every editor and every colouring.
    void ApplyStylesToAll();
    // The bundle onto pages 2 and later and onto every sub editor.
    void ApplyBundleToPages();
    // After a command changed one editor setting on Source: the bundle takes Source's
    // settings and gives them to every other editor, sub editors of split pages included.
    void PassEditorSettings(TEditor& Source);
    void SetTabPosition(TTabPosition Position);
    // Window/*: only Maximize=1 when the window is not in its normal state.
    void SaveWindowPlacement();
    // The close query: false when the user kept the window open.
    bool CanClose();
    // Tells the user of pages whose files another program changed or removed since they were
    // read, written or last told of, and offers to read them again (run when the window is
    // activated).
    void CheckFilesOnDisk();
    // Start-up (MainFormRecovery.cpp): the journals of pages that an earlier run left
    // unsaved (it crashed or was killed) are offered back in one question: recover (the
    // default), discard, or keep them for the next start. A recovery folder that cannot be
    // used is told here too.
    void OfferRecovery();
    // The pages' recovery journals.
    TRecoveryKeeper& Recovery() { return *FRecovery; }
    // The largest file opened, MaxFileSize unless a test lowers it (the limit is checked
    // before the file is read, so a lowered one is tested without a file of a gigabyte).
    qint64 OpenLimit() const noexcept { return FOpenLimit; }
    void SetOpenLimit(qint64 Bytes) noexcept { FOpenLimit = std::min(Bytes, MaxFileSize); }

protected:
    void closeEvent(QCloseEvent* Event) override;
    void dragEnterEvent(QDragEnterEvent* Event) override;
    void dropEvent(QDropEvent* Event) override;
    bool event(QEvent* Event) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    // Marks drawn over full-width spaces, half-width spaces and tabs.
    TBlankMarks FBlankMarks;
    // Rectangular selection and overwrite, as the status bar shows them: new pages follow them.
    bool FBoxMode = false;
    bool FOverWriteMode = false;

    // Files dropped or handed over by a later start, in order: shortcuts resolved, and a
    // file open already only after the user said so. The files that could not be opened
    // (no page left for them, or unreadable) are named in one message.
    void OpenNamedFiles(const QStringList& Files);
    // Why a file could not be opened: gathered while OpenNamedFiles runs, else told at once.
    void TellOpenFailure(const QString& Text);
    QStringList* FOpenFailures = nullptr;
    // The file a ".lnk" points at, or empty after telling the user why there is none.
    QString ShortcutTarget(const QString& Path);
    int NewTab();
    void SetUpEditor(TEditor& E);
    void ResetPage(int Index);
    void EnterPage(int Index);
    void UpdateTitles();
    void EditorChanged(TEditor* E);
    void ShowCaretPosition(TEditor* E);
    // The page's Mode onto its editors (no file is read), shown when it is the active page.
    void ApplyMode(int Index);
    // Mode's colouring onto one editor: the shared one, or its own set up with colours and
    // styles.
    void SetUpModeColouring(TEditor& Editor, TEditMode Mode);
    // Reads "KeyWord.qre" into the words of mode ユーザ when it exists.
    void LoadUserKeyWords();
    void LoadRecentFiles();
    void ShowRecentFiles();
    // Writes a page over its file after the questions that protect what it would change;
    // Backup makes the numbered backups first (FileBackUp).
    bool WritePage(int Index, bool Backup);
    bool ConfirmWrite(int Index);
    // The tab caption and titles from the page's name and modified state.
    void ShowPageName(int Index);
    bool SavePage(int Index, bool Confirm);
    bool SaveAsPage(int Index);
    bool ConfirmSaveCode(int Index);
    // Reads Path into the page, in the code detected or, when AsCode is given, in that code.
    bool LoadIntoPage(int Index, const QString& Path, const QString& AsCode = {});
    // The status panel and the save-code menu's checks for Code.
    // Places a dialog of the window where every dialog opens: a little below and right of
    // the window's corner.
    void PlaceDialog(QWidget& Dialog) const;
    void ShowKanjiCode(const QString& Code);
    // Gives page Index the kanji code Code (and the table a Unicode page keeps its characters in).
    void SetPageCode(int Index, const QString& Code);
    // A page holding a recovered text, modified, under its file's name; false when no page
    // could be added.
    bool OpenRecoveredPage(TJournalContent& Content, TFoundJournal&& Found);
    // Found rebuilt into a page, or kept aside when it cannot be; what the user must hear
    // goes to Notes, and Kept counts the journals left for a later start (no page left).
    void RecoverPage(TFoundJournal& Found, QStringList& Notes, int& Kept);
    // The facts of the page whose main editor is E, for its journal.
    journal::TJournalPage JournalPage(TEditor* E) const;
    bool AskReadAsShiftJis(const QString& Path, const TKanjiText& Text);
    bool PageIsBlank(int Index) const;
    void ClosePage(int Index);
    void MovePage(int From, int To);
    void Unsplit(int Index);
    int IndexOfEditor(const TEditor* E) const;
    void CreateMenus();
    void CreateTabPopup();
    // The tool bar and the page control's close button.
    void CreateToolBar();
    // The tool bar, the close button and the check of ツールバー, shown or hidden together.
    void ShowToolBar(bool On);
    void CreateStatusBar();
    // Start-up: the editor and application settings into page 1, TMyProp and the bundle.
    void LoadEditorSettings();
    // Start-up, last: colours and styles read and applied, the scroll bars set.
    void LoadColorsAndStyles();
    QString SettingsFile() const;
    // The save question: mbYes, mbNo or mbCancel.
    TMessageButton Ask3(int Index);
    // Asks about a modified page before it goes: true when it was saved or the user chose
    // to discard it, false when it must stay.
    bool ReleasePage(int Index);
    void PlaceWindow();
    QAction* AddMenuItem(class QMenu* Menu, const TMenuEntry& Entry);
    void M_FileClick();
    void Window1Click();
    // Panel 6 and the check marks of 矩形選択, フリーカーソル and オートインデント.
    void ShowToggles();
    // A caret option (free caret, auto indent) on or off in every editor and the bundle; a
    // caret past the end of its row comes back to the end when the free caret is off.
    void SetCaretOption(bool TEditorCaret::*Option, bool On);
    // An editor that left rectangular selection on its own (a selection set by offsets)
    // takes it up again once its selection is gone, while the window is in that mode.
    void KeepBoxMode(TEditor* Editor);
    // Replaces the current editor's selection by Convert of it (nothing when it is unchanged).
    void ConvertSelection(std::string (*Convert)(std::string_view));
    void SetPanelBevel(int Index, bool Lowered);
    void ShowMode(TPageRecord& Page);
    void ToggleOverWrite(TPageRecord& Page, TEditor* Editor);
    void ShowPointerOverToken(TEditor& Editor, const class QMouseEvent& Event);
    void DoubleClickToken(TEditor& Editor, const QPoint& Pos);
    void OpenExternally(const QUrl& Target);
    void ShowGuide();
    // Opens a file into a page as OpenFileIntoPage does, without putting it on the recent list;
    // the page's index, or -1 when the file cannot be read (the user has been told).
    int OpenIntoPage(const QString& Path, bool ChooseMode);
    // Lines added to the end of a page of results.
    void AppendResults(TEditor& Editor, const QString& Lines);

    QTabWidget* FPageControl = nullptr;
    QToolBar* FToolBar = nullptr;
    QToolButton* FCloseButton = nullptr; // the page control's "×"
    QMenu* FPopupMenu = nullptr;
    QMenu* FTabPopup = nullptr;
    std::vector<TPageRecord> FPages;
    std::array<QLabel*, PanelCount> FPanels{};
    std::map<QString, QAction*> FActions;
    QString FSaveName;
    TEditorProp FEditorProp;
    // The editor font's size in points as the settings keep it (Font/Size).
    int FFontPoints = 14;
    TMyProp FMyProp;
    TColorTable FColorTable;
    TStyleTable FStyleTable;
    std::map<QString, std::unique_ptr<TFountain>> FFountains;
    std::vector<std::string> FUserKeyWords;
    // Marks/URL and Marks/Mail as the settings hold them; the mode commands set the editors'
    // own recognition (標準 both, ユーザ neither), so the settings are kept apart.
    bool FUrl = true;
    bool FMail = false;
    bool FActivated = false;
    TRecentFiles FRecentFiles;
    QTimer FSaveTimer;
    bool FClosingForced = false;
    bool FCheckingFiles = false;
    TFindReplace FFind;
    TStringsPrinter* FStringsPrinter = nullptr; // owned as a child object
    // Declared last: it goes first, while the pages' editors are still there.
    std::unique_ptr<TRecoveryKeeper> FRecovery;
    qint64 FOpenLimit = MaxFileSize;
};

} // namespace quire
