// PNG bands with zlib at its fastest level. A map is mostly flat colour over line art: the "up"
// filter turns every row that repeats the one above into zeros, which level 1 deflates almost
// for free, and costs no more than copying. A band's first row has no row above it within the
// band and uses "sub", which keeps the bands independent of each other.
#include "PngStripes.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr int kLevel = 1;
constexpr int kRawDeflate = -15; // a 32 KiB window, no zlib header: the pieces are joined
constexpr int kMemLevel = 8;
constexpr uint8_t kFilterSub = 1;
constexpr uint8_t kFilterUp = 2;
constexpr int kBytesPerPixel = 3;
// zlib's header for a 32 KiB window at the fastest level, its check bits included.
constexpr uint8_t kZlibHeader[2] = {0x78, 0x01};

void putU32(uint8_t* out, uint32_t value) {
    out[0] = static_cast<uint8_t>(value >> 24);
    out[1] = static_cast<uint8_t>(value >> 16);
    out[2] = static_cast<uint8_t>(value >> 8);
    out[3] = static_cast<uint8_t>(value);
}

} // namespace

CPngBandEncoder::CPngBandEncoder(int width)
    : m_width(width), m_previous(static_cast<size_t>(width) * kBytesPerPixel),
      m_row(m_previous.size()) {
    m_ready = deflateInit2(&m_zip, kLevel, Z_DEFLATED, kRawDeflate, kMemLevel,
                           Z_DEFAULT_STRATEGY) == Z_OK;
}

CPngBandEncoder::~CPngBandEncoder() {
    if (m_ready) {
        deflateEnd(&m_zip);
    }
}

bool CPngBandEncoder::Encode(const uint32_t* pixels, int rows, size_t stride, bool last,
                             PngPiece& out) {
    if (!m_ready || rows <= 0 || deflateReset(&m_zip) != Z_OK) {
        return false;
    }
    const size_t rowBytes = m_row.size();
    m_filtered.resize((rowBytes + 1) * static_cast<size_t>(rows));
    uint8_t* filtered = m_filtered.data();
    for (int r = 0; r < rows; ++r) {
        const uint32_t* in = pixels + stride * static_cast<size_t>(r);
        uint8_t* row = m_row.data();
        for (int x = 0; x < m_width; ++x) {
            row[3 * x] = static_cast<uint8_t>(in[x] >> 16);
            row[3 * x + 1] = static_cast<uint8_t>(in[x] >> 8);
            row[3 * x + 2] = static_cast<uint8_t>(in[x]);
        }
        if (r == 0) {
            *filtered++ = kFilterSub;
            std::memcpy(filtered, row, kBytesPerPixel);
            for (size_t i = kBytesPerPixel; i < rowBytes; ++i) {
                filtered[i] = static_cast<uint8_t>(row[i] - row[i - kBytesPerPixel]);
            }
        } else {
            *filtered++ = kFilterUp;
            const uint8_t* above = m_previous.data();
            for (size_t i = 0; i < rowBytes; ++i) {
                filtered[i] = static_cast<uint8_t>(row[i] - above[i]);
            }
        }
        filtered += rowBytes;
        m_previous.swap(m_row);
    }
    out.filteredBytes = m_filtered.size();
    out.adler = static_cast<uint32_t>(adler32(1L, m_filtered.data(), out.filteredBytes));

    // A piece that is not the last ends with a sync flush: on a byte boundary, the next piece's
    // blocks follow it directly.
    m_deflated.resize(deflateBound(&m_zip, out.filteredBytes) + 64);
    m_zip.next_in = m_filtered.data();
    m_zip.avail_in = static_cast<uInt>(out.filteredBytes);
    size_t written = 0;
    const int flush = last ? Z_FINISH : Z_SYNC_FLUSH;
    for (;;) {
        m_zip.next_out = m_deflated.data() + written;
        m_zip.avail_out = static_cast<uInt>(m_deflated.size() - written);
        const int result = deflate(&m_zip, flush);
        written = m_deflated.size() - m_zip.avail_out;
        if (result == Z_STREAM_ERROR) {
            return false;
        }
        const bool done = last ? result == Z_STREAM_END : m_zip.avail_out != 0;
        if (done && m_zip.avail_in == 0) {
            break;
        }
        m_deflated.resize(m_deflated.size() * 2);
    }
    // The piece waits for its turn to be written: it holds no more than its bytes.
    out.deflated.assign(m_deflated.begin(), m_deflated.begin() + static_cast<ptrdiff_t>(written));
    return true;
}

bool CPngWriter::Begin(int width, int height) {
    uint8_t header[13] = {};
    putU32(header, static_cast<uint32_t>(width));
    putU32(header + 4, static_cast<uint32_t>(height));
    header[8] = 8; // bits per channel
    header[9] = 2; // colour type: RGB
    // compression 0 (deflate), filter method 0 (adaptive), interlace 0 (none)
    m_data.assign(kZlibHeader, kZlibHeader + sizeof kZlibHeader);
    m_adler = 1;
    return m_sink(kSignature, sizeof kSignature) && Chunk("IHDR", header, sizeof header);
}

bool CPngWriter::Add(const PngPiece& piece) {
    // The piece before this one goes out now; the last waits for the checksum.
    const bool ok = m_data.size() <= sizeof kZlibHeader || Flush();
    m_adler = static_cast<uint32_t>(
        adler32_combine(m_adler, piece.adler, static_cast<z_off_t>(piece.filteredBytes)));
    m_data.insert(m_data.end(), piece.deflated.begin(), piece.deflated.end());
    return ok;
}

bool CPngWriter::Finish() {
    uint8_t check[4];
    putU32(check, m_adler);
    m_data.insert(m_data.end(), check, check + sizeof check);
    return Flush() && Chunk("IEND", nullptr, 0);
}

bool CPngWriter::Flush() {
    const bool ok = Chunk("IDAT", m_data.data(), m_data.size());
    m_data.clear();
    return ok;
}

bool CPngWriter::Chunk(const char type[4], const uint8_t* data, size_t size) {
    uint8_t head[8];
    putU32(head, static_cast<uint32_t>(size));
    std::memcpy(head + 4, type, 4);
    uLong crc = crc32(0L, head + 4, 4);
    if (size > 0) {
        crc = crc32(crc, data, static_cast<uInt>(size));
    }
    uint8_t tail[4];
    putU32(tail, static_cast<uint32_t>(crc));
    return m_sink(head, sizeof head) && (size == 0 || m_sink(data, size)) &&
           m_sink(tail, sizeof tail);
}
