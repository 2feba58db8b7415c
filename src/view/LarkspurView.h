// The survey window: it shows the start, map and scan screens (each painted by its own file from
// the values the controller hands the view), owns the map canvas with the survey's circles, and
// navigates the map with zoom, scroll bars, arrow keys and wheel (ViewNavigation.cpp). Taps,
// holds, the centre key and the receiver's progress messages go to the survey controller
// (LarkspurViewInput.cpp). The view knows nothing of the receiver.
#pragma once

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "receiver/Receiver.h"
#include "view/CoverageOverlay.h"
#include "view/MapCanvas.h"
#include "view/MapViewport.h"
#include "view/QtMessageTarget.h"
#include "view/ScreenPainters.h"
#include "view/ViewGeometry.h"

class CSurveyController;
class QMouseEvent;
class QTimerEvent;
class QKeyEvent;
class QPaintEvent;
class QPainter;
class QResizeEvent;
class QWheelEvent;

class CLarkspurView : public QAbstractScrollArea {
    Q_OBJECT

public:
    // Screen modes.
    static constexpr int kStartScreen = 0;
    static constexpr int kMapScreen = 1;
    static constexpr int kScanScreen = 2;

    // Scroll-bar event codes, in the order a scroll bar reports them.
    static constexpr int kScrollLineBack = 0;    // line left / line up
    static constexpr int kScrollLineForward = 1; // line right / line down
    static constexpr int kScrollPageBack = 2;
    static constexpr int kScrollPageForward = 3;
    static constexpr int kScrollThumbPosition = 4; // thumb released
    static constexpr int kScrollThumbTrack = 5;    // thumb being dragged
    static constexpr int kScrollToStart = 6;
    static constexpr int kScrollToEnd = 7;
    static constexpr int kScrollEnd = 8;

    static constexpr int32_t kLineStep = 10; // map units per scroll line and per arrow key
    static constexpr int kWheelLines = 3;    // scroll lines per wheel notch
    static constexpr int kWheelNotch = 120;  // angle delta of one notch, in eighths of a degree
    // The start and scan screens are laid out for the handheld's client; larger clients show
    // that page enlarged and centred.
    static constexpr int kPageWidth = screens::kPageWidth;
    static constexpr int kPageHeight = screens::kPageHeight;
    static constexpr int kPaletteSize = CMapCanvas::kPaletteSize;

    explicit CLarkspurView(QWidget* parent = nullptr);
    ~CLarkspurView() override;

    CLarkspurView(const CLarkspurView&) = delete;
    CLarkspurView& operator=(const CLarkspurView&) = delete;

    // --- Site picture and map canvas ---
    // Builds the map canvas from an 8-bit picture (see CMapCanvas::SetPicture) and resets the
    // view to it; false, with nothing changed, when the picture cannot be used.
    bool SetSitePicture(int32_t width, int32_t height, const uint32_t* palette,
                        const uint8_t* pixels, size_t pixelBytes, int32_t stride, bool bottomUp);
    // Bounds, view and scroll ranges for the current picture, thumbs on the centre.
    void ResetForNewMap();
    int32_t PictureWidth() const { return m_canvas.Width(); }
    int32_t PictureHeight() const { return m_canvas.Height(); }
    bool HasSitePicture() const { return !m_canvas.IsNull(); }
    const QImage& MapCanvas() const { return m_canvas.Image(); }

    // --- Survey circles (painted into the canvas; none requests a repaint) ---
    void ImprintPoint(int32_t x, int32_t y, int16_t rssi);
    // The deleted point at (x, y) leaves the map: its circle goes and the plan shows again.
    void ErasePoint(int32_t x, int32_t y);

    // --- Coverage layer (under the circles, on the map screen) ---
    CCoverageOverlay& Coverage() { return m_coverage; }
    const CCoverageOverlay& Coverage() const { return m_coverage; }
    // Switches the layer on or off (its button and the key C); says so through coverageShown.
    void SetCoverageShown(bool shown);
    // The channels of the table on the board, each a choice of what the layer shows.
    std::vector<ChannelReading> TableChannels() const;

