// TMainForm: the main window. It holds up to 100 documents, one per tab page, each edited by
// its own TEditor, and owns the file, window and view commands, the titles, the status bar,
// saving with backups, closing with the questions that protect modified text, and auto-save.
#pragma once

#include "EditorProp.h"

#include <QMainWindow>
#include <QTimer>
#include <array>
#include <map>
#include <memory>
#include <vector>

class QAction;
class QLabel;
class QMenu;
class QSplitter;
class QTabWidget;
class QToolBar;

namespace quire {

class TEditor;
class TFountain;

// One tab page.
struct TPageRecord {
    TEditor* Editor = nullptr;
    QWidget* Sheet = nullptr;
    QString FileName;
    QString KanjiCode = QStringLiteral("S-JIS");
    QString LineEndCode = QStringLiteral("CRLF");
    QString Mode;
    bool StarPending = true;
    TEditor* SubEditor = nullptr;
    QSplitter* Splitter = nullptr;
    bool Divided = false;
    bool MainFocused = true;
    // The file held a NUL byte: the text after it was not loaded.
    bool CutAtNul = false;
};

class TMainForm : public QMainWindow {
    Q_OBJECT

public:
    static constexpr int PanelCount = 10;
    static constexpr int MaxPages = 100;
    // The largest file that is opened, in bytes.
    static constexpr qint64 MaxFileSize = qint64(1) << 30;
    static const QString NewDocumentName; // "新規作成"
    static const QString OpenFilter;

    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    // Pages (0-based here; the first is page 1 to the user).
    int PageCount() const { return static_cast<int>(FPages.size()); }
    TPageRecord& Page(int Index) { return FPages.at(static_cast<size_t>(Index)); }
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

    // Start-up: command-line parameters (mode switches, files, shortcuts).
    void HandleCommandLine(const QStringList& Params);
    // Opens a file into a page (a new one unless the last is empty); false when it cannot
    // be read (the user has been told).
    bool OpenFileIntoPage(const QString& Path, bool ChooseMode = true);
    // The hand-off from a later start: brings the window forward and opens Files in order.
    void MyMsgOnHello(const QStringList& Files);
    // The mode a command-line switch ("/html", "/perl", ...) forces; empty for anything else.
    static QString ModeOfSwitch(const QString& Param);
    static QString NormalizedPath(const QString& Path);
    static QString ModeForExtension(const QString& Ext);

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
    void Mm_ReadmeClick();
    void ff1Click();
    void Mm_VersionClick();
    void SaveTimerTimer();
    // Backups of F before it is overwritten.
    void FileBackUp(const QString& F);
    QTimer& SaveTimer() { return FSaveTimer; }
    // Reads which blanks get marks, and their colours, from the settings.
    void LoadMarkSettings();
    // The close query: false when the user kept the window open.
    bool CanClose();

protected:
    void closeEvent(QCloseEvent* Event) override;
    void dragEnterEvent(QDragEnterEvent* Event) override;
    void dropEvent(QDropEvent* Event) override;
    void changeEvent(QEvent* Event) override;
    bool event(QEvent* Event) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    // Marks drawn over full-width spaces, half-width spaces and tabs.
    struct TMarkSettings {
        bool Space = false, HSpace = false, Tab = false;
        TColor SpaceColor = 0xC0C0C0, HSpaceColor = 0xC0C0C0, TabColor = 0xC0C0C0;
    };
    TMarkSettings FMarkSettings;

    // False when Normalized is open in a page already and the user does not want it again.
    bool ConfirmOpenAgain(const QString& Normalized);
    // Files dropped or handed over by a later start, in order: shortcuts resolved, and a
    // file open already only after the user said so.
    void OpenNamedFiles(const QStringList& Files);
    // The file a ".lnk" points at, or empty after telling the user why there is none.
    QString ShortcutTarget(const QString& Path);
    int NewTab();
    void SetUpEditor(TEditor& E);
    void ResetPage(int Index);
    void EnterPage(int Index);
    void UpdateTitles();
    void EditorChanged(TEditor* E);
    void ShowCaretPosition(TEditor* E);
    void ApplyMode(int Index);
    bool WritePage(int Index);
    bool SavePage(int Index, bool Ask);
    bool SaveAsPage(int Index);
    bool ConfirmSaveCode(int Index);
    bool LoadIntoPage(int Index, const QString& Path);
    void ClosePage(int Index);
    void MovePage(int From, int To);
    void Unsplit(int Index);
    int IndexOfEditor(const TEditor* E) const;
    void CreateMenus();
    void CreateStatusBar();
    void RestartSaveTimer();
    QString SettingsFile() const;
    bool Setting(const char* Section, const char* Key, bool Default) const;
    int SettingInt(const char* Section, const char* Key, int Default) const;
    QString Ask3(int Index, bool WithCancel); // the save question; returns "yes", "no", "cancel"

    QTabWidget* FPageControl = nullptr;
    QToolBar* FToolBar = nullptr;
    std::vector<TPageRecord> FPages;
    std::array<QLabel*, PanelCount> FPanels{};
    std::map<QString, QAction*> FActions;
    QString FSaveName;
    TEditorProp FEditorProp;
    std::map<QString, std::unique_ptr<TFountain>> FFountains;
    QTimer FSaveTimer;
    bool FClosingForced = false;
};

} // namespace quire
