// The about box of the toolbar's About button: program name, version, notice and icon.
#pragma once

#include <QDialog>

class QLabel;

class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);

    int DoModal();

    QLabel* IconLabel() const { return m_icon; }

private:
    QLabel* m_icon;
};
