// TGrepForm: the dialog of ファイルから検索: the search text and the folder with their
// histories, the file name patterns, and the options (subfolders, match case, whole words,
// regular expression), all kept in the settings file.
#pragma once

#include "GrepQuery.h"
#include "HistoryCombo.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace quire {

class TGrepForm : public QDialog {
    Q_OBJECT

public:
    static const QString DefaultFiles; // "*.txt;*.c;*.h"

    // StartFolder is offered when the folder history is empty (the current page's folder).
    TGrepForm(QWidget* Parent, const QString& StartFolder);

    THistoryCombo* ComboB_SearchText = nullptr;
    THistoryCombo* ComboB_Folder = nullptr;
    QPushButton* Btn_Browse = nullptr;
    QLineEdit* Edit_Files = nullptr;
    QCheckBox* CheckB_SubFolder = nullptr;
    QCheckBox* CheckB_MachCase = nullptr;
    QCheckBox* CheckB_WholeWord = nullptr;
    QCheckBox* CheckB_RegExp = nullptr;
    QPushButton* Btn_Ok = nullptr;
    QPushButton* Btn_His_Clear = nullptr;
    QPushButton* Btn_Cancel = nullptr;

    // What to search for and where, as the dialog was left.
    TGrepOptions Options() const;
    QString Folder() const;
    // The name patterns of a text such as "*.txt;*.c;*.h" (spaces around them dropped).
    static QStringList Globs(const QString& Text);

    // OK: the dialog closes accepted once the search text (and expression) and the folder are
    // good; else the user is told why and it stays.
    void Btn_OkClick();

protected:
    void showEvent(QShowEvent* Event) override;
    void done(int Result) override;

private:
    void Btn_BrowseClick();
    void Btn_His_ClearClick();
    void updateButtons();
    void readSettings();
    void writeSettings() const;

    QString FStartFolder;
};

} // namespace quire
