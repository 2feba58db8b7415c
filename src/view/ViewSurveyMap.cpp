// The map view's side of the survey: each change of the survey shown where the surveyor sees it.
#include "view/ViewSurveyMap.h"

#include <QCoreApplication>

#include "files/SitePicture.h"
#include "platform/WindowMessages.h"
#include "view/LarkspurView.h"
#include "view/WindowMessageEvent.h"

bool CViewSurveyMap::ShowSitePicture(const SitePicture& picture) {
    return m_view.SetSitePicture(picture.width, picture.height, picture.palette,
                                 picture.pixels.data(), picture.pixels.size(),
                                 static_cast<int32_t>(picture.stride), true);
}

void CViewSurveyMap::ShowScreen(Screen screen) {
    m_view.SetScreenMode(screen);
}

void CViewSurveyMap::Repaint() {
    m_view.RequestRepaint();
}

void CViewSurveyMap::ShowReadings(const std::vector<ChannelReading>& readings) {
    m_view.SetReadings(readings);
}

MapPoint CViewSurveyMap::CentreOn(MapPoint point) {
    const ViewPoint centre = m_view.CentreOnMap(point.x, point.y);
    return {centre.x, centre.y};
}

void CViewSurveyMap::PaintPoint(int32_t x, int32_t y, int16_t strongest) {
    m_view.ImprintPoint(x, y, strongest);
}

void CViewSurveyMap::PointStored(int32_t x, int32_t y, int16_t strongest) {
    m_view.ImprintPoint(x, y, strongest);
    m_view.Coverage().OnPointStored(x, y);
    static const uint32_t statusUpdate = RegisterWindowMessage("LKSS_STATUS_UPDATE");
    QCoreApplication::postEvent(
        m_view.window(),
        new CWindowMessageEvent(statusUpdate, static_cast<uintptr_t>(x), static_cast<intptr_t>(y)));
}

void CViewSurveyMap::PointErased(int32_t x, int32_t y) {
    m_view.ErasePoint(x, y);
    m_view.Coverage().OnPointErased(x, y);
    // Show the change now rather than whenever the window next happens to paint.
    m_view.RequestRepaint();
}

void CViewSurveyMap::SurveyChanged() {
    m_view.Coverage().OnSurveyChanged();
    emit m_view.surveyChanged();
}
