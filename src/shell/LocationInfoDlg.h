// The dialog shown on a press-and-hold near a stored point: the point's position and strongest
// reading, painted from the survey store's last nearest-point lookup, and a button that asks for
// the point to be deleted. The deleting is the caller's, which journals it.
#pragma once

#include <QDialog>
#include <QRect>
#include <QString>
#include <vector>

class CSurveyData;
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

    // Shows store's last lookup; without a store only the headings, and nothing to delete.
    explicit CLocationInfoDlg(const CSurveyData* store, QWidget* parent = nullptr);

    // Runs the dialog modally: kDeletedResult when the surveyor asked to delete the point,
    // anything else when nothing is to change.
    int DoModal();

    // The texts the dialog paints, in painting order, from the current store's values.
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
    const CSurveyData* m_store;
    QPushButton* m_deleteButton;
};
