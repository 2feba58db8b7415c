// The signature pad: records pen strokes in an off-screen black-on-white picture that keeps the
// whole signature, whether or not it is on screen, until the pad object is destroyed.
#pragma once

#include <QImage>
#include <QPoint>
#include <QWidget>
#include <cstdint>

class CSignaturePad : public QWidget {
    Q_OBJECT
public:
    static constexpr uint32_t kInk = 0x000000;
    static constexpr uint32_t kPaper = 0xFFFFFF;
    static constexpr int kPenWidth = 2;

    explicit CSignaturePad(QWidget* parent = nullptr);

    // Creates a white picture of the pad's current size, dropping any earlier one.
    void InitSurface();
    // Whitens the picture and shows it.
    void Clear();
    // kInk where the picture is pure black; kPaper anywhere else, outside the picture included.
    uint32_t GetPixel(int x, int y) const;

    const QImage& Surface() const { return m_surface; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void strokeTo(const QPoint& to);

    QImage m_surface;
    QPoint m_penPos;
    bool m_drawing = false;
};