    // --- Screens ---
    int ScreenMode() const { return m_nScreenMode; }
    void SetScreenMode(int mode) { m_nScreenMode = mode; }
    // What the start and scan screens show.
    void SetBoardIdentity(const BoardIdentity& identity) { m_identity = identity; }
    void SetReadings(const std::vector<ChannelReading>& readings) { m_readings = readings; }
    // Invalidates the whole client area; every screen paints every pixel itself.
    void RequestRepaint();
    // Paints the current screen onto any surface whose client rectangle is client.
    void PaintClient(QPainter& painter, const QRect& client);

    // --- Navigation ---
    void OnZoomIn();
    void OnZoomOut();
    void OnHScroll(int code, int thumbPosition);
    void OnVScroll(int code, int thumbPosition);
    // Handles Qt::Key_Left/Up/Right/Down; false for any other key.
    bool OnArrowKey(int key);
    // A wheel turn (angle delta as Qt reports it): three lines a notch from the current centre,
    // sideways when horizontal, with Shift or over the horizontal bar; with Ctrl, one zoom step
    // a notch. Part-notches of smooth wheels add up until they make a whole one.
    void OnWheel(QPoint angleDelta, Qt::KeyboardModifiers modifiers, bool horizontalBar = false);
    // Both scroll thumbs onto the viewport's centre.
    void SyncScrollThumbs();
    // The map point under client point p, without moving anything.
    ViewPoint MapPointAt(const QPoint& p);
    // Map point (x, y) becomes the centre as far as the picture allows; returns the centre.
    ViewPoint CentreOnMap(int32_t x, int32_t y);
    ViewRect ClientRect() const;
    // Widget size that gives a client area of the given size beside the scroll bars.
    QSize SizeForClient(const QSize& client) const;

    CMapViewport& Viewport() { return m_viewport; }
    const CMapViewport& Viewport() const { return m_viewport; }

    // ---- Input and commands (LarkspurViewInput.cpp): turned into calls on the controller ----
public:
    // A press held this long without lifting inspects a point instead of taking one.
    static constexpr int kHoldTimeMs = 600;

    // The survey's flow; until it is set, taps, holds and the site commands do nothing.
    void SetController(CSurveyController* controller);
    CSurveyController* Controller() const { return m_controller; }

    // The eight command-bar commands; false for an id the view does not handle. The dialogs of
    // help, about and the colour codes belong to the shell: the view asks for them.
    bool OnCommand(int id);
    void OnOpenSite();
    void OnSaveSite();
    void OnSaveSiteAs();
    void OnChannelTable();

    void OnTap(const QPoint& p);
    void OnHold(const QPoint& p);
    void OnCentreKey();
    // The receiver's progress message.
    void OnDraw();

signals:
    // A command whose dialog the shell shows (help, about, colour codes).
    void dialogRequested(int id);
    // The survey's points changed other than by a measurement: the status bar's counts follow.
    void surveyChanged();
    // The coverage layer was switched on or off.
    void coverageShown(bool shown);

protected:
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    CSurveyController* m_controller = nullptr;
    QBasicTimer m_holdTimer;
    QPoint m_pressPos;
    bool m_bPressActive = false;
    // ---- end of survey interaction

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    // Wheel turns over the scroll bars take the same path as over the map.
    bool eventFilter(QObject* watched, QEvent* event) override;
    // The view repaints from the viewport; Qt's pixel scrolling of the client would fight it.
    void scrollContentsBy(int dx, int dy) override;

private:
    // The message that says the coverage worker has results.
    static uint32_t CoverageMessage();
    void Init();
    void OnScrollAction(Qt::Orientation orientation, int action);
    void SyncClientSize();

    CMapViewport m_viewport;
    CMapCanvas m_canvas;
    // The worker's results are announced to the view; the overlay (and its worker) goes first.
    CQtMessageTarget m_coverageTarget{this};
    CCoverageOverlay m_coverage{m_canvas, m_coverageTarget, CoverageMessage()};
    QImage m_centreMarker;
    QImage m_startPicture;
    int m_nScreenMode = kStartScreen;
    QPoint m_wheelRemainder;
    BoardIdentity m_identity = {"0.00", "XXXXXX", {}};
    std::vector<ChannelReading> m_readings;
};
