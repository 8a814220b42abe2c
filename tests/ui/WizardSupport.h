#pragma once

// Support for the tests of the main window and its side commands: waiting for a pane to
// read its folder, small real files, a scratch home, and a wizard over a temporary folder.

#include "tests/support/PictureMaker.h"
#include "tests/ui/ScriptedMessages.h"
#include "ui/FilePane.h"
#include "ui/GradientButton.h"
#include "ui/GradientProgressBar.h"
#include "ui/MainWizard.h"

#include <QSignalSpy>
#include <QTest>

namespace pictorant::uitest {

inline bool waitCount(FilePane& pane, int count) {
    return QTest::qWaitFor([&] { return pane.isListLoaded() && pane.entryCount() == count; });
}

// Sends a pane to `folder` and waits until its list shows `count` entries.
inline bool showFolder(FilePane& pane, const QString& folder, int count) {
    pane.setFolder(folder);
    return pane.folder() == QDir::cleanPath(folder) && waitCount(pane, count);
}

inline QStringList filesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

inline void writeFile(const QString& path, const QByteArray& bytes = "x") {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
}

inline QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// A real picture of the given size (a gradient, every pixel different), written by the
// program's own writer.
inline void writePicture(const QString& path, int width, int height, const char* type = "JPG") {
    pictorant::testing::makePicture(path.toStdString(), width, height, type);
}

// A press on the entry `name` of a pane's list, as the user makes it.
inline bool pressOn(FilePane& pane, const QString& name) {
    QListView* list = pane.list();
    const QModelIndexList found = list->model()->match(
        list->model()->index(0, 0, list->rootIndex()), Qt::DisplayRole, name, 1, Qt::MatchExactly);
    if (!found.isEmpty())
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualRect(found[0]).center());
    return !found.isEmpty();
}

// HOME, the data folder (and so the trash) and the state folder under `root` while it
// lives.
class ScratchHome {
public:
    explicit ScratchHome(const QString& root) {
        for (const char* name : {"HOME", "XDG_DATA_HOME", "XDG_STATE_HOME"})
            saved_.push_back({name, qgetenv(name), qEnvironmentVariableIsSet(name)});
        qputenv("HOME", root.toUtf8());
        qputenv("XDG_DATA_HOME", (root + "/data").toUtf8());
        qputenv("XDG_STATE_HOME", (root + "/state").toUtf8());
    }
    ~ScratchHome() {
        for (const auto& [name, value, wasSet] : saved_)
            wasSet ? void(qputenv(name, value)) : void(qunsetenv(name));
    }

private:
    std::vector<std::tuple<const char*, QByteArray, bool>> saved_;
};

// A main window over a temporary folder, without a settings file unless given one.
class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest() { application(); }

    MainWizard& makeWindow(SettingsFile* settings = nullptr) {
        form = std::make_unique<MainWizard>(settings);
        return *form;
    }
    QString sub(const QString& name) const {
        const QString path = root + u'/' + name;
        QDir().mkpath(path);
        return path;
    }
    static QStringList numbered(int count) {
        QStringList names;
        for (int i = 1; i <= count; ++i)
            names << QStringLiteral("p%1.jpg").arg(i, 2, 10, QLatin1Char('0'));
        return names;
    }
    // A window over pics/ holding `names` (JPEGs `width` wide when given), all selected,
    // and the target pane at out/.
    MainWizard& wizardWith(const QStringList& names, int width = 0,
                           SettingsFile* settings = nullptr) {
        makeWindow(settings);
        for (const QString& name : names)
            width ? writePicture(pics + "/" + name, width, width * 3 / 4)
                  : writeFile(pics + "/" + name);
        select(pics, int(names.size()), names);
        EXPECT_TRUE(showFolder(form->targetPane(), out, int(filesIn(out).size())));
        return *form;
    }
    void select(const QString& folder, int count, const QStringList& names) {
        ASSERT_TRUE(showFolder(form->sourcePane(), folder, count));
        for (const QString& name : names)
            ASSERT_TRUE(form->sourcePane().selectName(name)) << name.toStdString();
    }
    void click(std::initializer_list<const char*> names) {
        for (const char* name : names)
            ctl<QAbstractButton>(*form, name)->click();
    }
    // From the first page to Confirm: a thumbnail job, or a copy to `convertTo`, or
    // (with an empty `convertTo`) a rename.
    void toConfirm(const char* convertTo = nullptr) {
        if (convertTo) {
            click({"rbRename", "bNxt1"});
            if (*convertTo) {
                click({"rbCopyConvert"});
                ctl<QComboBox>(*form, "cbConvert")->setCurrentText(convertTo);
            }
            click({"bNxt2"});
        } else {
            click({"bNxt1", "bNxt2", "bNxt3"});
        }
    }
    bool goAndWait() {
        click({"bGO"});
        return QTest::qWaitFor([&] { return !form->isRunning(); }, 60000);
    }
    QString text(const char* label) const { return ctl<QLabel>(*form, label)->text(); }
    bool hidden(const char* name) const { return ctl<QWidget>(*form, name)->isHidden(); }

    QTemporaryDir dir;
    QString root = dir.path();
    QString pics = sub("pics"), out = sub("out");
    ScriptedMessages script;
    std::unique_ptr<MainWizard> form;
};

} // namespace pictorant::uitest
