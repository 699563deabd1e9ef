// TMainForm: the main window with its document tabs and ten-panel status bar.
#pragma once

#include <QMainWindow>
#include <array>

class QLabel;
class QTabWidget;

namespace quire {

class TMainForm : public QMainWindow {
    Q_OBJECT

public:
    static constexpr int PanelCount = 10;

    explicit TMainForm(QWidget* parent = nullptr);

    QTabWidget* PageControl() const { return FPageControl; }
    // Status panel Index (0-9) and its text.
    QLabel* Panel(int Index) const { return FPanels.at(static_cast<size_t>(Index)); }
    QString PanelText(int Index) const;
    void SetPanelText(int Index, const QString& Text);

private:
    void CreateStatusBar();
    void UpdateTitles(const QString& BaseName);

    QTabWidget* FPageControl = nullptr;
    std::array<QLabel*, PanelCount> FPanels{};
};

} // namespace quire
