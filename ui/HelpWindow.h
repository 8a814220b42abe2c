#pragma once

#include <QList>
#include <QString>
#include <QWidget>

class QLabel;
class QTextBrowser;
class QTreeWidget;
class QTreeWidgetItem;

namespace pictorant {

// The help document's file name, among the program's data (programDataFile).
inline constexpr const char* helpFileName = "Pictorhelp.htm";

// The help document of the program in `programFolder` (the executable's folder, never
// the working one): ../share/pictorant/, else beside the program.
QString helpFilePath(const QString& programFolder);

// One heading of the help document: its level (1 to 3), text and anchor.
struct HelpTopic {
    int level = 1;
    QString title;
    QString anchor;
    bool operator==(const HelpTopic&) const = default;
};

// The headings (h1 to h3) of an HTML text that carry an id, in document order.
QList<HelpTopic> helpContents(const QString& html);

class HelpWindow;

// The help button: shows the help document of the program's folder in `window`, whatever
// the working folder, and brings the window to the front without waiting for it.
void showProgramHelp(HelpWindow& window);

// A help window: the document's contents beside the document itself.
class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // Loads `path` and shows its contents; a missing file is said in the window itself.
    void openFile(const QString& path);
    // Shows the topic with that anchor.
    void showTopic(const QString& anchor);

    QString filePath() const { return path_; }
    QTreeWidget* contents() const { return contents_; }
    QTextBrowser* browser() const { return browser_; }

private:
    void contentsItemClicked(QTreeWidgetItem* item);

    QString path_;
    QTreeWidget* contents_;
    QTextBrowser* browser_;
};

} // namespace pictorant
