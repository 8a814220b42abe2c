#include "DeleteFilesDialog.h"
#include "FolderCommands.h"
#include "MainSettings.h"
#include "SettingsFile.h"
#include "SideWindowsScript.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace pictorant {
namespace {

using sidetest::AppGuard;
using sidetest::Script;

void writeFile(const QString& path, const QByteArray& bytes = "picture") {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Points the desktop trash and the record of the last deletion into a temporary home
// for one test.
class TemporaryHome {
public:
    TemporaryHome()
        : oldHome_(qgetenv("HOME")), oldData_(qgetenv("XDG_DATA_HOME")),
          oldState_(qgetenv("XDG_STATE_HOME")) {
        qputenv("HOME", dir_.path().toUtf8());
        qputenv("XDG_DATA_HOME", (dir_.path() + "/data").toUtf8());
        qputenv("XDG_STATE_HOME", (dir_.path() + "/state").toUtf8());
    }
    ~TemporaryHome() {
        qputenv("HOME", oldHome_);
        for (const auto& [name, old] :
             {std::pair{"XDG_DATA_HOME", oldData_}, std::pair{"XDG_STATE_HOME", oldState_}}) {
            if (old.isEmpty())
                qunsetenv(name);
            else
                qputenv(name, old);
        }
    }
    QString path() const { return dir_.path(); }
    QString trashed(const QString& name) const { return dir_.path() + "/data/Trash/files/" + name; }

private:
    QTemporaryDir dir_;
    QByteArray oldHome_, oldData_, oldState_;
};

class Confirmation : public ::testing::Test {
protected:
    AppGuard app;
    Script script;
    DeleteFilesDialog form;

    QLabel* countLabel() { return form.findChild<QLabel*>("lNumDel"); }
    QCheckBox* recycle() { return form.findChild<QCheckBox*>("cbRecycle"); }
};

TEST_F(Confirmation, CountTextSaysFilesWhateverTheCount) {
    for (int count : {0, 1, 2, 1234}) {
        script.onModal("confirmDeletion", [&](QDialog&) {
            EXPECT_EQ(countLabel()->text(), QString("Confirm deletion of %1 files...").arg(count));
            return int(QDialog::Rejected);
        });
        form.confirmDeletion(count);
    }
    EXPECT_EQ(script.modals.size(), 4);
}

// The real buttons and keys close the window; the test drives the shown dialog.
TEST_F(Confirmation, OnlyYesAnswersYesAndTheBoxStateComesBackWithTheAnswer) {
    struct Case {
        const char* how;
        bool recycleOn;
        bool yes;
    };
    const Case cases[] = {
        {"yes", true, true},      {"yes", false, true},   {"no", true, false},
        {"escape", false, false}, {"close", true, false},
    };
    for (const Case& c : cases) {
        script.onModal("confirmDeletion", [&](QDialog& d) {
            recycle()->setChecked(c.recycleOn);
            QTimer::singleShot(0, &d, [&] {
                const QString how = c.how;
                if (how == "yes")
                    form.findChild<QPushButton*>("bYesDel")->click();
                else if (how == "no")
                    form.findChild<QPushButton*>("BitBtn1")->click();
                else if (how == "escape")
                    QTest::keyClick(&d, Qt::Key_Escape);
                else
                    d.close();
            });
            return d.exec();
        });
        const DeletionAnswer answer = form.confirmDeletion(3);
        EXPECT_EQ(answer.yes, c.yes) << c.how;
        EXPECT_EQ(answer.toRecycleBin, c.recycleOn) << c.how;
        EXPECT_EQ(form.recycleBin(), c.recycleOn) << "the box keeps its state";
    }
}

TEST_F(Confirmation, ClickOnThePictureExplainsTheRecycleBinOption) {
    auto* picture = form.findChild<QLabel*>("Image1");
    QTest::mouseClick(picture, Qt::LeftButton);
    ASSERT_EQ(script.asked.size(), 1u);
    EXPECT_EQ(script.asked[0].text,
              "You can delete files immediately by unselecting the Recycle Bin option.  It's "
              "faster, but you will not be able to recover them.");
}

TEST_F(Confirmation, RecycleChoiceIsKeptAcrossARestartThroughTheSettingsFile) {
    QTemporaryDir dir;
    const std::string ini = (dir.path() + "/Pictorant.ini").toStdString();
    {
        SettingsFile settings(ini);
        DeleteFilesDialog first(&settings);
        EXPECT_TRUE(first.recycleBin()) << "on when the file is missing";
        first.findChild<QCheckBox*>("cbRecycle")->setChecked(false);
    }
    {
        SettingsFile settings(ini);
        EXPECT_EQ(settings.readText("Directories", "RecycleBin", ""), "No");
        DeleteFilesDialog second(&settings);
        EXPECT_FALSE(second.recycleBin());
        second.setRecycleBin(true);
    }
    SettingsFile settings(ini);
    EXPECT_EQ(settings.readText("Directories", "RecycleBin", ""), "Yes");
}

TEST_F(Confirmation, UnwritableSettingsFileIsReportedAtExit) {
    QTemporaryDir dir;
    writeFile(dir.path() + "/file");
    // A path through a regular file cannot be written, whoever runs the test.
    SettingsFile settings((dir.path() + "/file/Pictorant.ini").toStdString());
    { DeleteFilesDialog doomed(&settings); }
    ASSERT_EQ(script.asked.size(), 1u);
    EXPECT_TRUE(script.asked[0].text.startsWith("Unable to write to "));
}

class Deletion : public Confirmation {
protected:
    QTemporaryDir dir;
    QStringList make(const QStringList& names) {
        QStringList paths;
        for (const QString& name : names) {
            writeFile(dir.filePath(name));
            paths << dir.filePath(name);
        }
        return paths;
    }
    void answer(bool yes, bool recycleOn) {
        script.onModal("confirmDeletion", [=, this](QDialog&) {
            recycle()->setChecked(recycleOn);
            return yes ? int(QDialog::Accepted) : int(QDialog::Rejected);
        });
    }
};

TEST_F(Deletion, AFileThatCannotBeDeletedStaysSilently) {
    const QStringList paths = make({"a.jpg"});
    const QString missing = dir.filePath("gone.jpg");
    answer(true, false);
    EXPECT_TRUE(deleteSelectedFiles(form, {missing, paths[0]}));
    EXPECT_FALSE(QFileInfo::exists(paths[0])) << "the rest still goes";
    EXPECT_TRUE(script.asked.empty());
}

} // namespace
} // namespace pictorant
