// A child window that paints its whole area in one colour: one patch of the colour legend.
#pragma once

#include <QWidget>
#include <cstdint>

class CColorSwatch : public QWidget {
    Q_OBJECT
public:
    explicit CColorSwatch(QWidget* parent = nullptr);

    // colour is 0x00BBGGRR. Stores it only; the owner sets it before the swatch is shown.
    void SetColor(uint32_t color) { m_color = color; }
    uint32_t Color() const { return m_color; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    uint32_t m_color = 0;
};
