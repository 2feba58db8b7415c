// The coverage layer's button on the command bar: a press switches the layer on or off, its arrow
// opens the choice of what it shows (the best server or one channel of the table, each with its
// frequency) and of its bands (the handheld's, or the pass line's, for the circles too if asked).
#pragma once

#include <QObject>

class CLarkspurView;
class QAction;
class QMenu;
class QToolBar;

class CCoverageMenu : public QObject {
    Q_OBJECT
public:
    // action: the layer's button on bar. The menu is filled afresh each time it opens, from the
    // table on the board then.
    CCoverageMenu(CLarkspurView& view, QToolBar& bar, QAction& action);

    QMenu* Menu() const { return m_menu; }
    // Fills the menu as it would show now.
    void Refill();

private:
    CLarkspurView& m_view;
    QAction& m_action;
    QMenu* m_menu;
};
