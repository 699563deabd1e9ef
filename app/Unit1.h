// TMainForm: the main window with its document tabs and ten-panel status bar.
#pragma once

#include <QMainWindow>
#include <array>

class QLabel;
class QTabWidget;

namespace quire {

class TEditor;

class TMainForm : public QMainWindow {
    Q_OBJECT

public:
    static constexpr int PanelCount = 10;

    explicit TMainForm(QWidget* parent = nullptr);

    QTabWidget* PageControl() const { return FPageControl; }
    TEditor* Editor() const { return FEditor; }
    // Reads a file into the page, detecting its kanji code and line end; false with the
    // reason in Error when it cannot be read.
    bool OpenFile(const QString& Path, QString* Error = nullptr);
    // Status panel Index (0-9) and its text.
    QLabel* Panel(int Index) const { return FPanels.at(static_cast<size_t>(Index)); }
    QString PanelText(int Index) const;
    void SetPanelText(int Index, const QString& Text);

private:
    void CreateStatusBar();
    void UpdateTitles(const QString& BaseName);

    void SetUpEditor();
    void ShowCaretPosition();

    QTabWidget* FPageControl = nullptr;
    TEditor* FEditor = nullptr;
    std::array<QLabel*, PanelCount> FPanels{};
};

} // namespace quire
