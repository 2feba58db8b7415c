// What the survey controller shows on the map view: the site's picture, the screens, the scan's
// readings, and the circles of points as they are loaded, measured and deleted.
#pragma once

#include <cstdint>
#include <vector>

struct ChannelReading;
struct SitePicture;

// A point on the site's picture, in its pixels.
struct MapPoint {
    int32_t x = 0;
    int32_t y = 0;
};

class ISurveyMap {
public:
    // The view's screens.
    enum Screen { kStartScreen = 0, kMapScreen = 1, kScanScreen = 2 };

    virtual ~ISurveyMap();

    // The site's picture becomes the map, the view reset to it; false (nothing changed) when it
    // cannot be shown.
    virtual bool ShowSitePicture(const SitePicture& picture) = 0;
    virtual void ShowScreen(Screen screen) = 0;
    virtual void Repaint() = 0;
    // The channels of the table with their latest readings, as the scan screen lists them.
    virtual void ShowReadings(const std::vector<ChannelReading>& readings) = 0;
    // Centres the map on point, as far as the picture allows; returns the centre it took.
    virtual MapPoint CentreOn(MapPoint point) = 0;
    // A circle for a point already in the survey (loaded or recovered).
    virtual void PaintPoint(int32_t x, int32_t y, int16_t strongest) = 0;
    // A point was just measured and stored here: its circle, and the status bar's counts.
    virtual void PointStored(int32_t x, int32_t y, int16_t strongest) = 0;
    // The point at (x, y) was deleted: its circle goes, and the plan under it shows again.
    virtual void PointErased(int32_t x, int32_t y) = 0;
    // The survey's points changed other than by a measurement (an open, a recovery, a delete):
    // whatever counts them is brought up to date.
    virtual void SurveyChanged() = 0;
};
