// The editor font dialog.
#include "FontChooser.h"

#include "Fonts.h"

#include <QDialogButtonBox>
#include <QFontInfo>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>

#include <algorithm>
#include <vector>

namespace quire {

namespace {

// The sizes offered, in points; a size in use that is not among them is offered too.
constexpr int kPointSizes[] = {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72};

} // namespace

TFontChooser::TFontChooser(const QFont& Current, QWidget* Parent)
    : QDialog(Parent), FFamilies(new QListWidget(this)), FSizes(new QListWidget(this)), FSample(new QLabel(this)) {
    setWindowTitle(QStringLiteral("フォント"));
    FFamilies->setObjectName(QStringLiteral("Families"));
    FSizes->setObjectName(QStringLiteral("Sizes"));
    // The family in use is the one the font resolves to ("FixedSys" is a substitute's name).
    const QString current = QFontInfo(Current).family();
    QStringList families = GridFamilies();
    if (!families.contains(current)) families.prepend(current);
    FFamilies->addItems(families);
    const QList<QListWidgetItem*> found = FFamilies->findItems(current, Qt::MatchExactly);
    if (!found.isEmpty()) FFamilies->setCurrentItem(found.first());
    const int size = Current.pointSize() > 0 ? Current.pointSize() : QFontInfo(Current).pointSize();
    std::vector<int> sizes(std::begin(kPointSizes), std::end(kPointSizes));
    if (std::find(sizes.begin(), sizes.end(), size) == sizes.end())
        sizes.insert(std::upper_bound(sizes.begin(), sizes.end(), size), size);
    for (int points : sizes) {
        FSizes->addItem(QString::number(points));
        if (points == size) FSizes->setCurrentRow(FSizes->count() - 1);
    }
    FSample->setText(QStringLiteral("あいうえお 漢字 アイウ ABCabc 0123"));
    FSample->setMinimumHeight(60);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto* familyLabel = new QLabel(QStringLiteral("フォント名(&F):"), this);
    familyLabel->setBuddy(FFamilies); // the label's key moves to its list
    auto* sizeLabel = new QLabel(QStringLiteral("サイズ(&S):"), this);
    sizeLabel->setBuddy(FSizes);
    auto* layout = new QGridLayout(this);
    layout->addWidget(familyLabel, 0, 0);
    layout->addWidget(sizeLabel, 0, 1);
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
    f.setPointSize(FSizes->currentItem() ? FSizes->currentItem()->text().toInt() : 12);
    return f;
}

void TFontChooser::showSample() { FSample->setFont(SelectedFont()); }

} // namespace quire
