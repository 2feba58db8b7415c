// Heatmap bands: any thread takes the next band and makes its piece; the calling thread also
// writes the pieces out in order as they come, so a finished band waits only for those above it.
#include "HeatmapTiles.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <system_error>
#include <thread>

#include "analysis/SiteReadings.h"
#include "files/SitePicture.h"

namespace {

struct RowBand {
    int y0;
    int rows;
    bool plan; // plan rows; otherwise legend rows
};

std::vector<RowBand> rowBands(int planHeight, int height, int bandRows) {
    std::vector<RowBand> bands;
    for (int y = 0; y < height;) {
        const int end = std::min(y < planHeight ? planHeight : height, y + bandRows);
        bands.push_back({y, end - y, y < planHeight});
        y = end;
    }
    return bands;
}

// One thread's buffers, kept from band to band.
class CBandWorker {
public:
    CBandWorker(const HeatmapJob& job, const CHeatmapPicture& picture)
        : m_job(job), m_picture(picture), m_encoder(picture.Width()),
          m_pixels(static_cast<size_t>(picture.Width()) *
                   static_cast<size_t>(job.bandRows + 2 * picture.Margin())) {
        m_options = job.field;
        m_options.threads = 1; // the bands are what the threads share
    }

    bool Make(const RowBand& band, bool last, PngPiece& out) {
        const int width = m_picture.Width();
        QImage canvas(reinterpret_cast<uchar*>(m_pixels.data()), width,
                      band.rows + 2 * m_picture.Margin(),
                      width * static_cast<int>(sizeof(uint32_t)), QImage::Format_RGB32);
        const uint32_t* first = m_pixels.data() + static_cast<size_t>(width) * m_picture.Margin();
        if (!band.plan) {
            first = m_picture.LegendRows(band.y0);
        } else if (!PlanRows(band, canvas)) {
            return false;
        }
        return m_encoder.Encode(first, band.rows, static_cast<size_t>(width), last, out);
    }

private:
    bool PlanRows(const RowBand& band, QImage& canvas) {
        // A contour mark depends on the rows above and below: compute one more each way.
        const int margin = m_job.contours.empty() ? 0 : 1;
        const int top = std::max(0, band.y0 - margin);
        const int bottom = std::min(m_job.plan.height, band.y0 + band.rows + margin);
        const FieldRect rect{0, top, m_job.plan.width, bottom - top};
        if (!ComputeCoverageRect(m_job.spots, rect, m_options, m_values)) {
            return false;
        }
        BandsOfField(m_values, m_job.bands, m_bands);
        const size_t skip = static_cast<size_t>(band.y0 - top) * m_job.plan.width;
        const uint8_t* marks = nullptr;
        if (margin != 0) {
            ContoursOfField(m_values, rect.width, rect.height, m_job.contours, m_marks);
            marks = m_marks.data() + skip;
        }
        m_picture.PaintPlanRows(band.y0, band.rows, m_bands.data() + skip, marks, canvas);
        return true;
    }

    const HeatmapJob& m_job;
    const CHeatmapPicture& m_picture;
    FieldOptions m_options;
    CPngBandEncoder m_encoder;
    std::vector<uint32_t> m_pixels;
    CoverageValues m_values;
    std::vector<uint8_t> m_bands;
    std::vector<uint8_t> m_marks;
};

// The bands in flight: taken by any thread, their pieces handed back in order.
class CBandQueue {
public:
    explicit CBandQueue(std::vector<RowBand> bands)
        : m_bands(std::move(bands)), m_pieces(m_bands.size()), m_ready(m_bands.size(), false) {}

    size_t Count() const { return m_bands.size(); }

    // Makes bands until none is left or one fails; after each, calls afterBand (may be empty).
    void Work(CBandWorker& worker, const std::function<void()>& afterBand = {}) {
        for (size_t b = m_next++; b < m_bands.size() && !m_failed; b = m_next++) {
            PngPiece piece;
            const bool made = worker.Make(m_bands[b], b + 1 == m_bands.size(), piece);
            {
                const std::lock_guard<std::mutex> lock(m_mutex);
                m_failed = m_failed || !made;
                m_pieces[b] = std::move(piece);
                m_ready[b] = true;
                m_changed.notify_all();
            }
            if (afterBand) {
                afterBand();
            }
        }
    }

