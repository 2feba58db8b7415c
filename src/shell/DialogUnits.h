// Converts dialog-template units into pixels from the metrics of the dialog font, so dialog
// layouts keep their proportions whatever font size the screen needs.
#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

class QWidget;

class CDialogUnits {
public:
    // baseX: average character width in pixels; baseY: character height in pixels.
    CDialogUnits(int baseX, int baseY);

    // Base units of the given font: the average width of the 52 Latin letters (rounded as
    // dialog templates expect) and the font's line height.
    static CDialogUnits FromFont(const QFont& font);
    // The font every dialog of the program uses, and therefore the one its units come from.
    static QFont DialogFont();

    int BaseX() const { return m_nBaseX; }
    int BaseY() const { return m_nBaseY; }

    // A horizontal unit is a quarter of the average character width, a vertical one an eighth
    // of the character height; results are rounded to the nearest pixel.
    int ToPixelsX(int units) const;
    int ToPixelsY(int units) const;
    QSize ToPixels(int width, int height) const;
    QRect ToPixels(int x, int y, int width, int height) const;

    // Places a control at a template position and size.
    void Place(QWidget& control, int x, int y, int width, int height) const;

private:
    int m_nBaseX;
    int m_nBaseY;
};
