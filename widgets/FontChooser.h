// TFontChooser: the editor font dialog. It offers the fixed-pitch fonts that draw Japanese on
// the editor's column grid (a full-width character two half-width cells), with the font in
// use selected, its sizes in points, and a sample in the chosen font.
#pragma once

#include <QDialog>
#include <QFont>

class QLabel;
class QListWidget;

namespace quire {

class TFontChooser : public QDialog {
    Q_OBJECT

public:
    // Current names the font in use and its size in points (the size the settings keep).
    explicit TFontChooser(const QFont& Current, QWidget* Parent = nullptr);

    // The family chosen and the size in points chosen.
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
