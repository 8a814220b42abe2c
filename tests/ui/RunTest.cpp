// GO and the Processing page: Cancel between files, closing the window during a run, and
// runs that fail (whole runs by keys, closing line and OK! are in the keyboard tests).

#include "tests/ui/WizardSupport.h"

#include "settings/SettingsFile.h"

namespace pictorant::uitest {
namespace {

using GoRun = MainWindowTest;

// Cancel (by its key, Escape) pressed while file 3 is in hand stops after that file;
// during the run only the Processing page can be reached.
TEST_F(GoRun, CancelAfterFileThreeOfTwelveStopsBetweenFiles) {
    MainWizard& f = wizardWith(numbered(12));
    toConfirm("");
    f.show(); // the keys reach a shown window
    QString lineAtCancel;
    std::vector<int> tabsSeen;
    auto* bar = ctl<GradientProgressBar>(f, "pBar");
    QObject::connect(bar, &QProgressBar::valueChanged, bar, [&](int value) {
        int visible = 0;
        for (int i = 0; i < 5; ++i)
            visible += ctl<QTabWidget>(f, "pcMain")->isTabVisible(i) ? 1 : 0;
        tabsSeen.push_back(visible);
        if (value == 3) {
            lineAtCancel = text("lProc");
            QMetaObject::invokeMethod(
                &f, [&f] { QTest::keyClick(&f, Qt::Key_Escape); },
                Qt::QueuedConnection); // Escape acts as Cancel
        }
    });
    ASSERT_TRUE(goAndWait());
    EXPECT_EQ(lineAtCancel, "3 of 12");
    EXPECT_EQ(text("lProc"), "3 of 12");
    EXPECT_EQ(text("lDone"), "Operation Incomplete. 3 files processed.");
    EXPECT_EQ(std::count(tabsSeen.begin(), tabsSeen.end(), 1), int(tabsSeen.size()));
    const QStringList left = filesIn(pics);
    EXPECT_EQ(left.filter("Image").size(), 3) << left.join(",").toStdString();
    EXPECT_TRUE(left.contains("p04.jpg"));
    EXPECT_FALSE(left.contains("p03.jpg"));
}

// The close box reaches the window while file 2 is in hand: the run stops after it, the
// window closes once the run has stopped, and the settings are written at exit.
TEST_F(GoRun, CloseDuringARunStopsAfterTheFileInHandThenClosesAndWritesSettings) {
    const QString ini = root + "/Pictorant.ini";
    SettingsFile settings(ini.toStdString());
    form = std::make_unique<MainWizard>(&settings);
    MainWizard& f = *form;
    for (const QString& name : numbered(6))
        writeJpeg(pics + "/" + name, 120, 90);
    select(pics, 6, numbered(6));
    ASSERT_TRUE(showFolder(f.targetPane(), out, 0));
    toConfirm();
    ASSERT_EQ(f.currentPage(), WizardPage::Confirm);
    f.show();
    QSignalSpy closed(&f, &MainWizard::closed);
    QObject::connect(ctl<GradientProgressBar>(f, "pBar"), &QProgressBar::valueChanged, &f,
                     [&](int value) {
                         if (value == 2)
                             QMetaObject::invokeMethod(&f, "close", Qt::QueuedConnection);
                     });
    click({"bGO"});
    ASSERT_TRUE(f.isRunning()) << "GO returns at once, the run works on";
    ASSERT_TRUE(waitUntil([&] { return !f.isRunning(); }, 60000));
    EXPECT_EQ(text("lDone"), "Operation Incomplete. 2 files processed.");
    EXPECT_EQ(filesIn(out).size(), 2) << filesIn(out).join(",").toStdString();
    EXPECT_EQ(closed.count(), 1);
    EXPECT_FALSE(f.isVisible());

    form.reset(); // the program's exit
    SettingsFile written(ini.toStdString());
    EXPECT_EQ(written.readText("Directories", "Output", ""), out.toStdString());
    EXPECT_EQ(written.readText("Directories", "Input", ""), pics.toStdString());
}

// A run that fails ends with its message and the closing line and writes nothing: a
// sequence start that is no number, and a size beyond the pixel cap (lowered here, so a
// lost refusal makes a small picture; the size boxes are read at GO).
TEST_F(GoRun, ARefusedOrFailedRunSaysWhyAndWritesNothing) {
    const std::int64_t cap = MaxPicturePixels();
    SetMaxPicturePixels(1 << 20);
    for (bool thumbnails : {false, true}) {
        ScriptedMessages local;
        MainWizard& f = wizardWith({"a.jpg"}, 64);
        ctl<QLineEdit>(f, "eSeq")->setText(thumbnails ? "001" : "one");
        ctl<QLineEdit>(f, "eWidth")->setText("2000");
        ctl<QLineEdit>(f, "eHeight")->setText("1000");
        thumbnails ? toConfirm() : toConfirm("");
        ASSERT_TRUE(goAndWait());
        EXPECT_EQ(local.last().text,
                  thumbnails ? "Thumbnail size too large: 2000 x 1000 (at most 65535 pixels a "
                               "side and 1048576 pixels in all)."
                             : "Error during processing!");
        EXPECT_EQ(text("lDone"), "Operation Incomplete. 0 files processed.");
        EXPECT_FALSE(hidden("bStartOver"));
        EXPECT_EQ(filesIn(pics) + filesIn(out), QStringList{"a.jpg"});
    }
    SetMaxPicturePixels(cap);
}

} // namespace
} // namespace pictorant::uitest
