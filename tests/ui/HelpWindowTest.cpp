#include "HelpWindow.h"
#include "SideWindowsScript.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTreeWidget>

namespace pictorant {
namespace {

using sidetest::AppGuard;

TEST(HelpContents, TakesHeadingsWithAnAnchorInOrderAndAsTheReaderSeesThem) {
    const QString html = R"(<h1 id="top">Pictorant <i>Help</i></h1><p>x</p>
        <H2 class="a" ID="pages">The  wizard
        pages</H2><h3 id="in">Input &amp; output</h3><h2>No anchor</h2>
        <h4 id="deep">Too deep</h4><h2 id='single'>Single</h2><h2 id="last">Last</h2>)";
    const QList<HelpTopic> expected{{1, "Pictorant Help", "top"},
                                    {2, "The wizard pages", "pages"},
                                    {3, "Input & output", "in"},
                                    {2, "Last", "last"}};
    EXPECT_EQ(helpContents(html), expected);
    EXPECT_TRUE(helpContents("<p>no headings</p>").isEmpty());
}

class Help : public ::testing::Test {
protected:
    AppGuard app;
    HelpWindow window;
};

TEST_F(Help, ShowsTheDocumentWithItsContentsNested) {
    window.openFile(PICTORANT_HELP_DOCUMENT);
    EXPECT_TRUE(window.browser()->toPlainText().contains("Delete to Recycle Bin"));
    ASSERT_EQ(window.contents()->topLevelItemCount(), 1);
    QTreeWidgetItem* top = window.contents()->topLevelItem(0);
    EXPECT_EQ(top->text(0), "Pictorant Help");
    ASSERT_GE(top->childCount(), 4);
    EXPECT_EQ(top->child(0)->text(0), "The wizard pages");
    EXPECT_GE(top->child(0)->childCount(), 4) << "the pages nest under their heading";
}

TEST_F(Help, ClickingATopicScrollsTheDocumentToIt) {
    window.resize(500, 200);
    window.show();
    window.openFile(PICTORANT_HELP_DOCUMENT);
    QTreeWidgetItem* top = window.contents()->topLevelItem(0);
    ASSERT_TRUE(top);
    QTreeWidgetItem* last = top->child(top->childCount() - 1);
    QScrollBar* bar = window.browser()->verticalScrollBar();
    EXPECT_EQ(bar->value(), 0);
    emit window.contents()->itemClicked(last, 0);
    EXPECT_GT(bar->value(), 0);
}

TEST_F(Help, HelpButtonFindsTheDocumentInTheProgramsFolderWhateverTheWorkingFolder) {
    QTemporaryDir elsewhere;
    QFile decoy(elsewhere.filePath(helpFileName));
    ASSERT_TRUE(decoy.open(QIODevice::WriteOnly));
    decoy.write("<h1 id=\"decoy\">Decoy</h1>");
    decoy.close();
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(elsewhere.path()));
    showProgramHelp(window);
    QDir::setCurrent(before);
    EXPECT_EQ(window.filePath(), QCoreApplication::applicationDirPath() + "/" + helpFileName);
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(window.browser()->toPlainText().contains("Delete to Recycle Bin"))
        << "the document installed beside the program";
}

TEST_F(Help, MissingFileIsSaidInTheWindow) {
    QTemporaryDir dir;
    window.openFile(helpFilePath(dir.path()));
    EXPECT_TRUE(window.browser()->toPlainText().contains("could not be opened"));
    EXPECT_EQ(window.contents()->topLevelItemCount(), 0);
}

} // namespace
} // namespace pictorant
