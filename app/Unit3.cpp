// TVersionBox.
#include "Unit3.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

namespace quire {

TVersionBox::TVersionBox(QWidget* Parent) : QDialog(Parent) {
    setWindowTitle(QStringLiteral("バージョン情報"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Quire  version %1").arg(QStringLiteral(QUIRE_VERSION)), this));
    layout->addWidget(new QLabel(QStringLiteral("日本語のためのテキストエディタ"), this));
    // The two links open with the desktop's default action.
    auto* web = new QLabel(QStringLiteral("<a href=\"https://quire.invalid/\">https://quire.invalid/</a>"), this);
    web->setOpenExternalLinks(true);
    auto* mail = new QLabel(QStringLiteral("<a href=\"mailto:quire@quire.invalid\">quire@quire.invalid</a>"), this);
    mail->setOpenExternalLinks(true);
    layout->addWidget(web);
    layout->addWidget(mail);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}

} // namespace quire
