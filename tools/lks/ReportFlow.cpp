// Report flow: a cursor down the page that breaks to a new page, with its footer, whenever the
// next piece would reach into the footer.
#include "ReportFlow.h"

#include <QPainter>

#include <algorithm>

namespace lks {

namespace {
constexpr double kBodyPt = 8.5;
constexpr double kTablePt = 7.5;
constexpr double kHeadingPt = 12.0;
constexpr double kRowPadMm = 1.2;
constexpr double kCellPadMm = 1.0;
const QColor kHeaderFill(228, 232, 238);
const QColor kStripeFill(245, 246, 248);
const QColor kGridGrey(170, 170, 170);
} // namespace

CReportFlow::CReportFlow(const CReportCanvas& canvas, QString footer, int firstPage, int pages)
    : m_canvas(canvas), m_footer(std::move(footer)), m_page(firstPage), m_pages(pages),
      m_y(canvas.Top()) {}

void CReportFlow::NewPage() {
    m_canvas.Footer(m_footer, m_page, m_pages);
    m_canvas.NextPage();
    ++m_page;
    m_y = m_canvas.Top();
}

void CReportFlow::Need(double heightMm) {
    if (m_y + heightMm > m_canvas.Bottom() && m_y > m_canvas.Top()) {
        NewPage();
    }
}

void CReportFlow::Gap(double mm) {
    m_y += mm;
}

void CReportFlow::Heading(const QString& text, double keepMm) {
    const QFont font = m_canvas.Font(kHeadingPt, true);
    const double height = m_canvas.LineHeight(font);
    // A heading never ends a page: keep room for a few lines under it.
    const double fewLines = 4.0 * m_canvas.LineHeight(m_canvas.Font(kTablePt)) + 2.0;
    Need(height + 1.5 + std::max(keepMm, fewLines));
    m_canvas.Line(m_canvas.Left(), m_y, m_canvas.Width(), text, font);
    m_y += height + 1.5;
}

void CReportFlow::Paragraph(const QString& text, const QColor& colour) {
    const QFont font = m_canvas.Font(kBodyPt);
    const double height = m_canvas.WrappedHeight(text, font, m_canvas.Width());
    Need(height);
    m_canvas.Wrapped(m_canvas.Left(), m_y, m_canvas.Width(), text, font, colour);
    m_y += height + 1.5;
}

void CReportFlow::TableHeader(const std::vector<ReportColumn>& columns,
                              const std::vector<double>& widths) {
    const QFont font = m_canvas.Font(kTablePt, true);
    const double height = m_canvas.LineHeight(font) + kRowPadMm;
    if (m_canvas.Drawing()) {
        m_canvas.Painter().fillRect(m_canvas.Box(m_canvas.Left(), m_y, m_canvas.Width(), height),
                                    kHeaderFill);
    }
    double x = m_canvas.Left();
    for (size_t c = 0; c < columns.size(); ++c) {
        m_canvas.Line(x + kCellPadMm, m_y + kRowPadMm / 2, widths[c] - 2 * kCellPadMm,
                      columns[c].title, font, Qt::black,
                      columns[c].alignRight ? Qt::AlignRight : Qt::AlignLeft);
        x += widths[c];
    }
    m_y += height;
}

std::vector<double> CReportFlow::Widths(const std::vector<ReportColumn>& columns) const {
    double fixed = 0.0;
    size_t open = 0;
    for (const ReportColumn& c : columns) {
        fixed += c.widthMm;
        open += c.widthMm > 0.0 ? 0 : 1;
    }
    std::vector<double> widths;
    for (const ReportColumn& c : columns) {
        widths.push_back(c.widthMm > 0.0
                             ? c.widthMm
                             : (m_canvas.Width() - fixed) / double(std::max<size_t>(open, 1)));
    }
    return widths;
}

double CReportFlow::RowHeight(const std::vector<ReportColumn>& columns,
                              const std::vector<double>& widths, const ReportRow& row) const {
    const QFont font = m_canvas.Font(kTablePt);
    double height = m_canvas.LineHeight(font);
    for (size_t c = 0; c < columns.size() && c < size_t(row.cells.size()); ++c) {
        if (columns[c].wrap && !row.spanning) {
            height = std::max(height, m_canvas.WrappedHeight(row.cells[int(c)], font,
                                                             widths[c] - 2 * kCellPadMm));
        }
    }
    return height + kRowPadMm;
}

void CReportFlow::Table(const std::vector<ReportColumn>& columns,
                        const std::vector<ReportRow>& rows) {
    const std::vector<double> widths = Widths(columns);
    const QFont font = m_canvas.Font(kTablePt);
    const QFont bold = m_canvas.Font(kTablePt, true);
    const double lineHeight = m_canvas.LineHeight(font) + kRowPadMm;
    // The header never ends a page: it stays with the first row (and a group heading with its
    // first row).
    double first = lineHeight;
    for (size_t r = 0; r < rows.size() && r < 2; ++r) {
        first += RowHeight(columns, widths, rows[r]);
        if (!rows[r].spanning) {
            break;
        }
    }
    Need(first);
    TableHeader(columns, widths);
    for (size_t r = 0; r < rows.size(); ++r) {
        const ReportRow& row = rows[r];
        const double rowHeight = RowHeight(columns, widths, row);
        // A group heading keeps its first row with it.
        const double keep = row.spanning ? rowHeight + lineHeight : rowHeight;
        if (m_y + keep > m_canvas.Bottom()) {
            NewPage();
            TableHeader(columns, widths);
        }
        if (m_canvas.Drawing() && (row.spanning || r % 2 == 1)) {
            m_canvas.Painter().fillRect(
                m_canvas.Box(m_canvas.Left(), m_y, m_canvas.Width(), rowHeight),
                row.spanning ? kHeaderFill : kStripeFill);
        }
        if (row.spanning) {
            m_canvas.Line(m_canvas.Left() + kCellPadMm, m_y + kRowPadMm / 2,
                          m_canvas.Width() - 2 * kCellPadMm, row.cells.value(0), bold);
            m_y += rowHeight;
            continue;
        }
        double x = m_canvas.Left();
        for (size_t c = 0; c < columns.size() && c < size_t(row.cells.size()); ++c) {
            QColor colour(Qt::black);
            bool coloured = false;
            for (const auto& [cell, paint] : row.coloured) {
                if (cell == int(c)) {
                    colour = paint;
                    coloured = true;
                }
            }
            const double width = widths[c] - 2 * kCellPadMm;
            if (columns[c].wrap) {
                m_canvas.Wrapped(x + kCellPadMm, m_y + kRowPadMm / 2, width, row.cells[int(c)],
                                 coloured ? bold : font, colour);
            } else {
                m_canvas.Line(x + kCellPadMm, m_y + kRowPadMm / 2, width, row.cells[int(c)],
                              coloured ? bold : font, colour,
                              columns[c].alignRight ? Qt::AlignRight : Qt::AlignLeft);
            }
            x += widths[c];
        }
        m_y += rowHeight;
    }
    if (m_canvas.Drawing()) {
        m_canvas.Painter().setPen(QPen(kGridGrey, m_canvas.Dots(0.2)));
        m_canvas.Painter().drawLine(QPointF(m_canvas.Dots(m_canvas.Left()), m_canvas.Dots(m_y)),
                                    QPointF(m_canvas.Dots(m_canvas.Right()), m_canvas.Dots(m_y)));
    }
    m_y += 3.0;
}

void CReportFlow::LabelValues(const std::vector<std::pair<QString, QString>>& lines,
                              double labelMm) {
    const QFont font = m_canvas.Font(kBodyPt);
    const QFont bold = m_canvas.Font(kBodyPt, true);
    const double valueWidth = m_canvas.Width() - labelMm;
    for (const auto& [label, value] : lines) {
        const double height = std::max(m_canvas.WrappedHeight(value, font, valueWidth),
                                       m_canvas.WrappedHeight(label, bold, labelMm - 2.0));
        Need(height);
        m_canvas.Wrapped(m_canvas.Left(), m_y, labelMm - 2.0, label, bold);
        m_canvas.Wrapped(m_canvas.Left() + labelMm, m_y, valueWidth, value, font);
        m_y += height + 0.6;
    }
    m_y += 2.0;
}

double CReportFlow::LabelValuesHeight(const std::vector<std::pair<QString, QString>>& lines,
                                      double labelMm) const {
    const QFont font = m_canvas.Font(kBodyPt);
    const QFont bold = m_canvas.Font(kBodyPt, true);
    double height = 2.0;
    for (const auto& line : lines) {
        height += std::max(m_canvas.WrappedHeight(line.second, font, m_canvas.Width() - labelMm),
                           m_canvas.WrappedHeight(line.first, bold, labelMm - 2.0)) +
                  0.6;
    }
    return height;
}

int CReportFlow::Finish() {
    m_canvas.Footer(m_footer, m_page, m_pages);
    return m_page;
}

} // namespace lks
