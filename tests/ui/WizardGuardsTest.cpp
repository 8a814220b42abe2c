// The wizard never does what the user did not confirm: a double-click cannot skip a
// page or press GO, a reset cannot leave a stale summary in front of GO, closing the
// window during a run stops it, the same-folder answer decides whether a convert may
// write over its sources, and the plan list shows what GO will write.

#include "WizardSupport.h"

#include "PlanListDialog.h"
#include "settings/SettingsFile.h"

#include <QCryptographicHash>
#include <QImageReader>
#include <QSignalSpy>

namespace pictorant::uitest {
namespace {

using WizardGuards = MainWindowTest;

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A mouse click as the window system delivers it: at a point of the window, reaching
// whatever widget stands there now.
void clickWindowAt(MainWizard& f, const QPoint& at) {
    QTest::mouseClick(f.windowHandle(), Qt::LeftButton, {}, at);
}

QPoint centreOf(MainWizard& f, QWidget* w) {
    return w->mapTo(&f, w->rect().center());
}

// Long enough after a page change for a click to count as a new one.
void waitPastDoubleClick() {
    QTest::qWait(QApplication::doubleClickInterval() + 60);
}

// ---------------------------------------------------------------------------------------
// Double-clicks

struct DoubleClickCase {
    const char* name;
    bool thumbnails;
    int page;      // the page whose Next is double-clicked (0-based)
    int pageAfter; // where one click leads
};

void PrintTo(const DoubleClickCase& c, std::ostream* os) {
    *os << c.name;
}

class DoubleClick : public MainWindowTest, public ::testing::WithParamInterface<DoubleClickCase> {};

GradientButton* nextOf(MainWizard& f, int page) {
    GradientButton* buttons[] = {ctl<GradientButton>(f, "bNxt1"), ctl<GradientButton>(f, "bNxt2"),
                                 ctl<GradientButton>(f, "bNxt3")};
    return buttons[page];
}

TEST_P(DoubleClick, SecondClickLandsOnNothing) {
    const DoubleClickCase c = GetParam();
    MainWizard& f = makeWindow();
    const QString pics = sub("pics");
    const QString out = sub("out");
    for (const char* name : {"a.jpg", "b.jpg"})
        writeJpeg(pics + "/" + name, 40, 30);
    select(pics, 2, {"a.jpg", "b.jpg"});
    ASSERT_TRUE(showFolder(f.targetPane(), out, 0));
    (c.thumbnails ? ctl<QRadioButton>(f, "rbThumbs") : ctl<QRadioButton>(f, "rbRename"))->click();
    f.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));

    // Walk to the page by code, then let the page's Next settle as a user would see it.
    for (int page = 0; page < c.page; ++page)
        nextOf(f, page)->click();
    ASSERT_EQ(int(f.currentPage()), c.page);
    waitPastDoubleClick();

    GradientButton* next = nextOf(f, c.page);
    const QPoint at = centreOf(f, next);
    clickWindowAt(f, at);
    ASSERT_EQ(int(f.currentPage()), c.pageAfter) << "the first click is an ordinary Next";
    QTest::qWait(50);
    clickWindowAt(f, at);
    EXPECT_EQ(int(f.currentPage()), c.pageAfter) << "the second click moved the wizard again";
    EXPECT_TRUE(ctl<QLabel>(f, "lDone")->isHidden());
    EXPECT_FALSE(f.isRunning());
    EXPECT_TRUE(filesIn(out).isEmpty()) << filesIn(out).join(",").toStdString();
    EXPECT_EQ(filesIn(pics), (QStringList{"a.jpg", "b.jpg"}));

    // A deliberate click after a pause works on the button now in that place.
    waitPastDoubleClick();
    clickWindowAt(f, at);
    ASSERT_TRUE(waitUntil([&] { return !f.isRunning(); }));
    if (c.pageAfter == 3) {
        EXPECT_EQ(f.currentPage(), WizardPage::Processing);
        EXPECT_FALSE(ctl<QLabel>(f, "lDone")->isHidden()) << "GO ran";
    } else {
        EXPECT_EQ(int(f.currentPage()), c.pageAfter + 1);
    }
}

