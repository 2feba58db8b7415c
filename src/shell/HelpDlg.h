// The built-in help screen: a scrolling list of the help text's items, in their own order.
#pragma once

#include <QDialog>

class QListWidget;

class CHelpDlg : public QDialog {
    Q_OBJECT
public:
    explicit CHelpDlg(QWidget* parent = nullptr);

    int DoModal();

    QListWidget* List() const { return m_list; }

private:
    void fitFontToItems();
    int widestBrokenItem(const QFont& font) const;

    QListWidget* m_list;
};
