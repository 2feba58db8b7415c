// The application's own small about box: version line, notice and icon. It has no close box;
// Escape, Enter or a click anywhere in it closes it.
#pragma once

#include <QDialog>

class QLabel;

class CAppAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAppAboutDlg(QWidget* parent = nullptr);

    int DoModal();

    QLabel* IconLabel() const { return m_icon; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QLabel* m_icon;
};
