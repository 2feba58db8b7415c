// About boxes: texts, layout, our program icon, and how the box without a close box closes.
#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>

#include "ModalRun.h"
#include "shell/AboutDlg.h"
#include "shell/AppAboutDlg.h"
#include "shell/DialogUnits.h"
#include "shell/ProgramIcon.h"

namespace {
QList<QLabel*> textLabels(QDialog& dlg) {
    QList<QLabel*> out;
    for (QLabel* label : dlg.findChildren<QLabel*>()) {
        if (!label->text().isEmpty()) {
            out << label;
        }
    }
    return out;
}

QLabel* labelWithText(QDialog& dlg, const QString& text) {
    for (QLabel* label : textLabels(dlg)) {
        if (label->text() == text) {
            return label;
        }
    }
    return nullptr;
}

// Pixels of the icon label that are neither the dialog background nor transparent.
int iconPixels(QLabel& label) {
    const QImage shot = label.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRgb background = label.palette().color(QPalette::Window).rgb();
    int painted = 0;
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            painted += shot.pixel(x, y) != background ? 1 : 0;
        }
    }
    return painted;
}

void expectTextsFit(QDialog& dlg) {
    for (QLabel* label : textLabels(dlg)) {
        SCOPED_TRACE(label->text().toStdString());
        EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width());
    }
}
} // namespace

TEST(ProgramIcon, HasBothImagesWithRealContent) {
    const QIcon icon = ProgramIcon();
    const QList<QSize> sizes = icon.availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(32, 32)));
    EXPECT_TRUE(sizes.contains(QSize(16, 16)));
    for (int side : {32, 16}) {
        const QImage image = icon.pixmap(side, side).toImage();
        ASSERT_EQ(image.size(), QSize(side, side));
        int opaque = 0;
        int colours = 0;
        QList<QRgb> seen;
        for (int y = 0; y < side; ++y) {
            for (int x = 0; x < side; ++x) {
                const QRgb p = image.pixel(x, y);
                if (qAlpha(p) == 255) {
                    ++opaque;
                    if (!seen.contains(p)) {
                        seen << p;
                        ++colours;
                    }
                }
            }
        }
        EXPECT_GT(opaque, side * side / 8) << side;
        EXPECT_GE(colours, 4) << side;
        EXPECT_LE(colours, 16) << side;
        EXPECT_LT(opaque, side * side) << "the corners stay transparent";
    }
}

TEST(AboutDlg, ShowsNameVersionNoticeAndIcon) {
    CAboutDlg dlg;
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("About Larkspur"));
    const CDialogUnits units = CDialogUnits::FromFont(dlg.font());
    EXPECT_EQ(dlg.size(), units.ToPixels(134, 95));

    QLabel* name = labelWithText(dlg, QStringLiteral("Larkspur Survalon"));
    QLabel* version = labelWithText(dlg, QStringLiteral("Version 2.02"));
    ASSERT_NE(name, nullptr);
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(name->geometry(), units.ToPixels(17, 22, 107, 8));
    EXPECT_EQ(version->geometry(), units.ToPixels(17, 36, 107, 8));
    const QList<QLabel*> texts = textLabels(dlg);
    ASSERT_EQ(texts.size(), 4);
    QList<QRect> notice;
    for (QLabel* label : texts) {
        if (label != name && label != version) {
            notice << label->geometry();
        }
    }
    EXPECT_TRUE(notice.contains(units.ToPixels(17, 49, 107, 8)));
    EXPECT_TRUE(notice.contains(units.ToPixels(17, 64, 107, 8)));
    expectTextsFit(dlg);

    QLabel* icon = dlg.IconLabel();
    EXPECT_EQ(icon->geometry(), units.ToPixels(106, 7, 20, 20));
    EXPECT_GT(iconPixels(*icon), 20);
}

TEST(AppAboutDlg, ShowsVersionLineNoticeAndIcon) {
    CAppAboutDlg dlg;
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("About Larkspur"));
    EXPECT_FALSE(dlg.windowFlags() & Qt::WindowCloseButtonHint);
    const CDialogUnits units = CDialogUnits::FromFont(dlg.font());
    EXPECT_EQ(dlg.size(), units.ToPixels(126, 58));

    QLabel* version = labelWithText(dlg, QStringLiteral("Larkspur Version 2.02"));
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(version->geometry(), units.ToPixels(7, 7, 84, 8));
    QList<QRect> rects;
    for (QLabel* label : textLabels(dlg)) {
        rects << label->geometry();
    }
    EXPECT_EQ(rects.size(), 3);
    EXPECT_TRUE(rects.contains(units.ToPixels(7, 24, 65, 8)));
    EXPECT_TRUE(rects.contains(units.ToPixels(7, 43, 111, 8)));
    expectTextsFit(dlg);

    EXPECT_EQ(dlg.IconLabel()->geometry(), units.ToPixels(97, 7, 20, 20));
    EXPECT_GT(iconPixels(*dlg.IconLabel()), 20);
}

TEST(AppAboutDlg, WithoutACloseBoxEnterEscapeOrAClickClosesIt) {
    for (int how = 0; how < 3; ++how) {
        SCOPED_TRACE(how);
        CAppAboutDlg dlg;
        const int result = runModal(
            dlg, [&dlg] { return dlg.DoModal(); },
            [&dlg, how] {
                if (how == 0) {
                    QTest::keyClick(&dlg, Qt::Key_Return);
                } else if (how == 1) {
                    QTest::keyClick(&dlg, Qt::Key_Escape);
                } else {
                    QTest::mouseClick(&dlg, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
                }
            });
        EXPECT_NE(result, kWatchdogResult);
        EXPECT_FALSE(dlg.isVisible());
    }
}
