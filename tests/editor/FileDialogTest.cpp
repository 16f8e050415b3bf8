#include "editor/FileDialog.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

TEST(FileDialog, FilterPairsBecomeQtNameFilters) {
    EXPECT_EQ(QtNameFilters("quelt font file(*.dat)|*.dat"), QStringList{"quelt font file(*.dat)"});
    EXPECT_EQ(QtNameFilters("Text|*.txt|All|*.a;*.b"),
              (QStringList{"Text (*.txt)", "All (*.a *.b)"}));
    EXPECT_TRUE(QtNameFilters("").isEmpty());
}

// Runs the real dialog, types `name` into its file name field and clicks
// its accept button; records what the dialog offered.
struct DialogRun {
    bool accepted = false;
    QString selectedFilter;
    QString presetName;
    bool stillOpen = false;
    bool asked = false;
};

DialogRun RunDialog(TQtFileDialog& dialog, const QString& name) {
    DialogRun run;
    QTimer::singleShot(0, [&] {
        auto* shown = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(shown, nullptr);
        [&] {
            auto* field = shown->findChild<QLineEdit*>("fileNameEdit");
            ASSERT_NE(field, nullptr);
            run.selectedFilter = shown->selectedNameFilter();
            run.presetName = field->text();
            // Typing reaches a focused field of the active dialog, as it does for a user.
            shown->activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(shown));
            field->setFocus();
            field->selectAll();
            QTest::keyClicks(field, name);
            // An open completion list would take the click itself.
            if (field->completer() && field->completer()->popup()->isVisible())
                field->completer()->popup()->hide();
            auto* buttons = shown->findChild<QDialogButtonBox*>();
            ASSERT_NE(buttons, nullptr);
            QPushButton* accept = buttons->button(QDialogButtonBox::Open);
            if (!accept) accept = buttons->button(QDialogButtonBox::Save);
            ASSERT_NE(accept, nullptr);
            // A question the dialog might ask would block the click: answer it "no".
            QTimer::singleShot(0, [&] {
                if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                    run.asked = true;
                    box->reject();
                }
            });
            accept->click();
        }();
        // A question, a refusal or a failed step above keeps the dialog open:
        // close it so the test ends.
        run.stillOpen = shown->isVisible();
        if (run.stillOpen) shown->reject();
    });
    run.accepted = dialog.Execute();
    return run;
}

TEST(FileDialog, OpenAcceptsANameThatDoesNotExist) {
    QTemporaryDir dir;
    TQtFileDialog dialog(nullptr, TQtFileDialog::Mode::Open);
    dialog.Filter = "quelt font file(*.dat)|*.dat";
    dialog.FileName = dir.filePath("preset.dat");
    const DialogRun run = RunDialog(dialog, dir.filePath("nowhere.dat"));
    EXPECT_TRUE(run.accepted);
    EXPECT_FALSE(run.stillOpen);
    EXPECT_EQ(run.selectedFilter, "quelt font file(*.dat)");
    EXPECT_EQ(run.presetName, "preset.dat");
    EXPECT_EQ(dialog.FileName, dir.filePath("nowhere.dat"));
}

TEST(FileDialog, SaveReplacesWithoutAskingAndAddsNoSuffix) {
    QTemporaryDir dir;
    QFile existing(dir.filePath("old.dat"));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.close();
    TQtFileDialog dialog(nullptr, TQtFileDialog::Mode::Save);
    dialog.Filter = "quelt font file(*.dat)|*.dat";

    DialogRun run = RunDialog(dialog, dir.filePath("old.dat"));
    EXPECT_TRUE(run.accepted);
    EXPECT_FALSE(run.asked) << "asked before replacing";
    EXPECT_FALSE(run.stillOpen);
    EXPECT_EQ(dialog.FileName, dir.filePath("old.dat"));

    run = RunDialog(dialog, dir.filePath("plain"));
    EXPECT_TRUE(run.accepted);
    EXPECT_EQ(dialog.FileName, dir.filePath("plain"));
}

TEST(FileDialog, CancelKeepsTheFileName) {
    TQtFileDialog dialog(nullptr, TQtFileDialog::Mode::Open);
    dialog.FileName = "/tmp/kept.dat";
    QTimer::singleShot(0, [] {
        if (auto* shown = QApplication::activeModalWidget()) shown->close();
    });
    EXPECT_FALSE(dialog.Execute());
    EXPECT_EQ(dialog.FileName, "/tmp/kept.dat");
}

}  // namespace
