// THistoryCombo: an editable combo box with a history of up to eight entries kept in the
// settings file (section Combo, keys Prefix followed by 0 to 7); Down and Up open its list.
#pragma once

#include <QComboBox>
#include <QStringList>

namespace quire {

class THistoryCombo : public QComboBox {
    Q_OBJECT

public:
    static constexpr int MaxHistory = 8;

    THistoryCombo(const QString& Prefix, QWidget* Parent = nullptr);
    const QString& Prefix() const noexcept { return FPrefix; }
    QStringList History() const;

    // Reads the keys Prefix0, Prefix1, ... up to the first empty one, at most eight.
    void LoadHistory();
    // Writes the non-empty entries 0 to 7 when the text is not empty (platform errors raised).
    void SaveHistory();
    // Empties the text and the list and writes the eight keys as empty.
    void ClearHistory();
    // Moves the text to the top of the list (inserted when new); the list keeps eight entries.
    void MoveTextToTop();

protected:
    void keyPressEvent(QKeyEvent* Event) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    QString FPrefix;
};

} // namespace quire
