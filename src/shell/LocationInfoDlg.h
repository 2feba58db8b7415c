// The dialog shown on a press-and-hold near a stored point: the point's position and strongest
// reading, and a button that asks for the point to be deleted. The deleting is the caller's,
// which journals it.
#pragma once

#include <QDialog>
#include <QRect>
#include <QString>
#include <vector>

struct PointInfo;
class QPushButton;

class CLocationInfoDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kDeletedResult = -2;
    // The painted content is laid out for a client area at least this wide and tall (pixels).
    static constexpr int kPaintWidth = 240;
    static constexpr int kPaintHeight = 214;

    struct PaintedText {
        QRect rect;
        QString text;
    };

    // Shows point; without one only the headings, and nothing to delete.
    explicit CLocationInfoDlg(const PointInfo* point, QWidget* parent = nullptr);

    // Runs the dialog modally: kDeletedResult when the surveyor asked to delete the point,
    // anything else when nothing is to change.
    int DoModal();

    // The texts the dialog paints, in painting order.
    std::vector<PaintedText> Texts() const;
    // The blue rules under the headings and at the bottom.
    static std::vector<QRect> Rules();
    // The font the content is painted in.
    static QFont PaintFont();

    QPushButton* DeleteButton() const { return m_deleteButton; }

public slots:
    void OnDeletePoint();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const PointInfo* m_point;
    QPushButton* m_deleteButton;
};
