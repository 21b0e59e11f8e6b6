#include "book/bookcover.h"

#include <QBuffer>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

namespace pagewick::book {

namespace {

const QString kFontFile = QStringLiteral("/usr/share/fonts/opentype/noto/NotoSerifCJK-Bold.ttc");
const QString kFontFamily = QStringLiteral("Noto Serif CJK SC");

// Qt maps a PNG quality of 80 to zlib level 1.
constexpr int kPngQuality = 80;

const QColor kBackground(0x24, 0x3b, 0x4a);
const QColor kFrame(0xc9, 0xa8, 0x6a);
const QColor kInk(0xf4, 0xee, 0xe1);

// The family to draw in, loaded from the file once per run.
QString CoverFamily()
{
    static const QString family = [] {
        const int id = QFontDatabase::addApplicationFont(kFontFile);
        const QStringList families = id < 0 ? QStringList() : QFontDatabase::applicationFontFamilies(id);
        if (families.contains(kFontFamily))
            return kFontFamily;
        return families.isEmpty() ? QString() : families.first();
    }();
    return family;
}

QFont CoverFont(int pixelSize, bool bold)
{
    QFont font;
    const QString family = CoverFamily();
    if (!family.isEmpty())
        font.setFamilies({family});
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

// Draws `text` wrapped in `box`, in the largest size from `largest` down
// that fits; returns the height it took.
int DrawFitting(QPainter &painter, const QRect &box, const QString &text, int largest, int smallest, bool bold)
{
    const int flags = Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap;
    int size = largest;
    QRect needed;
    for (; size > smallest; size -= size / 10) {
        painter.setFont(CoverFont(size, bold));
        needed = painter.boundingRect(box, flags, text);
        if (needed.width() <= box.width() && needed.height() <= box.height())
            break;
    }
    painter.setFont(CoverFont(size, bold));
    needed = painter.boundingRect(box, flags, text);
    painter.drawText(box, flags, text);
    return std::min(needed.height(), box.height());
}

} // namespace

QByteArray CoverPng(const QString &title, const QString &author)
{
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return QByteArray();

    QImage image(kCoverWidth, kCoverHeight, QImage::Format_RGB32);
    image.fill(kBackground);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    painter.setPen(QPen(kFrame, 10));
    painter.drawRect(80, 80, kCoverWidth - 160, kCoverHeight - 160);
    painter.setPen(QPen(kFrame, 3));
    painter.drawRect(110, 110, kCoverWidth - 220, kCoverHeight - 220);

    painter.setPen(kInk);
    const QRect titleBox(220, 560, kCoverWidth - 440, 1100);
    const int titleHeight = DrawFitting(painter, titleBox, title, 220, 60, true);

    const int ruleY = titleBox.top() + titleHeight + 90;
    painter.setPen(QPen(kFrame, 6));
    painter.drawLine(kCoverWidth / 2 - 200, ruleY, kCoverWidth / 2 + 200, ruleY);

    if (!author.isEmpty()) {
        painter.setPen(kInk);
        DrawFitting(painter, QRect(220, ruleY + 90, kCoverWidth - 440, 300), author, 96, 40, false);
    }
    painter.end();

    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    // Three colours and the edges between them fit a palette; a palette
    // image is written ten times as fast as a true-colour one, and packs
    // smaller at zlib's fastest level.
    image.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither).save(&buffer, "PNG", kPngQuality);
    return png;
}

} // namespace pagewick::book
