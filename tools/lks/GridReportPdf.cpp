// Report rendering in two passes: the first only measures, to learn the page count that every
// footer prints and the page each floor starts on; the second draws.
#include "GridReportPdf.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QUuid>

#include <vector>

#include "ReportCover.h"
#include "ReportFirstPage.h"
#include "ReportTables.h"

namespace lks {

namespace {

constexpr int kResolutionDpi = 600;

// Every page after the cover: each floor's first page and its tables. Returns the last page;
// floorPages receives where each floor starts.
int drawFloors(const CReportCanvas& canvas, const BuildingReport& report, int afterPage, int pages,
               std::vector<int>& floorPages) {
    int page = afterPage;
    floorPages.clear();
    for (size_t i = 0; i < report.floors.size(); ++i) {
        const FloorReport& floor = report.floors[i];
        if (page > 0) {
            canvas.NextPage();
        }
        floorPages.push_back(++page);
        if (canvas.Drawing()) {
            DrawFloorPage(canvas, report, floor, page, pages);
        }
        canvas.NextPage();
        page =
            DrawTablePages(canvas, report, floor, i + 1 == report.floors.size(), page + 1, pages);
    }
    return page;
}

} // namespace

bool RenderGridReportPdf(const BuildingReport& report, QByteArray& pdf) {
    pdf.clear();
    QBuffer buffer(&pdf);
    if (!buffer.open(QIODevice::WriteOnly)) {
        return false;
    }
    const GridtestPlan& plan = *report.plan;
    QPdfWriter writer(&buffer);
    const QPageSize size(plan.paper == Paper::A4 ? QPageSize::A4 : QPageSize::Letter);
    // The canvas keeps its own margins, so the page's printable area is the whole sheet.
    writer.setPageLayout(QPageLayout(size, QPageLayout::Portrait, QMarginsF()));
    writer.setResolution(kResolutionDpi);
    writer.setTitle(QString::fromStdString(plan.title));
    writer.setCreator(QStringLiteral("lks gridtest"));
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    // A random document id would make every run's file differ; derive it from the content.
    std::string hashes;
    for (const FloorReport& f : report.floors) {
        hashes += f.summary.sha256;
    }
    writer.setDocumentId(QUuid::createUuidV5(QUuid(), QString::fromStdString(hashes)));
#endif
    const QSizeF pageMm = size.size(QPageSize::Millimeter);

    const CReportCanvas measure(nullptr, writer, pageMm);
    std::vector<int> floorPages;
    const int coverPages = plan.building ? DrawCover(measure, report, {}, 0) : 0;
    const int pages = drawFloors(measure, report, coverPages, 0, floorPages);

    QPainter painter;
    if (!painter.begin(&writer)) {
        return false;
    }
    painter.setRenderHint(QPainter::Antialiasing, true);
    const CReportCanvas canvas(&painter, writer, pageMm);
    if (plan.building) {
        DrawCover(canvas, report, floorPages, pages);
    }
    std::vector<int> drawn;
    drawFloors(canvas, report, coverPages, pages, drawn);
    return painter.end();
}

} // namespace lks