    // Band b's piece once it is made (at once, or false, unless wait); false when a band failed.
    bool Take(size_t b, bool wait, PngPiece& piece) {
        std::unique_lock<std::mutex> lock(m_mutex);
        if (wait) {
            m_changed.wait(lock, [&] { return m_ready[b] || m_failed; });
        }
        if (m_failed || !m_ready[b]) {
            return false;
        }
        piece = std::move(m_pieces[b]);
        return true;
    }

    bool Failed() const { return m_failed; }

    // Stops every thread after the band it is making.
    void Fail() {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_failed = true;
        m_changed.notify_all();
    }

private:
    const std::vector<RowBand> m_bands;
    std::atomic<size_t> m_next{0};
    std::atomic<bool> m_failed{false};
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<PngPiece> m_pieces;
    std::vector<bool> m_ready;
};

} // namespace

bool FieldShowsNoSignal(const HeatmapJob& job) {
    const double r = std::ceil(job.field.radius);
    FieldOptions one = job.field;
    one.threads = 1;
    CoverageValues values;
    const auto anyNoSignal = [&](const FieldRect& rect) {
        return ComputeCoverageRect(job.spots, rect, one, values) &&
               std::any_of(values.begin(), values.end(), [](float v) { return IsNoSignal(v); });
    };
    for (const SpotValue& s : job.spots) {
        if (!IsNoSignal(s.dbm)) {
            continue;
        }
        const bool onPlan = s.x >= 0 && s.y >= 0 && s.x < job.plan.width && s.y < job.plan.height;
        // The spot's own pixel is nothing received unless another spot shares its place.
        if (onPlan && anyNoSignal({s.x, s.y, 1, 1})) {
            return true;
        }
        // The pixels the spot reaches, on the plan; in doubles, as a radius from far-flung
        // spots may pass any int.
        const int x0 = static_cast<int>(std::max(0.0, s.x - r));
        const int y0 = static_cast<int>(std::max(0.0, s.y - r));
        const int x1 = static_cast<int>(std::min<double>(job.plan.width, s.x + r + 1));
        const int y1 = static_cast<int>(std::min<double>(job.plan.height, s.y + r + 1));
        if (x1 > x0 && y1 > y0 && anyNoSignal({x0, y0, x1 - x0, y1 - y0})) {
            return true;
        }
    }
    return false;
}

bool WriteHeatmapPng(const HeatmapJob& job, const CHeatmapPicture& picture, const PngSink& sink,
                     const FieldProgressFn& progress) {
    if (job.bandRows <= 0) {
        return false;
    }
    CBandQueue queue(rowBands(job.plan.height, picture.Height(), job.bandRows));
    unsigned threads =
        job.field.threads != 0 ? job.field.threads : std::thread::hardware_concurrency();
    threads = static_cast<unsigned>(std::clamp<size_t>(threads, 1, queue.Count()));
    std::vector<std::thread> helpers;
    for (unsigned i = 1; i < threads; ++i) {
        try {
            helpers.emplace_back([&] {
                CBandWorker worker(job, picture);
                queue.Work(worker);
            });
        } catch (const std::system_error&) {
            break; // a thread the system will not start: the bands wait for the others
        }
    }
    // This thread makes bands too, and writes the pieces in order as they come.
    CPngWriter writer(sink);
    bool ok = writer.Begin(picture.Width(), picture.Height());
    size_t written = 0;
    const auto write = [&](bool wait) {
        PngPiece piece;
        while (ok && written < queue.Count() && queue.Take(written, wait, piece)) {
            ok = writer.Add(piece);
            if (!ok) {
                queue.Fail();
            }
            ++written;
            if (progress) {
                progress(static_cast<double>(written) / static_cast<double>(queue.Count()));
            }
        }
    };
    if (ok) {
        CBandWorker worker(job, picture);
        queue.Work(worker, [&] { write(false); });
        write(true);
    }
    ok = ok && !queue.Failed() && written == queue.Count();
    if (!ok) {
        queue.Fail();
    }
    for (std::thread& t : helpers) {
        t.join();
    }
    return ok && writer.Finish();
}
