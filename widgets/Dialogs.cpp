// The dialog and message services of the application.
#include "Dialogs.h"

#include "FontChooser.h"
#include "Messages.h"
#include "PlatformError.h"

#include <QApplication>
#include <QColorDialog>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QUrl>

namespace quire {

namespace {

class QtDialogs : public TDialogService {
public:
    QString OpenFileName(QWidget* Parent, const QString& Filter) override {
        return QFileDialog::getOpenFileName(Parent, QString(), QString(), QtFilter(Filter), nullptr,
                                            QFileDialog::ReadOnly);
    }
    QString SaveFileName(QWidget* Parent, const QString& Filter, const QString& Current) override {
        QFileDialog d(Parent, QString(), Current, QtFilter(Filter));
        d.setAcceptMode(QFileDialog::AcceptSave);
        d.setDefaultSuffix(QStringLiteral("txt"));
        if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return QString();
        return d.selectedFiles().first();
    }
    bool ChooseFont(QWidget* Parent, QFont& Font) override {
        TFontChooser chooser(Font, Parent);
        if (chooser.exec() != QDialog::Accepted) return false;
        Font = chooser.SelectedFont();
        return true;
    }
    QString PrintFileName(QWidget* Parent, const QString& Suggested) override {
        QFileDialog d(Parent, QString(), Suggested, QtFilter(QStringLiteral("PDFファイル(*.pdf)|*.pdf")));
        d.setAcceptMode(QFileDialog::AcceptSave);
        d.setDefaultSuffix(QStringLiteral("pdf"));
        if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return QString();
        return d.selectedFiles().first();
    }
    bool PrinterSetup(QWidget* Parent, QPrinter& Printer) override {
        // A PDF file printer has only paper and orientation to set; a real printer is chosen
        // in the print dialog, whose paper and orientation settings go with it.
        if (Printer.outputFormat() == QPrinter::PdfFormat) {
            QPageSetupDialog d(&Printer, Parent);
            return d.exec() == QDialog::Accepted;
        }
        QPrintDialog d(&Printer, Parent);
        d.setOption(QAbstractPrintDialog::PrintToFile, false);
        d.setOption(QAbstractPrintDialog::PrintPageRange, false);
        d.setOption(QAbstractPrintDialog::PrintCollateCopies, false);
        return d.exec() == QDialog::Accepted;
    }
    bool ChooseColor(QWidget* Parent, QColor& Color) override {
        const QColor chosen = QColorDialog::getColor(Color, Parent);
        if (!chosen.isValid()) return false;
        Color = chosen;
        return true;
    }
    QString ChooseFolder(QWidget* Parent, const QString& Folder) override {
        return QFileDialog::getExistingDirectory(Parent, QString(), Folder);
    }
};

QtDialogs gQtDialogs;
TDialogService* gDialogs = nullptr;

class MessageBoxes : public TMessageService {
public:
    void Show(const QString& Caption, const QString& Text, TMessageIcon Icon) override {
        QMessageBox box(icon(Icon), Caption, Text, QMessageBox::Ok, QApplication::activeWindow());
        box.exec();
    }
    int Ask(const QString& Caption, const QString& Text, int Buttons, int DefaultButton, TMessageIcon Icon) override {
        QMessageBox box(icon(Icon), Caption, Text, QMessageBox::NoButton, QApplication::activeWindow());
        PrepareQuestionBox(box, Buttons, DefaultButton);
        return AnswerOf(box.exec(), Buttons);
    }

private:
    static QMessageBox::Icon icon(TMessageIcon i) {
        switch (i) {
        case TMessageIcon::Information: return QMessageBox::Information;
        case TMessageIcon::Warning: return QMessageBox::Warning;
        case TMessageIcon::Error: return QMessageBox::Critical;
        case TMessageIcon::Question: return QMessageBox::Question;
        default: return QMessageBox::NoIcon;
        }
    }
};

} // namespace

int TDialogService::Exec(QDialog& Dialog) { return Dialog.exec(); }

bool TDialogService::OpenUrl(const QUrl& Target) { return QDesktopServices::openUrl(Target); }

bool ReportPlatformError(const std::function<void()>& Work) {
    try {
        Work();
        return true;
    } catch (const EPlatformError& e) {
        Messages().Show(QStringLiteral("Quire"), QString::fromUtf8(e.what()), TMessageIcon::Error);
        return false;
    }
}

namespace {
constexpr std::pair<int, QMessageBox::StandardButton> kButtons[] = {
    {mbYes, QMessageBox::Yes}, {mbNo, QMessageBox::No}, {mbOK, QMessageBox::Ok}, {mbCancel, QMessageBox::Cancel}};
}

void PrepareQuestionBox(QMessageBox& Box, int Buttons, int DefaultButton) {
    for (const auto& [ours, qt] : kButtons)
        if (Buttons & ours) Box.addButton(qt);
    for (const auto& [ours, qt] : kButtons) {
        if (ours == DefaultButton) Box.setDefaultButton(qt);
        if (ours == EscapeButton(Buttons)) Box.setEscapeButton(qt);
    }
}

int AnswerOf(int Result, int Buttons) {
    for (const auto& [ours, qt] : kButtons)
        if (Result == qt && (Buttons & ours)) return ours;
    return EscapeButton(Buttons); // closed some other way
}

TDialogService& Dialogs() { return gDialogs ? *gDialogs : gQtDialogs; }

TDialogService* SetDialogs(TDialogService* Service) {
    TDialogService* old = gDialogs;
    gDialogs = Service;
    return old;
}

QString QtFilter(const QString& Filter) {
    // "htmlファイル(*.htm,*.html)|*.htm;*.html" becomes "htmlファイル (*.htm *.html)": the
    // caption's own list goes, Qt shows the patterns once. "*.*" means every file, also those
    // without a dot, as it does for the user.
    const QStringList parts = Filter.split(QLatin1Char('|'));
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString caption = parts[i];
        const qsizetype paren = caption.lastIndexOf(QLatin1Char('('));
        if (paren > 0 && caption.endsWith(QLatin1Char(')'))) caption.truncate(paren);
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& p : patterns)
            if (p == QStringLiteral("*.*")) p = QStringLiteral("*");
        out << caption.trimmed() + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return out.join(QStringLiteral(";;"));
}

void InstallMessageBoxes() {
    static MessageBoxes boxes;
    SetMessages(&boxes);
}

} // namespace quire
