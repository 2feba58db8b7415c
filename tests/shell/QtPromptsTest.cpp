// The Qt prompts: filters in Qt's form, message box buttons and answers, file dialog answers.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>

#include "shell/QtPrompts.h"
#include "support/WhenModal.h"

namespace {

void clickButton(QWidget* modal, QMessageBox::StandardButton which) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    ASSERT_NE(box, nullptr);
    ASSERT_NE(box->button(which), nullptr);
    box->button(which)->click();
}

} // namespace

TEST(QtPrompts, FiltersBecomeQtNameFilters) {
    EXPECT_EQ(CQtPrompts::ToQtFilter("Site Files (*.lks)|*.lks|All Files (*.*)|*.*||"),
              QStringLiteral("Site Files (*.lks);;All Files (*)"));
    EXPECT_EQ(CQtPrompts::ToQtFilter("Tables|*.nct;*.txt||"),
              QStringLiteral("Tables (*.nct *.txt)"));
    EXPECT_EQ(CQtPrompts::ToQtFilter(""), QString());
}

TEST(QtPrompts, MessageBoxesOfferTheirButtonsAndReturnTheAnswer) {
    CQtPrompts prompts;
    WhenModal([](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->text(), "Not a Site File.");
        EXPECT_EQ(box->windowTitle(), "File Error");
        EXPECT_EQ(box->icon(), QMessageBox::Critical);
        EXPECT_EQ(box->buttons().size(), 1);
        clickButton(modal, QMessageBox::Ok);
    });
    EXPECT_EQ(prompts.MessageBox("Not a Site File.", "File Error", kMbOk | kMbIconError), kIdOk);

    WhenModal([](QWidget* modal) {
        EXPECT_EQ(qobject_cast<QMessageBox*>(modal)->buttons().size(), 2);
        clickButton(modal, QMessageBox::No);
    });
    EXPECT_EQ(prompts.MessageBox("Keep?", "Larkspur", kMbYesNo), kIdNo);

    WhenModal([](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        EXPECT_EQ(box->buttons().size(), 3);
        EXPECT_EQ(box->icon(), QMessageBox::Question);
        clickButton(modal, QMessageBox::Cancel);
    });
    EXPECT_EQ(prompts.MessageBox("Save?", "Larkspur", kMbYesNoCancel | kMbIconQuestion), kIdCancel);

    // The busy cursor does not cover the question, and comes back after it.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    WhenModal([](QWidget* modal) {
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        clickButton(modal, QMessageBox::Yes);
    });
    EXPECT_EQ(prompts.MessageBox("Save?", "Larkspur", kMbYesNoCancel), kIdYes);
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    QApplication::restoreOverrideCursor();
}

TEST(QtPrompts, FileDialogsStartWhereAskedAndReturnThePick) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile file(dir.filePath("demo.lks"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();

    CQtPrompts prompts;
    FileDialogRequest request;
    request.filter = "Site Files (*.lks)|*.lks|All Files (*.*)|*.*||";
    request.defaultExtension = "LKS";
    request.initialName = "SITE1";
    request.initialFolder = dir.path().toStdString();

    WhenModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->directory().absolutePath(), QDir(dir.path()).absolutePath());
        EXPECT_EQ(dialog->nameFilters(), QStringList({"Site Files (*.lks)", "All Files (*)"}));
        EXPECT_EQ(dialog->defaultSuffix(), "lks");
        EXPECT_EQ(dialog->fileMode(), QFileDialog::ExistingFile);
        dialog->selectFile(dir.filePath("demo.lks"));
        QMetaObject::invokeMethod(dialog, "accept");
    });
    std::string path;
    ASSERT_TRUE(prompts.GetOpenFileName(request, path));
    EXPECT_EQ(path, dir.filePath("demo.lks").toStdString());

    WhenModal([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
    std::string untouched = "unchanged";
    EXPECT_FALSE(prompts.GetOpenFileName(request, untouched));
    EXPECT_EQ(untouched, "unchanged");
}