INSTANTIATE_TEST_SUITE_P(Pages, DoubleClick,
                         ::testing::Values(DoubleClickCase{"ThumbnailsPage1", true, 0, 1},
                                           DoubleClickCase{"ThumbnailsPage2", true, 1, 2},
                                           DoubleClickCase{"ThumbnailsPage3LandsOnGo", true, 2, 3},
                                           DoubleClickCase{"RenamePage2LandsOnGo", false, 1, 3}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(WizardGuards, ButtonIgnoresPressesOnlyWhileItHasJustAppeared) {
    MainWizard& f = makeWindow();
    f.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
    EXPECT_TRUE(ctl<GradientButton>(f, "bNxt1")->justAppeared());
    waitPastDoubleClick();
    EXPECT_FALSE(ctl<GradientButton>(f, "bNxt1")->justAppeared());
    // Hidden and shown again, as a page change does.
    ctl<QWidget>(f, "tsIFS")->hide();
    ctl<QWidget>(f, "tsIFS")->show();
    EXPECT_TRUE(ctl<GradientButton>(f, "bNxt1")->justAppeared());
}

// ---------------------------------------------------------------------------------------
// Reset on a later page

class ResetOnPage : public MainWindowTest, public ::testing::WithParamInterface<int> {};

TEST_P(ResetOnPage, WizardStartsAgainAndGoRunsNothingStale) {
    const int page = GetParam();
    MainWizard& f = makeWindow();
    const QString pics = sub("pics");
    const QString out = sub("out");
    for (const char* name : {"a.jpg", "b.jpg"})
        writeJpeg(pics + "/" + name, 200, 100);
    select(pics, 2, {"a.jpg", "b.jpg"});
    ASSERT_TRUE(showFolder(f.targetPane(), out, 0));
    ctl<QLineEdit>(f, "eWidth")->setText("50");
    ctl<QLineEdit>(f, "eHeight")->setText("40");
    ctl<QLineEdit>(f, "eQualThumb")->setText("Small");
    GradientButton* nexts[] = {ctl<GradientButton>(f, "bNxt1"), ctl<GradientButton>(f, "bNxt2"),
                               ctl<GradientButton>(f, "bNxt3")};
    for (int i = 0; i < page; ++i)
        nexts[i]->click();
    ASSERT_EQ(int(f.currentPage()), page);

    script.answer("resetDefaults", MessageAnswer::Yes);
    ctl<QToolButton>(f, "sbDefaults")->click();
    EXPECT_EQ(f.currentPage(), WizardPage::InputSelection);
    EXPECT_TRUE(f.selectedFiles().isEmpty());
    EXPECT_EQ(ctl<QLabel>(f, "lMFL")->text(), "Source Files: 0");
    EXPECT_EQ(ctl<QListWidget>(f, "lbMFL")->count(), 0);
    EXPECT_TRUE(ctl<QLabel>(f, "lDone")->isHidden());
    EXPECT_TRUE(filesIn(out).isEmpty());

    // Walked again, the summary shows the reset values and GO writes exactly those.
    select(pics, 2, {"a.jpg", "b.jpg"});
    ASSERT_TRUE(showFolder(f.targetPane(), out, 0));
    ctl<GradientButton>(f, "bNxt1")->click();
    ctl<GradientButton>(f, "bNxt2")->click();
    ctl<GradientButton>(f, "bNxt3")->click();
    ASSERT_EQ(f.currentPage(), WizardPage::Confirm);
    EXPECT_EQ(ctl<QLabel>(f, "lInDir")->text(), pics);
    EXPECT_EQ(ctl<QLabel>(f, "lOutDir")->text(), out);
    EXPECT_EQ(ctl<QLabel>(f, "lWVal")->text(), "96");
    EXPECT_EQ(ctl<QLabel>(f, "lHVal")->text(), "96");
    EXPECT_TRUE(ctl<QLabel>(f, "lNames")->text().contains("Thumb"))
        << ctl<QLabel>(f, "lNames")->text().toStdString();
    const JobSettings job = f.currentJob();
    EXPECT_EQ(job.inputDir, ctl<QLabel>(f, "lInDir")->text().toStdString());
    EXPECT_EQ(job.outputDir, ctl<QLabel>(f, "lOutDir")->text().toStdString());
    EXPECT_EQ(job.thumbWidth, ctl<QLabel>(f, "lWVal")->text().toStdString());
    EXPECT_EQ(job.thumbHeight, ctl<QLabel>(f, "lHVal")->text().toStdString());
    ASSERT_TRUE(goAndWait(f));
    EXPECT_EQ(ctl<QLabel>(f, "lDone")->text(), "Operation complete. 2 files processed.");
    EXPECT_EQ(filesIn(out), (QStringList{"Thumb001.jpg", "Thumb002.jpg"}));
    EXPECT_EQ(QImageReader(out + "/Thumb001.jpg").size(), QSize(96, 96));
}

INSTANTIATE_TEST_SUITE_P(LaterPages, ResetOnPage, ::testing::Values(1, 2, 3),
                         [](const auto& info) { return "Page" + std::to_string(info.param + 1); });

TEST_F(WizardGuards, ResetOnTheFirstPageKeepsThePage) {
    MainWizard& f = makeWindow();
    script.answer("resetDefaults", MessageAnswer::Yes);
    ctl<QToolButton>(f, "sbDefaults")->click();
    EXPECT_EQ(f.currentPage(), WizardPage::InputSelection);
    script.answer("resetDefaults", MessageAnswer::Cancel);
    ctl<QToolButton>(f, "sbDefaults")->click();
    EXPECT_EQ(f.currentPage(), WizardPage::InputSelection);
}

// ---------------------------------------------------------------------------------------
// Closing during a run

struct CloseCase {
    const char* name;
    bool thumbnails;
};

void PrintTo(const CloseCase& c, std::ostream* os) {
    *os << c.name;
}

class CloseDuringRun : public MainWindowTest, public ::testing::WithParamInterface<CloseCase> {};

TEST_P(CloseDuringRun, StopsAfterTheFileInHandThenClosesAndWritesSettings) {
    const CloseCase c = GetParam();
    const QString ini = root + "/Pictorant.ini";
    SettingsFile settings(ini.toStdString());
    form = std::make_unique<MainWizard>(&settings);
    MainWizard& f = *form;
    const QString pics = sub("pics");
    const QString out = sub("out");
    QStringList names;
    for (int i = 1; i <= 6; ++i) {
        names << QStringLiteral("p%1.jpg").arg(i);
        writeJpeg(pics + "/" + names.back(), 120, 90);
    }
    select(pics, 6, names);
    ASSERT_TRUE(showFolder(f.targetPane(), out, 0));
    if (!c.thumbnails) {
        ctl<QRadioButton>(f, "rbRename")->click();
        ctl<GradientButton>(f, "bNxt1")->click();
        ctl<QRadioButton>(f, "rbCopyConvert")->click();
        ctl<QComboBox>(f, "cbConvert")->setCurrentText("No Conversion");
        ctl<GradientButton>(f, "bNxt2")->click();
    } else {
        ctl<GradientButton>(f, "bNxt1")->click();
        ctl<GradientButton>(f, "bNxt2")->click();
        ctl<GradientButton>(f, "bNxt3")->click();
    }
    ASSERT_EQ(f.currentPage(), WizardPage::Confirm);
    f.show();
    QSignalSpy closed(&f, &MainWizard::closed);

    // The close box is pressed while file 2 is in hand; it reaches the window when the
    // run lets events through after that file.
    QObject::connect(ctl<GradientProgressBar>(f, "pBar"), &QProgressBar::valueChanged, &f,
                     [&](int value) {
                         if (value == 2)
                             QMetaObject::invokeMethod(&f, "close", Qt::QueuedConnection);
                     });
    ASSERT_TRUE(goAndWait(f));
    EXPECT_EQ(ctl<GradientProgressBar>(f, "pBar")->value(), 2);
    EXPECT_EQ(ctl<QLabel>(f, "lDone")->text(), "Operation Incomplete. 2 files processed.");
    EXPECT_EQ(filesIn(out).size(), 2) << filesIn(out).join(",").toStdString();
    EXPECT_EQ(closed.count(), 1) << "the window closes once the run has stopped";
    EXPECT_FALSE(f.isVisible());
    EXPECT_FALSE(f.isRunning());

    form.reset(); // the program's exit
    SettingsFile written(ini.toStdString());
    EXPECT_EQ(written.readText("Directories", "Output", ""), out.toStdString());
    EXPECT_EQ(written.readText("Directories", "Input", ""), pics.toStdString());
}

INSTANTIATE_TEST_SUITE_P(Runs, CloseDuringRun,
                         ::testing::Values(CloseCase{"Thumbnails", true}, CloseCase{"Copy", false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(WizardGuards, CloseOutsideARunClosesAtOnce) {
    MainWizard& f = makeWindow();
    f.show();
    QSignalSpy closed(&f, &MainWizard::closed);
    EXPECT_TRUE(f.close());
    EXPECT_EQ(closed.count(), 1);
}

// ---------------------------------------------------------------------------------------
// The same-folder answer and the plan

// Walks a copy/convert job from page 1 to page 2's Next with the given folders.
void toCopyConvertNext(MainWizard& f, const QString& convertTo) {
    ctl<QRadioButton>(f, "rbRename")->click();
    ctl<GradientButton>(f, "bNxt1")->click();
    ctl<QRadioButton>(f, "rbCopyConvert")->click();
    ctl<QComboBox>(f, "cbConvert")->setCurrentText(convertTo);
    ctl<GradientButton>(f, "bNxt2")->click();
}

struct SameFolderCase {
    const char* name;
    bool sameFolder;
    MessageAnswer answer; // to the same-folder question, when it is asked
    int pageAfter;
    bool convertInPlace;
};

void PrintTo(const SameFolderCase& c, std::ostream* os) {
    *os << c.name;
}

class SameFolderAnswer : public MainWindowTest,
                         public ::testing::WithParamInterface<SameFolderCase> {};

TEST_P(SameFolderAnswer, DecidesWhetherAConvertMayWriteOverItsSources) {
    const SameFolderCase c = GetParam();
    MainWizard& f = makeWindow();
    const QString pics = sub("pics");
    const QString out = sub("out");
    writeJpeg(pics + "/a.jpg", 64, 48);
    select(pics, 1, {"a.jpg"});
    ASSERT_TRUE(showFolder(f.targetPane(), c.sameFolder ? pics : out, c.sameFolder ? 1 : 0));
    ctl<QComboBox>(f, "cbNameOption")->setCurrentIndex(int(NamingOption::PreName));
    ctl<QLineEdit>(f, "eQualImage")->setText("");
    if (c.sameFolder)
        script.answer("sameFolders", c.answer);
    toCopyConvertNext(f, "jpg");
    EXPECT_EQ(script.ids().contains("sameFolders"), c.sameFolder);
    ASSERT_EQ(int(f.currentPage()), c.pageAfter);
    EXPECT_EQ(f.currentJob().convertInPlace, c.convertInPlace);
    if (c.pageAfter != 3)
        return;

    const QByteArray before = fileBytes(pics + "/a.jpg");
    ASSERT_TRUE(goAndWait(f));
    EXPECT_FALSE(script.ids().contains("sourceClash")) << script.ids().join(",").toStdString();
    EXPECT_EQ(ctl<QLabel>(f, "lDone")->text(), "Operation complete. 1 files processed.");
    const QString written = (c.sameFolder ? pics : out) + "/a.jpg";
    EXPECT_EQ(QImageReader(written).size(), QSize(64, 48));
    if (!c.sameFolder) {
        EXPECT_EQ(fileBytes(pics + "/a.jpg"), before) << "the source is untouched";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Answers, SameFolderAnswer,
    ::testing::Values(SameFolderCase{"SameFolderContinue", true, MessageAnswer::Yes, 3, true},
                      SameFolderCase{"SameFolderNo", true, MessageAnswer::No, 1, false},
                      SameFolderCase{"OtherFolder", false, MessageAnswer::No, 3, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WizardGuards, AnswerIsAskedAgainAfterGoingBack) {
    MainWizard& f = makeWindow();
    const QString pics = sub("pics");
    const QString out = sub("out");
    writeJpeg(pics + "/a.jpg", 20, 20);
    select(pics, 1, {"a.jpg"});
    ASSERT_TRUE(showFolder(f.targetPane(), pics, 1));
    script.answer("sameFolders", MessageAnswer::Yes);
    toCopyConvertNext(f, "gif");
    ASSERT_EQ(f.currentPage(), WizardPage::Confirm);
    EXPECT_TRUE(f.currentJob().convertInPlace);
    // Back, another output folder: the earlier answer no longer holds.
    ctl<GradientButton>(f, "bBck3")->click();
    ASSERT_TRUE(showFolder(f.targetPane(), out, 0));
    ctl<GradientButton>(f, "bNxt2")->click();
    ASSERT_EQ(f.currentPage(), WizardPage::Confirm);
    EXPECT_FALSE(f.currentJob().convertInPlace);
}

// Opens the plan list and hands it to `look` while it is shown.
void showNames(MainWizard& f, ScriptedMessages& script,
               const std::function<void(const PlanListDialog&)>& look) {
    bool shown = false;
    script.onModal("planList", [&](QDialog& d) {
        shown = true;
        auto* list = dynamic_cast<PlanListDialog*>(&d);
        EXPECT_TRUE(list);
        if (list)
            look(*list);
        return int(QDialog::Accepted);
    });
    ctl<QPushButton>(f, "bShowNames")->click();
    EXPECT_TRUE(shown) << "the plan list was not shown";
}

TEST_F(WizardGuards, ShowNamesListsTheNamesTheRunThenWrites) {
    MainWizard& f = makeWindow();
    const QString pics = sub("pics");
    const QString out = sub("out");
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg"})
        writeJpeg(pics + "/" + name, 100, 80);
    writeFile(out + "/Thumb002.jpg", "kept as it is");
    select(pics, 3, {"a.jpg", "b.jpg", "c.jpg"});
    ASSERT_TRUE(showFolder(f.targetPane(), out, 1));
    ctl<GradientButton>(f, "bNxt1")->click();
    ctl<GradientButton>(f, "bNxt2")->click();
    ctl<GradientButton>(f, "bNxt3")->click();
    ASSERT_EQ(f.currentPage(), WizardPage::Confirm);
    ctl<QCheckBox>(f, "cbOverwrite")->setChecked(false);

    std::vector<PlanRow> rows;
    showNames(f, script, [&](const PlanListDialog& list) {
        rows = list.rows();
        EXPECT_EQ(list.refusalShown(), QString());
        EXPECT_TRUE(list.folderShown().endsWith(out)) << list.folderShown().toStdString();
        EXPECT_FALSE(list.summaryShown().isEmpty());
        for (int i = 0; i < int(list.rows().size()); ++i)
            EXPECT_FALSE(list.rowIsMarked(i)) << i;
    });
    EXPECT_EQ(f.currentPage(), WizardPage::Confirm) << "the list changes nothing";
    EXPECT_TRUE(QDir(out).entryList(QDir::Files) == QStringList{"Thumb002.jpg"});
    ASSERT_EQ(rows.size(), 3u);
    QStringList sources;
    QStringList written;
    for (const PlanRow& row : rows) {
        sources << row.source;
        if (!row.action.startsWith("skipped"))
            written << row.target;
    }
    EXPECT_EQ(sources, (QStringList{"a.jpg", "b.jpg", "c.jpg"}));
    EXPECT_EQ(rows[1].target, "Thumb002.jpg");
    EXPECT_TRUE(rows[1].action.startsWith("skipped")) << rows[1].action.toStdString();
    EXPECT_EQ(written, (QStringList{"Thumb001.jpg", "Thumb003.jpg"}));

    ASSERT_TRUE(goAndWait(f));
    EXPECT_EQ(ctl<QLabel>(f, "lDone")->text(), "Operation complete. 3 files processed.");
    EXPECT_EQ(filesIn(out), (QStringList{"Thumb001.jpg", "Thumb002.jpg", "Thumb003.jpg"}));
    EXPECT_EQ(fileBytes(out + "/Thumb002.jpg"), QByteArray("kept as it is"));
    for (const QString& name : written)
        EXPECT_TRUE(QImageReader(out + "/" + name).canRead()) << name.toStdString();
}

struct ClashCase {
    const char* name;
    bool thumbnails;
    const char* qualifier;
    const char* seqStart;
    NamingOption naming;
};

void PrintTo(const ClashCase& c, std::ostream* os) {
    *os << c.name;
}

class SourceClash : public MainWindowTest, public ::testing::WithParamInterface<ClashCase> {};

TEST_P(SourceClash, IsMarkedInTheListAndGoWritesNothing) {
    const ClashCase c = GetParam();
    MainWizard& f = makeWindow();
    const QString pics = sub("pics");
    for (const char* name : {"p1.jpg", "p2.jpg"})
        writeJpeg(pics + "/" + name, 60, 40);
    const QByteArray p1 = fileBytes(pics + "/p1.jpg");
    const QByteArray p2 = fileBytes(pics + "/p2.jpg");
    select(pics, 2, {"p1.jpg", "p2.jpg"});
    ASSERT_TRUE(showFolder(f.targetPane(), pics, 2));
    ctl<QComboBox>(f, "cbNameOption")->setCurrentIndex(int(c.naming));
    ctl<QLineEdit>(f, "eSeq")->setText(c.seqStart);
    script.answer("sameFolders", MessageAnswer::Yes);
    if (c.thumbnails) {
        ctl<QLineEdit>(f, "eQualThumb")->setText(c.qualifier);
        ctl<GradientButton>(f, "bNxt1")->click();
        ctl<GradientButton>(f, "bNxt2")->click();
        ctl<GradientButton>(f, "bNxt3")->click();
    } else {
        ctl<QLineEdit>(f, "eQualImage")->setText(c.qualifier);
        toCopyConvertNext(f, "jpg");
    }
    ASSERT_EQ(f.currentPage(), WizardPage::Confirm);

    showNames(f, script, [&](const PlanListDialog& list) {
        EXPECT_FALSE(list.refusalShown().isEmpty()) << "the refusal is shown";
        bool marked = false;
        for (int i = 0; i < int(list.rows().size()); ++i)
            marked = marked || (list.rows()[i].marked() && list.rowIsMarked(i));
        EXPECT_TRUE(marked) << "a clashing row is marked";
    });

    ASSERT_TRUE(goAndWait(f));
    EXPECT_TRUE(script.ids().contains("sourceClash")) << script.ids().join(",").toStdString();
    EXPECT_FALSE(script.ids().contains("errorDuringProcessing"));
    EXPECT_EQ(f.currentPage(), WizardPage::Processing);
    EXPECT_EQ(ctl<QLabel>(f, "lDone")->text(), "Operation Incomplete. 0 files processed.");
    EXPECT_FALSE(ctl<GradientButton>(f, "bStartOver")->isHidden());
    EXPECT_TRUE(ctl<GradientButton>(f, "bCancelOp")->isHidden());
    EXPECT_FALSE(f.isRunning());
    EXPECT_EQ(filesIn(pics), (QStringList{"p1.jpg", "p2.jpg"}));
    EXPECT_EQ(fileBytes(pics + "/p1.jpg"), p1);
    EXPECT_EQ(fileBytes(pics + "/p2.jpg"), p2);
}

INSTANTIATE_TEST_SUITE_P(
    Jobs, SourceClash,
    ::testing::Values(
        // p1.jpg would become p2.jpg before p2.jpg is read.
        ClashCase{"ConvertOntoTheNextSource", false, "p", "2", NamingOption::PreSeq},
        // A thumbnail never replaces its own source, whatever the answer.
        ClashCase{"ThumbnailOntoItsOwnSource", true, "", "001", NamingOption::PreName}),
    [](const auto& info) { return std::string(info.param.name); });

// The rows of hand-made plans: which are marked, and why.
struct RowsCase {
    const char* name;
    std::vector<PlannedFile> files;
    bool refusal;
    std::vector<bool> marked;
    int actionRow; // a row whose action text is checked, or -1
    const char* action;
};

void PrintTo(const RowsCase& c, std::ostream* os) {
    *os << c.name;
}

class PlanRows : public ::testing::TestWithParam<RowsCase> {};

PlannedFile planned(const char* source, const char* target, PlannedAction action,
                    const char* reason = "") {
    return {source, target, std::string("/f/") + target, action, reason};
}

TEST_P(PlanRows, MarkRefusedFilesAndTheFilesARefusalIsAbout) {
    const RowsCase& c = GetParam();
    RunPlan plan;
    plan.files = c.files;
    if (c.refusal)
        plan.refusal = "Nothing was done.";
    const std::vector<PlanRow> rows = planRows(plan);
    ASSERT_EQ(rows.size(), c.files.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].source.toStdString(), c.files[i].sourceName) << i;
        EXPECT_EQ(rows[i].target.toStdString(), c.files[i].targetName) << i;
        EXPECT_EQ(rows[i].marked(), c.marked[i]) << "row " << i;
    }
    if (c.actionRow >= 0) {
        EXPECT_EQ(rows[c.actionRow].action, QString::fromUtf8(c.action));
    }
    EXPECT_EQ(planRefusalText(plan).isEmpty(), !c.refusal);
}

INSTANTIATE_TEST_SUITE_P(
    Plans, PlanRows,
    ::testing::Values(RowsCase{"NothingMarkedWithoutARefusal",
                               {planned("a.jpg", "b.jpg", PlannedAction::New),
                                planned("b.jpg", "c.jpg", PlannedAction::Replaces)},
                               false,
                               {false, false},
                               0,
                               "new"},
                      RowsCase{"ClashesAreMarkedWithWhatTheyWouldReplace",
                               {planned("p1.jpg", "p2.jpg", PlannedAction::Clash,
                                        "would replace p2.jpg before it is read"),
                                planned("p2.jpg", "p3.jpg", PlannedAction::New),
                                planned("p3.jpg", "p3.jpg", PlannedAction::Unchanged)},
                               true,
                               {true, false, false},
                               0,
                               "clash: would replace p2.jpg before it is read"},
                      RowsCase{"RefusedFileIsMarkedWithItsReason",
                               {planned("a.jpg", "a/b.jpg", PlannedAction::Refused,
                                        "separator in the name"),
                                planned("b.jpg", "Thumb.jpg", PlannedAction::Skipped)},
                               false,
                               {true, false},
                               0,
                               "refused: separator in the name"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace pictorant::uitest
