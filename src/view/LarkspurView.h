// The survey window: the start, map and scan screens, the survey circles painted into the map
// canvas, and zoom, scroll-bar and arrow-key navigation. The survey interaction (taps, holds,
// the centre key and the receiver's progress messages) is built on the helpers below in its own
// source file; this file overrides no mouse handler and not event(), so that file can.
#pragma once

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QBrush>
#include <QImage>
#include <QPen>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "view/MapViewport.h"
#include "view/ViewGeometry.h"

class CReceiver;
class IMessageTarget;
class QMouseEvent;
class QTimerEvent;
class QKeyEvent;
class QPaintEvent;
class QPainter;

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
    static constexpr int kPaletteSize = 256;
    static constexpr int kMarkerSize = 32;
    static constexpr int kMaxListedChannels = 30;
    static constexpr int kRowsPerColumn = 15;

    // Reads the program's receiver.
    explicit CLarkspurView(QWidget* parent = nullptr);
    // Reads the given receiver (tests).
    explicit CLarkspurView(CReceiver& receiver, QWidget* parent = nullptr);
    ~CLarkspurView() override;

    CLarkspurView(const CLarkspurView&) = delete;
    CLarkspurView& operator=(const CLarkspurView&) = delete;

    // --- Site picture and map canvas ---
    // Builds the map canvas from an 8-bit picture and resets the view to it. palette holds 256
    // colours as 0x00RRGGBB (a little-endian read of a bitmap colour-table entry); pixels holds
    // height rows of stride bytes, the first row at the top unless bottomUp. Returns false and
    // changes nothing when the sizes do not add up or the canvas cannot be allocated.
    bool SetSitePicture(int32_t width, int32_t height, const uint32_t* palette,
                        const uint8_t* pixels, size_t pixelBytes, int32_t stride, bool bottomUp);
    // Bounds, view and scroll ranges for the current picture, thumbs on the centre.
    void ResetForNewMap();
    int32_t PictureWidth() const { return m_nPictureWidth; }
    int32_t PictureHeight() const { return m_nPictureHeight; }
    bool HasSitePicture() const { return !m_mapCanvas.isNull(); }
    const QImage& MapCanvas() const { return m_mapCanvas; }
    void SetSitePath(const std::string& path) { m_strSitePath = path; }
    const std::string& SitePath() const { return m_strSitePath; }

    // --- Survey circles (painted into the canvas; none requests a repaint) ---
    void ImprintPoint(int32_t x, int32_t y, int16_t rssi);
    // At the viewport's centre, coloured by the current survey's strongest reading; nothing
    // without a current survey.
    void ImprintNewPoint();
    // A white disc over the point at the held position.
    void EraseHeldPoint();

    // --- Screens ---
    int ScreenMode() const { return m_nScreenMode; }
    void SetScreenMode(int mode) { m_nScreenMode = mode; }
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
    // Both scroll thumbs onto the viewport's centre.
    void SyncScrollThumbs();
    // A tap: the map point under p becomes the centre, thumbs follow, repaint requested.
    void CentreOnTap(const QPoint& p);
    // A press-and-hold: the map point under p, which becomes the held position.
    ViewPoint HoldAt(const QPoint& p);
    ViewRect ClientRect() const;
    // Widget size that gives a client area of the given size beside the scroll bars.
    QSize SizeForClient(const QSize& client) const;

    CMapViewport& Viewport() { return m_viewport; }
    const CMapViewport& Viewport() const { return m_viewport; }
    CReceiver& Receiver() const { return m_receiver; }

    // ---- Survey interaction and the site commands (LarkspurViewSurvey.cpp, LarkspurViewSite.cpp)
public:
    // A press held this long without lifting inspects a point instead of taking one.
    static constexpr int kHoldTimeMs = 600;
    static constexpr unsigned kLinkBaud = 38400;
    // Start-up waits: for the board after the port opens, and for its identity replies.
    static constexpr int kLinkSettleMs = 3000;
    static constexpr int kIdentityWaitMs = 2000;
    // How long the finished scan stays on screen before the map returns.
    static constexpr int kScanEndPauseMs = 500;

    // Brings up the receiver link on portName ("" searches for the board) under the busy
    // cursor: opens it at 38400 baud, waits, starts the I/O thread, asks for the firmware and
    // waits for the identity replies. The window keeps painting meanwhile; input waits.
    void StartUp(const std::string& portName);
    // Shortens the two start-up waits; for tests only, the program keeps its constants.
    static void SetStartUpWaitsForTesting(int linkSettleMs, int identityWaitMs);

    // The eight command-bar commands; false for an id the view does not handle.
    bool OnCommand(int id);
    void OnOpenSite();
    void OnSaveSite();
    void OnChannelTable();
    // Open Site and the channel table command once their file dialog has been answered.
    bool OpenSiteFile(const std::string& path);
    bool LoadChannelTableFile(const std::string& path);
    // Sign-off and save into the open site file; false (and told) when nothing was written.
    bool SaveSite();

    void OnTap(const QPoint& p);
    void OnHold(const QPoint& p);
    void OnCentreKey();
    // The receiver's progress message.
    void OnDraw();

    // Points measured or deleted since the site was opened or last saved.
    bool HasUnsavedChanges() const { return m_bUnsavedChanges; }
    // Asks whether to save unsaved changes first; false when the user keeps things as they are.
    bool QueryDiscardChanges(const char* question);

protected:
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    // Sets the request flag, starts the scan and moves the survey's location to the centre.
    void BeginMeasurement();
    bool SiteIsOpen() const;
    // Ends the link before the message target it posts to goes away.
    struct LinkBinding {
        LinkBinding() = default;
        LinkBinding(const LinkBinding&) = delete;
        LinkBinding& operator=(const LinkBinding&) = delete;
        ~LinkBinding();
        CReceiver* receiver = nullptr;
        std::unique_ptr<IMessageTarget> target;
    };

    LinkBinding m_link;
    QBasicTimer m_holdTimer;
    QPoint m_pressPos;
    bool m_bPressActive = false;
    bool m_bUnsavedChanges = false;
    // ---- end of survey interaction

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // The view repaints from the viewport; Qt's pixel scrolling of the client would fight it.
    void scrollContentsBy(int dx, int dy) override;

    void PaintStartScreen(QPainter& painter, const QRect& client);
    void PaintMapScreen(QPainter& painter, const QRect& client);
    void PaintScanScreen(QPainter& painter, const QRect& client);

private:
    void Init();
    void DrawCircle(const QRect& box, int colourIndex);
    void OnScrollAction(Qt::Orientation orientation, int action);

    CMapViewport m_viewport;
    int32_t m_nPictureHeight = 0;
    int32_t m_nPictureWidth = 0;
    QImage m_mapCanvas;
    QPen m_pens[7];
    QBrush m_brushes[7];
    QImage m_centreMarker;
    int m_nScreenMode = kStartScreen;
    std::string m_strSitePath;
    CReceiver& m_receiver;
};
