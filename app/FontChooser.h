// TFontChooser: the editor font dialog. It offers the fonts that draw Japanese, those that
// fit the editor's column grid (a full-width character two half-width cells) first, with the
// font in use selected, and a sample in the chosen font.
#pragma once

#include <QDialog>
#include <QFont>

class QLabel;
class QListWidget;

namespace quire {

class TFontChooser : public QDialog {
    Q_OBJECT

public:
    explicit TFontChooser(const QFont& Current, QWidget* Parent = nullptr);

    QFont SelectedFont() const;
    QListWidget* Families() const { return FFamilies; }
    QListWidget* Sizes() const { return FSizes; }

private:
    void showSample();

    QListWidget* FFamilies;
    QListWidget* FSizes;
    QLabel* FSample;
};

} // namespace quire
