// TVersionBox: the program's name and version, with links to its web page and mail address.
#pragma once

#include <QDialog>

namespace quire {

class TVersionBox : public QDialog {
    Q_OBJECT

public:
    explicit TVersionBox(QWidget* Parent = nullptr);
};

} // namespace quire
