// The preview window.
#include "strppfm.h"
#include "ObjectName.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPrinter>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace quire {

namespace {

int scaled(double v) { return static_cast<int>(std::lround(v)); }

} // namespace

TFormStrPreview::TFormStrPreview(std::unique_ptr<TMetaFileList> Pages, const TUnprintable& Offsets,
                                 double ScreenToPrinter, QWidget* Parent)
    : QDialog(Parent), FPages(std::move(Pages)), FOffsets(Offsets), FScreenToPrinter(ScreenToPrinter) {
    if (!FPages) FPages = std::make_unique<TMetaFileList>();
    setObjectName(QStringLiteral("FormStrPreview"));
    setWindowTitle(QStringLiteral("Preview"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    createToolBar();
    ScrollBox1 = Named(new QScrollArea(this), "ScrollBox1");
    ScrollBox1->setAlignment(Qt::AlignCenter);
    ScrollBox1->setBackgroundRole(QPalette::Dark);
    Image1 = Named(new QLabel, "Image1");
    ScrollBox1->setWidget(Image1);
    layout->addWidget(ScrollBox1, 1);
    GoToPage(0);
}

QToolButton* TFormStrPreview::button(const QString& Name, const QString& Text, const QIcon& Icon) {
    auto* b = new QToolButton(this);
    b->setObjectName(Name);
    b->setText(Text);
    if (!Icon.isNull()) {
        b->setIcon(Icon);
        b->setToolTip(Text);
        b->setToolButtonStyle(Qt::ToolButtonIconOnly);
    }
    return b;
}

void TFormStrPreview::createToolBar() {
    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(4, 4, 4, 4);
    QStyle* s = style();
    Label1 = Named(new QLabel(this), "Label1");
    Label1->setFont(QFont(QStringLiteral("monospace")));
    FirstButton = button(QStringLiteral("FirstButton"), QStringLiteral("最初のページ"),
                         s->standardIcon(QStyle::SP_MediaSkipBackward));
    PriorButton = button(QStringLiteral("PriorButton"), QStringLiteral("前のページ"),
                         s->standardIcon(QStyle::SP_MediaSeekBackward));
    NextButton = button(QStringLiteral("NextButton"), QStringLiteral("次のページ"),
                        s->standardIcon(QStyle::SP_MediaSeekForward));
    LastButton = button(QStringLiteral("LastButton"), QStringLiteral("最後のページ"),
                        s->standardIcon(QStyle::SP_MediaSkipForward));
    FitHeightButton = button(QStringLiteral("FitHeightButton"), QStringLiteral("高さを基準"), QIcon());
    FitWidthButton = button(QStringLiteral("FitWidthButton"), QStringLiteral("幅を基準"), QIcon());
    ActualButton = button(QStringLiteral("ActualButton"), QStringLiteral("100%"), QIcon());
    CloseButton = button(QStringLiteral("CloseButton"), QStringLiteral("閉じる"), QIcon());
    for (QWidget* w : std::initializer_list<QWidget*>{Label1, FirstButton, PriorButton, NextButton, LastButton,
                                                      FitHeightButton, FitWidthButton, ActualButton, CloseButton})
        bar->addWidget(w);
    bar->addStretch(1);
    static_cast<QVBoxLayout*>(layout())->addLayout(bar);
    connect(FirstButton, &QToolButton::clicked, this, [this] { GoToPage(0); });
    connect(PriorButton, &QToolButton::clicked, this, [this] { GoToPage(FPage - 1); });
    connect(NextButton, &QToolButton::clicked, this, [this] { GoToPage(FPage + 1); });
    connect(LastButton, &QToolButton::clicked, this, [this] { GoToPage(PageCount() - 1); });
    connect(FitHeightButton, &QToolButton::clicked, this, [this] { SetZoom(TPreviewZoom::FitHeight); });
    connect(FitWidthButton, &QToolButton::clicked, this, [this] { SetZoom(TPreviewZoom::FitWidth); });
    connect(ActualButton, &QToolButton::clicked, this, [this] { SetZoom(TPreviewZoom::Actual); });
    connect(CloseButton, &QToolButton::clicked, this, &QDialog::accept);
}

void TFormStrPreview::GoToPage(int K) {
    FPage = std::clamp(K, 0, std::max(0, PageCount() - 1));
    Label1->setText(QString::asprintf("%3d / %3d", PageCount() > 0 ? FPage + 1 : 0, PageCount()));
    FirstButton->setEnabled(FPage > 0);
    PriorButton->setEnabled(FPage > 0);
    NextButton->setEnabled(FPage < PageCount() - 1);
    LastButton->setEnabled(FPage < PageCount() - 1);
    drawPage();
}

void TFormStrPreview::SetZoom(TPreviewZoom Value) {
    FZoom = Value;
    drawPage();
}

QSize TFormStrPreview::SheetSize() const {
    if (PageCount() == 0) return QSize(0, 0);
    const QPicture& page = FPages->Items(FPage);
    return QSize(page.width() + FOffsets.Left + FOffsets.Right, page.height() + FOffsets.Top + FOffsets.Bottom);
}

QSize TFormStrPreview::ImageSize(TPreviewZoom Zoom, QSize Sheet, double ScreenToPrinter, QSize Box,
                                 int VerticalBarWidth, int HorizontalBarHeight) {
    if (Sheet.width() <= 0 || Sheet.height() <= 0) return QSize(1, 1);
    QSize s;
    switch (Zoom) {
    case TPreviewZoom::Actual:
        s = QSize(scaled(Sheet.width() * ScreenToPrinter), scaled(Sheet.height() * ScreenToPrinter));
        break;
    case TPreviewZoom::FitWidth: {
        const int w = Box.width() - VerticalBarWidth;
        s = QSize(w, scaled(double(Sheet.height()) * w / Sheet.width()));
        break;
    }
    case TPreviewZoom::FitHeight: {
        const int h = Box.height() - HorizontalBarHeight;
        s = QSize(scaled(double(Sheet.width()) * h / Sheet.height()), h);
        break;
    }
    }
    return s.expandedTo(QSize(1, 1));
}

// The sheet cleared to white, and the page's picture stretched into the place the printable
// page takes on it.
void TFormStrPreview::drawPage() {
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const QSize box = ScrollBox1->size() - QSize(2 * ScrollBox1->frameWidth(), 2 * ScrollBox1->frameWidth());
    const QSize sheet = SheetSize();
    const QSize size = ImageSize(FZoom, sheet, FScreenToPrinter, box, bar, bar);
    QImage image(size, QImage::Format_RGB32);
    const int dotsPerMeter = static_cast<int>(std::lround(TMetaFileList::ReplayDpi / 0.0254));
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    image.fill(Qt::white);
    if (PageCount() > 0 && sheet.width() > 0 && sheet.height() > 0) {
        const QPicture& page = FPages->Items(FPage);
        const double sx = double(size.width()) / sheet.width(), sy = double(size.height()) / sheet.height();
        const QRect target(
            QPoint(scaled(FOffsets.Left * sx), scaled(FOffsets.Top * sy)),
            QPoint(scaled((FOffsets.Left + page.width()) * sx), scaled((FOffsets.Top + page.height()) * sy)));
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.translate(target.topLeft());
        if (page.width() > 0 && page.height() > 0)
            painter.scale(double(target.width()) / page.width(), double(target.height()) / page.height());
        painter.drawPicture(0, 0, page);
    }
    Image1->setPixmap(QPixmap::fromImage(image));
    Image1->resize(size);
    ScrollBox1->horizontalScrollBar()->setValue(0);
    ScrollBox1->verticalScrollBar()->setValue(0);
}

void TFormStrPreview::resizeEvent(QResizeEvent* Event) {
    QDialog::resizeEvent(Event);
    if (FZoom != TPreviewZoom::Actual) drawPage();
    ScrollBox1->horizontalScrollBar()->setValue(0);
    ScrollBox1->verticalScrollBar()->setValue(0);
}

void TFormStrPreview::keyPressEvent(QKeyEvent* Event) {
    switch (Event->key()) {
    case Qt::Key_PageDown: GoToPage(FPage + 1); break;
    case Qt::Key_PageUp: GoToPage(FPage - 1); break;
    case Qt::Key_Home: GoToPage(0); break;
    case Qt::Key_End: GoToPage(PageCount() - 1); break;
    default: QDialog::keyPressEvent(Event); return;
    }
}

void ShowPreview(std::unique_ptr<TMetaFileList> Pages, const TUnprintable& Offsets, double PrinterDpi,
                 QWidget* Parent) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double screenDpi = screen ? screen->logicalDotsPerInchX() : 96.0;
    TFormStrPreview preview(std::move(Pages), Offsets, screenDpi / PrinterDpi, Parent);
    QWidget* main = Parent ? Parent->window() : nullptr;
    while (main && main->parentWidget()) main = main->parentWidget()->window();
    if (main)
        preview.setGeometry(main->geometry());
    else
        preview.resize(800, 600);
    preview.GoToPage(0);
    preview.SetZoom(TPreviewZoom::Actual);
    preview.exec();
}

} // namespace quire
