// The photo options in the window: a lossless turn of a picture whose sides are not
// whole blocks asks before trimming, and No leaves the file as it was.

#include "tests/ui/WizardSupport.h"
#include "ui/PreviewWindow.h"

namespace pictorant::uitest {
namespace {

class PhotoOptionsWindow : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        makeWindow();
        form->sideWindows().preview = &preview;
        form->show();
    }
    PreviewWindow preview;
};

TEST_F(PhotoOptionsWindow, ALosslessTurnAsksBeforeTrimmingAnEdge) {
    writeJpeg(pics + "/odd.jpg", 60, 44);
    ASSERT_TRUE(showFolder(form->sourcePane(), pics, 1));
    ASSERT_TRUE(form->sourcePane().selectName("odd.jpg"));
    QListView* list = form->sourcePane().list();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualRect(list->model()->index(0, 0, list->rootIndex())).center());
    ctl<QAction>(*form, "LosslessRotation1")->setChecked(true);
    const QByteArray before = fileBytes(pics + "/odd.jpg");
    for (const MessageAnswer trim : {MessageAnswer::No, MessageAnswer::Yes}) {
        script.answer("overwriteOriginal", MessageAnswer::Yes);
        script.answer("trimEdge", trim);
        ctl<QAction>(*form, "RotateImage90degreeclockwise1")->trigger();
        EXPECT_EQ(script.ids().last(), "trimEdge");
        EXPECT_EQ(fileBytes(pics + "/odd.jpg") == before, trim == MessageAnswer::No);
    }
    // Rows that do not fill a block are cut off; the columns become its rows.
    EXPECT_EQ(QImageReader(pics + "/odd.jpg").size(), QSize(32, 60));
    EXPECT_TRUE(form->settingsFromControls().losslessRotation);
}

} // namespace
} // namespace pictorant::uitest
