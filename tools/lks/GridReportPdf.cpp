// Report rendering in two passes: the first only measures, to learn the page count that every
// footer prints; the second draws.
#include "GridReportPdf.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QUuid>

#include "ReportFirstPage.h"
#include "ReportTables.h"

namespace lks {

namespace {
constexpr int kResolutionDpi = 600;
} // namespace

bool RenderGridReportPdf(const GridReport& report, QByteArray& pdf) {
    pdf.clear();
    QBuffer buffer(&pdf);
    if (!buffer.open(QIODevice::WriteOnly)) {
        return false;
    }
    QPdfWriter writer(&buffer);
    const QPageSize size(report.options.paper == Paper::A4 ? QPageSize::A4 : QPageSize::Letter);
    // The canvas keeps its own margins, so the page's printable area is the whole sheet.
    writer.setPageLayout(QPageLayout(size, QPageLayout::Portrait, QMarginsF()));
    writer.setResolution(kResolutionDpi);
    writer.setTitle(QString::fromStdString(report.options.title));
    writer.setCreator(QStringLiteral("lks gridtest"));
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    // A random document id would make every run's file differ; derive it from the content.
    writer.setDocumentId(QUuid::createUuidV5(QUuid(), QString::fromStdString(report.sha256)));
#endif
    const QSizeF pageMm = size.size(QPageSize::Millimeter);

    const CReportCanvas measure(nullptr, writer, pageMm);
    const int pages = DrawTablePages(measure, report, 2, 0);

    QPainter painter;
    if (!painter.begin(&writer)) {
        return false;
    }
    painter.setRenderHint(QPainter::Antialiasing, true);
    const CReportCanvas canvas(&painter, writer, pageMm);
    DrawFirstPage(canvas, report, pages);
    canvas.NextPage();
    DrawTablePages(canvas, report, 2, pages);
    return painter.end();
}

} // namespace lks
