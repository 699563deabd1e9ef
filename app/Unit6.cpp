// TSetRowForm: the go-to-line dialog.
#include "Unit6.h"

#include "Editor.h"
#include "Messages.h"
#include "ObjectName.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace quire {

TSetRowForm::TSetRowForm(QWidget* Parent, TEditor& Editor) : QDialog(Parent), FEditor(Editor) {
    setObjectName(QStringLiteral("SetRowForm"));
    setWindowTitle(QStringLiteral("指定行へ移動"));
    Edit1 = Named(new QLineEdit(this), "Edit1");
    auto* label = new QLabel(QStringLiteral("行番号(&J)："), this);
    label->setBuddy(Edit1);
    Button1 = Named(new QPushButton(QStringLiteral("OK"), this), "Button1");
    Button1->setDefault(true);
    Button2 = Named(new QPushButton(QStringLiteral("キャンセル"), this), "Button2");
    auto* layout = new QGridLayout(this);
    layout->addWidget(label, 0, 0);
    layout->addWidget(Edit1, 0, 1);
    layout->addWidget(Button1, 1, 0);
    layout->addWidget(Button2, 1, 1);
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
}

void TSetRowForm::showEvent(QShowEvent* Event) {
    QDialog::showEvent(Event);
    Edit1->setText(QString::number(FEditor.Row() + 1));
    Edit1->setFocus();
    Edit1->selectAll();
}

void TSetRowForm::Button1Click() {
    bool ok = false;
    const int n = Edit1->text().trimmed().toInt(&ok);
    if (!ok) {
        Tell(QStringLiteral("'%1' は整数ではありません。").arg(Edit1->text()));
        return;
    }
    const int row = static_cast<int>(std::clamp<qint64>(qint64(n) - 1, 0, FEditor.GetLineCount()));
    // The caret leaves the selection as any move does.
    FEditor.ClearSelection();
    FEditor.SetRow(row);
    FEditor.SetTopRow(row);
    accept();
}

} // namespace quire
