// Help dialog: the whole text in its own order, long items kept whole, scrolling to the end.
#include <QListWidget>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

#include "ModalRun.h"
#include "shell/DialogUnits.h"
#include "shell/HelpDlg.h"
#include "shell/HelpText.h"

namespace {
QStringList itemTexts(const QListWidget& list) {
    QStringList out;
    for (int i = 0; i < list.count(); ++i) {
        out << list.item(i)->text();
    }
    return out;
}

int darkPixels(const QImage& image, const QRect& area) {
    int dark = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            dark += qGray(image.pixel(x, y)) < 128 ? 1 : 0;
        }
    }
    return dark;
}
} // namespace

TEST(HelpDlg, ListHoldsTheWholeTextInItsOwnOrder) {
    CHelpDlg dlg;
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Larkspur Help"));
    const QListWidget& list = *dlg.List();
    // Every item of the text and nothing else.
    ASSERT_EQ(list.count(), HelpItemCount());
    const QStringList texts = itemTexts(list);
    EXPECT_EQ(texts.first(), QStringLiteral("Help Contents"));
    EXPECT_TRUE(texts.last().endsWith(QStringLiteral("could use at least 4 points.")));
    for (int i = 0; i < HelpItemCount(); ++i) {
        EXPECT_EQ(texts[i], QString::fromLatin1(HelpItem(i))) << i;
    }
    // Never sorted: neither now nor when items are added later.
    EXPECT_FALSE(list.isSortingEnabled());
    QStringList sorted = texts;
    sorted.sort();
    EXPECT_NE(texts, sorted);
}

TEST(HelpDlg, SectionsStartWhereTheTextPlacesThem) {
    CHelpDlg dlg;
    const QStringList texts = itemTexts(*dlg.List());
    const struct {
        int item; // 1-based
        const char* heading;
    } sections[] = {
        {3, "Overview"},
        {29, "Quick Start"},
        {40, "OPEN A SITE FILE"},
        {91, "Status Bar (Bottom)"},
        {94, "Menu"},
        {110, "Zoom Mode"},
        {118, "Scroll Bars"},
        {123, "Joystick"},
        {134, "Color Codes"},
        {145, "Coverage Layer"},
        {168, "Survey Information Screen"},
        {182, "Surveying Tips"},
    };
    for (const auto& s : sections) {
        EXPECT_EQ(texts[s.item - 1], QString::fromLatin1(s.heading));
        EXPECT_EQ(texts[s.item - 2], QString()) << "no separator before " << s.heading;
    }
    EXPECT_EQ(texts[94], QStringLiteral("There are 9 menu items located in the main menu at "
                                        "the bottom of the screen."));
    EXPECT_EQ(texts[96], QStringLiteral("From left to right: "));
}

TEST(HelpDlg, LongItemsStayWholeOnOneLineAndAreCutAtTheEdge) {
    CHelpDlg dlg;
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    QListWidget& list = *dlg.List();
    QListWidgetItem* status = list.item(91);
    EXPECT_EQ(status->text().size(), 279);
    EXPECT_TRUE(status->text().startsWith(QStringLiteral("On the bottom (above the menu)")));
    EXPECT_EQ(list.item(94)->text().size(), 76);

    EXPECT_FALSE(list.wordWrap());
    EXPECT_EQ(list.textElideMode(), Qt::ElideNone);
    EXPECT_EQ(list.horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(list.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    // One line high, like a short item, and wider than the list can show.
    EXPECT_EQ(list.visualItemRect(status).height(), list.visualItemRect(list.item(0)).height());
    EXPECT_GT(list.fontMetrics().horizontalAdvance(status->text()), list.viewport()->width());
}

// Dark pixels in the last few columns of the list's visible area, within one item's row.
int darkAtRightEdge(QListWidget& list, QListWidgetItem* item) {
    list.scrollToItem(item);
    QWidget* viewport = list.viewport();
    const QImage shot = viewport->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRect row = list.visualItemRect(item).intersected(viewport->rect());
    return darkPixels(shot, QRect(viewport->width() - 4, row.top(), 4, row.height()));
}

TEST(HelpDlg, HandBrokenItemsFitTheListButLongOnesAreCut) {
    CHelpDlg dlg;
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    QListWidget& list = *dlg.List();
    for (int i = 0; i < list.count(); ++i) {
        QListWidgetItem* item = list.item(i);
        if (item->text().size() <= 35) {
            EXPECT_EQ(darkAtRightEdge(list, item), 0) << "cut off: " << item->text().toStdString();
        }
    }
    EXPECT_GT(darkAtRightEdge(list, list.item(91)), 0);
    EXPECT_GT(darkAtRightEdge(list, list.item(94)), 0);
}

TEST(HelpDlg, ShowsTheFirstItemAndScrollsToTheLast) {
    CHelpDlg dlg;
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    QListWidget& list = *dlg.List();
    QWidget* viewport = list.viewport();

    QImage shot = viewport->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRect first = list.visualItemRect(list.item(0)).intersected(viewport->rect());
    ASSERT_FALSE(first.isEmpty());
    EXPECT_GT(darkPixels(shot, first), 0);
    // The separator below it is blank.
    const QRect blank = list.visualItemRect(list.item(1)).intersected(viewport->rect());
    EXPECT_EQ(darkPixels(shot, blank), 0);

    QListWidgetItem* last = list.item(list.count() - 1);
    EXPECT_FALSE(viewport->rect().contains(list.visualItemRect(last)));
    list.verticalScrollBar()->setValue(list.verticalScrollBar()->maximum());
    const QRect lastRect = list.visualItemRect(last);
    EXPECT_TRUE(viewport->rect().contains(lastRect));
    shot = viewport->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_GT(darkPixels(shot, lastRect), 0);
}

TEST(HelpDlg, LayoutFollowsTheTemplate) {
    CHelpDlg dlg;
    const CDialogUnits units = CDialogUnits::FromFont(dlg.font());
    EXPECT_EQ(dlg.size(), units.ToPixels(127, 161));
    EXPECT_EQ(dlg.List()->geometry(), units.ToPixels(7, 7, 113, 147));
}

TEST(HelpDlg, EachOpeningFillsTheListAnew) {
    CHelpDlg first;
    const int result = runModal(
        first, [&first] { return first.DoModal(); }, [&first] { first.close(); });
    EXPECT_EQ(result, QDialog::Rejected);
    CHelpDlg second;
    EXPECT_EQ(second.List()->count(), HelpItemCount());
}
