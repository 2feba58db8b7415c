// Message boxes and file dialogs on Qt Widgets: the prompts the running program installs.
#pragma once

#include <QString>

#include "platform/Prompts.h"

class QWidget;

class CQtPrompts : public IPrompts {
public:
    CQtPrompts() = default;

    // Dialogs are centred on parent (may be null); call before the first prompt.
    void SetParent(QWidget* parent) { m_parent = parent; }

    int MessageBox(const std::string& text, const std::string& caption, unsigned flags) override;
    bool GetOpenFileName(const FileDialogRequest& request, std::string& path) override;
    bool GetSaveFileName(const FileDialogRequest& request, std::string& path) override;

    // "Site Files (*.lks)|*.lks|All Files (*.*)|*.*||" as a Qt name filter list:
    // "Site Files (*.lks);;All Files (*)". "*.*" means every file, with or without a dot.
    static QString ToQtFilter(const std::string& filter);

private:
    bool RunFileDialog(const FileDialogRequest& request, bool forSave, std::string& path);

    QWidget* m_parent = nullptr;
};
