// The duplicate-name warning: which pair is named, and the window that names it.

#include "WizardSupport.h"

#include "DuplicateNames.h"
#include "DuplicateNamesDialog.h"

namespace pictorant::uitest {
namespace {

struct DupeCase {
    const char* name;
    QStringList selected;
    std::optional<std::pair<QString, QString>> expected;
};

std::optional<std::pair<QString, QString>> pair(const char* a, const char* b) {
    return std::make_pair(QString::fromLatin1(a), QString::fromLatin1(b));
}

TEST(FindDuplicateNames, NamesThePairThatWouldShareAnOutputFile) {
    const DupeCase cases[] = {
        {"same stem, two types", {"MYPIC1.BMP", "MYPIC1.JPG"}, pair("MYPIC1.BMP", "MYPIC1.JPG")},
        {"stems differing in case", {"MYPIC1.BMP", "mypic1.jpg"}, std::nullopt},
        {"four-letter extension has the same stem",
         {"photo.jpeg", "photo.gif"},
         pair("photo.jpeg", "photo.gif")},
        {"the pair sorting last wins",
         {"A.bmp", "A.jpg", "B.bmp", "B.jpg"},
         pair("B.bmp", "B.jpg")},
        {"pair sorting last wins whatever the list order",
         {"B.bmp", "A.bmp", "B.jpg", "A.jpg"},
         pair("B.bmp", "B.jpg")},
        {"names come in list order", {"z.gif", "b.jpg", "a.gif", "b.gif"}, pair("b.jpg", "b.gif")},
        {"a case twin between an equal pair", {"A.jpg", "a.jpg", "A.gif"}, pair("A.jpg", "A.gif")},
        {"a name without a dot", {"README", "README.jpg"}, pair("README", "README.jpg")},
        {"only the last dot counts",
         {"x.tar.gz", "x.tar.jpg", "x.gif"},
         pair("x.tar.gz", "x.tar.jpg")},
        {"single file", {"MYPIC1.BMP"}, std::nullopt},
        {"no files", {}, std::nullopt},
        {"all different", {"a.jpg", "b.jpg", "c.gif"}, std::nullopt},
    };
    for (const DupeCase& c : cases)
        EXPECT_EQ(findDuplicateNames(c.selected), c.expected) << c.name;
}

class DupeWarnWindow : public ::testing::Test {
protected:
    // Declared first, so the application exists before the window is made.
    struct App {
        App() { application(); }
    } app;
    DuplicateNamesDialog window;
};

TEST_F(DupeWarnWindow, LabelNamesThePairCentred) {
    for (const auto& [a, b] : {std::pair<QString, QString>{"a.jpg", "a.gif"},
                               {"AVeryLongFileNameIndeed.jpeg", "AVeryLongFileNameIndeed.gif"}}) {
        window.setPair(a, b);
        EXPECT_EQ(window.Label2->text(), a + " and " + b);
        const int left = window.Label2->x();
        const int right = window.width() - (window.Label2->x() + window.Label2->width());
        EXPECT_LE(std::abs(left - right), 1) << a.toStdString();
    }
}

TEST_F(DupeWarnWindow, EnterAnswersOkAndEscapeOrCloseCancel) {
    const struct {
        const char* name;
        std::function<void(DuplicateNamesDialog&)> act;
        int expected;
    } cases[] = {
        {"Enter", [](DuplicateNamesDialog& w) { QTest::keyClick(&w, Qt::Key_Return); },
         QDialog::Accepted},
        {"Escape", [](DuplicateNamesDialog& w) { QTest::keyClick(&w, Qt::Key_Escape); },
         QDialog::Rejected},
        {"close box", [](DuplicateNamesDialog& w) { w.close(); }, QDialog::Rejected},
        {"Cancel button", [](DuplicateNamesDialog& w) { w.bCancel->click(); }, QDialog::Rejected},
        {"OK button", [](DuplicateNamesDialog& w) { w.bOK->click(); }, QDialog::Accepted},
    };
    for (const auto& c : cases) {
        window.setResult(-1);
        window.show();
        QApplication::setActiveWindow(&window);
        window.bOK->setFocus();
        c.act(window);
        EXPECT_EQ(window.result(), c.expected) << c.name;
        EXPECT_FALSE(window.isVisible()) << c.name;
    }
}

TEST_F(DupeWarnWindow, ShowDuplicateWarningGoesThroughTheMessageService) {
    ScriptedMessages script;
    QString label;
    script.onModal("TForm3", [&](QDialog& d) {
        label = static_cast<DuplicateNamesDialog&>(d).Label2->text();
        return int(QDialog::Accepted);
    });
    script.onModal("TForm3", [](QDialog&) { return int(QDialog::Rejected); });
    EXPECT_TRUE(showDuplicateWarning(window, {"Beach.jpg", "Beach.gif"}));
    EXPECT_EQ(label, "Beach.jpg and Beach.gif");
    EXPECT_FALSE(showDuplicateWarning(window, {"Beach.jpg", "Beach.gif"}));
}

} // namespace
} // namespace pictorant::uitest
