// The pages after the first: headings, paragraphs, tables and label-value lists flowed down the
// pages, a table's header repeated on each page it reaches. Run once to count the pages and
// once to draw them, with the same calls.
#pragma once

#include <QColor>
#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

#include "ReportCanvas.h"

namespace lks {

struct ReportColumn {
    QString title;
    double widthMm = 0.0; // 0: whatever is left of the width (shared by all such columns)
    bool alignRight = false;
    bool wrap = false; // long text breaks into lines rather than being cut
};

struct ReportRow {
    QStringList cells;
    std::vector<std::pair<int, QColor>> coloured; // cells drawn bold in colour, such as results
    bool spanning = false; // one bold text across the table: the heading of a group of rows
};

class CReportFlow {
public:
    // pages: the total, for the footers; 0 while counting.
    CReportFlow(const CReportCanvas& canvas, QString footer, int firstPage, int pages);

    // keepMm: room to keep under the heading on its page (at least a few lines).
    void Heading(const QString& text, double keepMm = 0.0);
    void Paragraph(const QString& text, const QColor& colour = Qt::black);
    void Table(const std::vector<ReportColumn>& columns, const std::vector<ReportRow>& rows);
    void LabelValues(const std::vector<std::pair<QString, QString>>& lines, double labelMm);
    double LabelValuesHeight(const std::vector<std::pair<QString, QString>>& lines,
                             double labelMm) const;
    void Gap(double mm);
    // Starts a new page unless heightMm still fits on this one.
    void Need(double heightMm);
    double Y() const { return m_y; }
    // Draws the last page's footer; returns the number of that page.
    int Finish();

private:
    void NewPage();
    std::vector<double> Widths(const std::vector<ReportColumn>& columns) const;
    double RowHeight(const std::vector<ReportColumn>& columns, const std::vector<double>& widths,
                     const ReportRow& row) const;
    void TableHeader(const std::vector<ReportColumn>& columns, const std::vector<double>& widths);

    const CReportCanvas& m_canvas;
    QString m_footer;
    int m_page;
    int m_pages;
    double m_y;
};

} // namespace lks
