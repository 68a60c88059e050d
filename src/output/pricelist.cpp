#include "pricelist.h"

#include "compose/canvas.h"
#include "model/savefile.h"

#include <QBuffer>
#include <QPdfWriter>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

#include <vector>

namespace pw {

namespace {

constexpr int kMeasuredColumns = 1000;
constexpr int kWidthBeyond = 20;

} // namespace

QList<PriceListLine> PriceListLines(const CatalogDocument& doc, const QString& title) {
    std::vector<int> widths(kMeasuredColumns, 0);
    for (const TProduktListe& products : doc.kats()) {
        for (const TProdukt& p : products) {
            for (const TVariante& row : p.varianten) {
                for (int c = 0; c < std::min(row.props.count(), kMeasuredColumns); ++c)
                    widths[std::size_t(c)] = std::max(widths[std::size_t(c)], int(row.props[c].text.size()));
            }
        }
    }
    QList<PriceListLine> lines{{PriceListLine::Kind::Title, title}, {PriceListLine::Kind::Empty, {}}};
    for (const TProduktListe& products : doc.kats()) {
        for (const TProdukt& p : products) {
            lines.append({PriceListLine::Kind::Name, p.name});
            for (const TVariante& row : p.varianten) {
                if (row.props.count() == 0)
                    continue;
                QString text;
                for (int c = 0; c < row.props.count(); ++c) {
                    const int width = c < kMeasuredColumns ? widths[std::size_t(c)] : kWidthBeyond;
                    text += row.props[c].text.leftJustified(width) + QLatin1Char(' ');
                }
                lines.append({PriceListLine::Kind::Row, text});
            }
            lines.append({PriceListLine::Kind::Empty, {}});
        }
    }
    return lines;
}

QString PriceListText(const QList<PriceListLine>& lines) {
    QString out;
    for (const PriceListLine& line : lines)
        out += line.text + QLatin1Char('\n');
    return out;
}

std::unique_ptr<QTextDocument> PriceListDocument(const QList<PriceListLine>& lines) {
    auto document = std::make_unique<QTextDocument>();
    QFont font(MapFaceName(QStringLiteral("Courier New")));
    font.setStyleHint(QFont::TypeWriter);
    font.setPointSize(10);
    document->setDefaultFont(font);
    QTextCursor cursor(document.get());
    bool first = true;
    for (const PriceListLine& line : lines) {
        if (!first)
            cursor.insertBlock();
        first = false;
        QTextCharFormat format;
        format.setFontFamilies({font.family()});
        format.setForeground(Qt::black);
        format.setFontPointSize(line.kind == PriceListLine::Kind::Title ? 14 : 10);
        format.setFontWeight(line.kind == PriceListLine::Kind::Title || line.kind == PriceListLine::Kind::Name
                                 ? QFont::Bold
                                 : QFont::Normal);
        // A row wider than the page wraps rather than losing its last columns.
        cursor.insertText(line.text, format);
    }
    return document;
}

bool PrintPriceList(QTextDocument& document, const QString& file, QSize printerPixels, int printerDpi,
                    const QString& title) {
    // Made in memory and written in one go, so a failed write never replaces the old file.
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&pdf);
        writer.setTitle(title);
        writer.setResolution(printerDpi);
        writer.setPageSize(QPageSize(
            QSizeF(double(printerPixels.width()) / printerDpi, double(printerPixels.height()) / printerDpi),
            QPageSize::Inch));
        writer.setPageMargins(QMarginsF(0.5, 0.5, 0.5, 0.5), QPageLayout::Inch);
        document.print(&writer);
    }
    return !pdf.data().isEmpty() && WriteFileAtomically(file, pdf.data());
}

} // namespace pw
