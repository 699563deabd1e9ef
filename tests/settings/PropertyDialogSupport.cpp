// PropertyDialogs.
#include "PropertyDialogSupport.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

namespace quire::test {

int PropertyDialogs::Exec(QDialog& Dialog) {
    auto* form = qobject_cast<TPropertyForm*>(&Dialog);
    if (!form) return QDialog::Rejected;
    form->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(form));
    QApplication::setActiveWindow(form);
    if (Drive) Drive(*form);
    // Closed by its buttons, Enter or Escape: the result is theirs; still open: as if the
    // user had not finished with it.
    ExecResult = form->isVisible() ? -1 : form->result();
    form->hide();
    return ExecResult;
}

} // namespace quire::test
