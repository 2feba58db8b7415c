// The Qt prompts: a wait cursor is lifted while the user is asked, then put back.
#include "shell/QtPrompts.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>

namespace {

// A dialog opened under the busy cursor would show it over the buttons; lift it for the
// question and restore it after.
class CursorLift {
public:
    CursorLift() {
        while (QApplication::overrideCursor() != nullptr) {
            QApplication::restoreOverrideCursor();
            ++m_lifted;
        }
    }
    ~CursorLift() {
        for (int i = 0; i < m_lifted; ++i) {
            QApplication::setOverrideCursor(Qt::WaitCursor);
        }
    }
    CursorLift(const CursorLift&) = delete;
    CursorLift& operator=(const CursorLift&) = delete;

private:
    int m_lifted = 0;
};

QString patternsOf(const QString& pattern) {
    QStringList parts = pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (QString& part : parts) {
        part = part.trimmed();
        if (part == QLatin1String("*.*")) {
            part = QStringLiteral("*");
        }
    }
    return parts.join(QLatin1Char(' '));
}

} // namespace

QString CQtPrompts::ToQtFilter(const std::string& filter) {
    const QStringList fields = QString::fromLocal8Bit(filter.c_str()).split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < fields.size(); i += 2) {
        QString description = fields[i].trimmed();
        const QString patterns = patternsOf(fields[i + 1]);
        if (description.isEmpty() || patterns.isEmpty()) {
            break; // the "||" that ends the list
        }
        // The description names its patterns in the handheld's spelling; Qt reads the patterns
        // from the parentheses, so they are replaced by the real ones.
        const int open = description.lastIndexOf(QLatin1Char('('));
        if (open > 0) {
            description = description.left(open).trimmed();
        }
        filters << description + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    return filters.join(QStringLiteral(";;"));
}

int CQtPrompts::MessageBox(const std::string& text, const std::string& caption, unsigned flags) {
    CursorLift lift;
    // A box owned by a minimised window could open minimised with it (closing by minimising
    // asks whether to save), so it then stands on its own.
    QMessageBox box((m_parent != nullptr && !m_parent->isMinimized()) ? m_parent : nullptr);
    box.setText(QString::fromLocal8Bit(text.c_str()));
    box.setWindowTitle(QString::fromLocal8Bit(caption.c_str()));
    if (flags & kMbIconError) {
        box.setIcon(QMessageBox::Critical);
    } else if (flags & kMbIconQuestion) {
        box.setIcon(QMessageBox::Question);
    }
    switch (flags & kMbButtonMask) {
    case kMbYesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
        break;
    case kMbYesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    default:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Yes:
        return kIdYes;
    case QMessageBox::No:
        return kIdNo;
    case QMessageBox::Cancel:
        return kIdCancel;
    default:
        return (flags & kMbButtonMask) == kMbOk ? kIdOk : kIdCancel;
    }
}

bool CQtPrompts::GetOpenFileName(const FileDialogRequest& request, std::string& path) {
    return RunFileDialog(request, false, path);
}

bool CQtPrompts::GetSaveFileName(const FileDialogRequest& request, std::string& path) {
    return RunFileDialog(request, true, path);
}

bool CQtPrompts::RunFileDialog(const FileDialogRequest& request, bool forSave, std::string& path) {
    CursorLift lift;
    QFileDialog dialog(m_parent);
    dialog.setAcceptMode(forSave ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(forSave ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilters(ToQtFilter(request.filter).split(QStringLiteral(";;")));
    QString suffix = QString::fromLocal8Bit(request.defaultExtension.c_str());
    if (suffix.startsWith(QLatin1Char('.'))) {
        suffix.remove(0, 1);
    }
    // The handheld's names were upper case; files on Linux are found by their real case.
    dialog.setDefaultSuffix(suffix.toLower());
    const QString folder = request.initialFolder.empty()
                               ? QDir::currentPath()
                               : QFile::decodeName(request.initialFolder.c_str());
    dialog.setDirectory(folder);
    if (!request.initialName.empty()) {
        dialog.selectFile(QFile::decodeName(request.initialName.c_str()));
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return false;
    }
    path = QFile::encodeName(dialog.selectedFiles().front()).toStdString();
    return true;
}
