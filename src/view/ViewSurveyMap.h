// The survey controller's map on the map view: the picture, the screens, the readings and the
// circles, and the status bar's counts after each stored point.
#pragma once

#include "controller/SurveyMap.h"

class CLarkspurView;

class CViewSurveyMap : public ISurveyMap {
public:
    explicit CViewSurveyMap(CLarkspurView& view) : m_view(view) {}

    bool ShowSitePicture(const SitePicture& picture) override;
    void ShowScreen(Screen screen) override;
    void Repaint() override;
    void ShowReadings(const std::vector<ChannelReading>& readings) override;
    MapPoint CentreOn(MapPoint point) override;
    void PaintPoint(int32_t x, int32_t y, int16_t strongest) override;
    void PointStored(int32_t x, int32_t y, int16_t strongest) override;
    void PointErased(int32_t x, int32_t y) override;
    void SurveyChanged() override;

private:
    CLarkspurView& m_view;
};
