// The coverage button's menu: one choice of what the layer shows among the best server and the
// table's channels, and the two band switches.
#include "shell/CoverageMenu.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>

#include "analysis/SurveyChannels.h"
#include "view/LarkspurView.h"

namespace {

constexpr double kKHzPerMHz = 1000.0;

QString channelText(int32_t channel, double mhz) {
    return QStringLiteral("Channel %1 (%2 MHz)")
        .arg(channel)
        .arg(QString::fromStdString(MhzText(mhz)));
}

} // namespace

CCoverageMenu::CCoverageMenu(CLarkspurView& view, QToolBar& bar, QAction& action)
    : QObject(&bar), m_view(view), m_action(action), m_menu(new QMenu(&bar)) {
    m_menu->setObjectName(QStringLiteral("coverageMenu"));
    m_action.setCheckable(true);
    m_action.setChecked(view.Coverage().Shown());
    m_action.setMenu(m_menu);
    if (auto* button = qobject_cast<QToolButton*>(bar.widgetForAction(&action))) {
        button->setPopupMode(QToolButton::MenuButtonPopup);
    }
    connect(&view, &CLarkspurView::coverageShown, &action, &QAction::setChecked);
    connect(m_menu, &QMenu::aboutToShow, this, &CCoverageMenu::Refill);
}

void CCoverageMenu::Refill() {
    m_menu->clear();
    CCoverageOverlay& layer = m_view.Coverage();
    const LayerChoice current = layer.Choice();
    auto* group = new QActionGroup(m_menu);
    const auto addChoice = [&](const QString& text, const LayerChoice& choice) {
        QAction* item = m_menu->addAction(text);
        item->setCheckable(true);
        item->setChecked(choice == current);
        group->addAction(item);
        // Choosing what the layer shows is asking to see it.
        connect(item, &QAction::triggered, this, [this, choice] {
            m_view.Coverage().SetChoice(choice);
            m_view.SetCoverageShown(true);
            m_view.RequestRepaint();
        });
    };
    addChoice(QStringLiteral("Best server (the strongest channel)"), LayerChoice());
    bool currentListed = current.bestServer;
    for (const ChannelReading& c : m_view.TableChannels()) {
        SiteReading reading;
        reading.channel = c.channel;
        reading.frequencyMHz = c.frequencyMHz;
        LayerChoice choice;
        choice.bestServer = false;
        choice.channel = ChannelIdOf(reading);
        currentListed = currentListed || choice == current;
        addChoice(channelText(c.channel, c.frequencyMHz), choice);
    }
    // A channel chosen from an earlier table stays on the layer, and in the list, until another
    // is chosen.
    if (!currentListed) {
        addChoice(channelText(current.channel.channel, current.channel.kHz / kKHzPerMHz), current);
    }
    m_menu->addSeparator();
    QAction* pass = m_menu->addAction(QStringLiteral("Pass-line bands (-85, -95, -105 dBm)"));
    pass->setCheckable(true);
    pass->setChecked(layer.ThresholdBands());
    connect(pass, &QAction::toggled, this, [this](bool on) {
        m_view.Coverage().SetThresholdBands(on);
        m_view.RequestRepaint();
    });
    QAction* circles = m_menu->addAction(QStringLiteral("Circles in the pass-line bands too"));
    circles->setCheckable(true);
    circles->setChecked(layer.CirclesInThreshold());
    circles->setEnabled(layer.ThresholdBands());
    connect(circles, &QAction::toggled, this, [this](bool on) {
        m_view.Coverage().SetCirclesInThreshold(on);
        m_view.RequestRepaint();
    });
}
