// The editor font dialog.
#include "FontChooser.h"

#include "Fonts.h"

#include <QDialogButtonBox>
#include <QFontInfo>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>

namespace quire {

TFontChooser::TFontChooser(const QFont& Current, QWidget* Parent)
    : QDialog(Parent), FFamilies(new QListWidget(this)), FSizes(new QListWidget(this)), FSample(new QLabel(this)) {
    setWindowTitle(QStringLiteral("フォント"));
    FFamilies->setObjectName(QStringLiteral("Families"));
    FSizes->setObjectName(QStringLiteral("Sizes"));
    // The family in use is the one the font resolves to ("FixedSys" is a substitute's name).
    const QString current = QFontInfo(Current).family();
    QStringList families = JapaneseFamilies();
    if (!families.contains(current)) families.prepend(current);
    FFamilies->addItems(families);
    const QList<QListWidgetItem*> found = FFamilies->findItems(current, Qt::MatchExactly);
    if (!found.isEmpty()) FFamilies->setCurrentItem(found.first());
    // Even pixel sizes only: full-width glyphs fill two cells exactly only at those.
    const int size = QFontInfo(Current).pixelSize();
    for (int px = 8; px <= 72; px += 2) {
        FSizes->addItem(QString::number(px));
        if (px == size + (size % 2)) FSizes->setCurrentRow(FSizes->count() - 1);
    }
    FSample->setText(QStringLiteral("あいうえお 漢字 アイウ ABCabc 0123"));
    FSample->setMinimumHeight(60);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("フォント名(&F):"), this), 0, 0);
    layout->addWidget(new QLabel(QStringLiteral("サイズ(&S):"), this), 0, 1);
    layout->addWidget(FFamilies, 1, 0);
    layout->addWidget(FSizes, 1, 1);
    layout->addWidget(FSample, 2, 0, 1, 2);
    layout->addWidget(buttons, 3, 0, 1, 2);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(FFamilies, &QListWidget::currentRowChanged, this, [this] { showSample(); });
    connect(FSizes, &QListWidget::currentRowChanged, this, [this] { showSample(); });
    showSample();
}

QFont TFontChooser::SelectedFont() const {
    QFont f(FFamilies->currentItem() ? FFamilies->currentItem()->text() : QString());
    f.setPixelSize(FSizes->currentItem() ? FSizes->currentItem()->text().toInt() : 16);
    return f;
}

void TFontChooser::showSample() { FSample->setFont(SelectedFont()); }

} // namespace quire
