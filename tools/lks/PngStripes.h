// A PNG written a band of rows at a time. Each band is filtered and deflated on its own, with
// zlib, into a piece of one zlib stream that ends on a byte boundary, so that bands can be
// compressed on any thread in any order; the pieces are then written in order, with the stream's
// checksum made from theirs. The bytes depend only on the pixels and the bands' heights, never on
// the threads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include <zlib.h>

// A band of rows filtered and deflated.
struct PngPiece {
    std::vector<uint8_t> deflated;
    uint32_t adler = 1; // Adler-32 of the filtered rows
    size_t filteredBytes = 0;
};

// Compresses bands of 8-bit RGB rows; one per thread.
class CPngBandEncoder {
public:
    explicit CPngBandEncoder(int width);
    ~CPngBandEncoder();
    CPngBandEncoder(const CPngBandEncoder&) = delete;
    CPngBandEncoder& operator=(const CPngBandEncoder&) = delete;

    // rows of width pixels 0xAARRGGBB (alpha ignored), stride pixels apart; last: the picture's
    // final band, which ends the stream. False when zlib fails.
    bool Encode(const uint32_t* pixels, int rows, size_t stride, bool last, PngPiece& out);

private:
    int m_width;
    bool m_ready = false;
    z_stream m_zip{};
    std::vector<uint8_t> m_previous; // the band's row above, unfiltered
    std::vector<uint8_t> m_row;      // the current row, unfiltered
    std::vector<uint8_t> m_filtered; // the band's rows, each after its filter type byte
    std::vector<uint8_t> m_deflated;
};

// Receives the file's bytes in order; false stops the writing.
using PngSink = std::function<bool(const uint8_t* data, size_t size)>;

// Writes the PNG around the pieces: signature and header, then each piece in an IDAT chunk of its
// own as soon as the next one comes (the first with the zlib header before it, the last with the
// stream's checksum after it), then the end.
class CPngWriter {
public:
    explicit CPngWriter(PngSink sink) : m_sink(std::move(sink)) {}

    bool Begin(int width, int height);
    bool Add(const PngPiece& piece);
    // Call after the piece of the last band.
    bool Finish();

private:
    bool Flush();
    bool Chunk(const char type[4], const uint8_t* data, size_t size);

    PngSink m_sink;
    uint32_t m_adler = 1;
    std::vector<uint8_t> m_data; // the compressed bytes of the next chunk
};
