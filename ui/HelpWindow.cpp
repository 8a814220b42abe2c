#include "ui/HelpWindow.h"

#include "settings/SettingsLocation.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QScreen>
#include <QSplitter>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>

namespace pictorant {

QString helpFilePath(const QString& programFolder) {
    return QString::fromStdString(
        programDataFile(programFolder.toStdString(), helpFileName).string());
}

QList<HelpTopic> helpContents(const QString& html) {
    static const QRegularExpression heading(
        R"re(<h([1-3])\b[^>]*\bid\s*=\s*"([^"]+)"[^>]*>(.*?)</h\1\s*>)re",
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    QList<HelpTopic> topics;
    for (auto it = heading.globalMatch(html); it.hasNext();) {
        const auto match = it.next();
        QTextDocument text;
        // Tags out, entities decoded, blanks folded: the heading as the reader sees it.
        text.setHtml(match.captured(3));
        topics.append(
            {match.captured(1).toInt(), text.toPlainText().simplified(), match.captured(2)});
    }
    return topics;
}

void showProgramHelp(HelpWindow& window) {
    const bool first = !window.isVisible() && !window.testAttribute(Qt::WA_Moved);
    window.openFile(helpFilePath(QCoreApplication::applicationDirPath()));
    // Beside the main window (its parent) the first time, not at the screen's corner.
    // On the side with more room, as far out as the screen allows.
    if (first && window.parentWidget()) {
        const QRect main = window.parentWidget()->window()->frameGeometry();
        const QRect screen = window.parentWidget()->screen()->availableGeometry();
        const QSize size = window.frameGeometry().size();
        const bool right = screen.right() - main.right() >= main.left() - screen.left();
        const int x = right ? main.right() + 8 : main.left() - 8 - size.width();
        const auto within = [](int at, int low, int high) {
            return std::max(low, std::min(at, high));
        };
        window.move(within(x, screen.left(), screen.right() + 1 - size.width()),
                    within(main.top(), screen.top(), screen.bottom() + 1 - size.height()));
    }
    window.show();
    window.raise();
    window.activateWindow();
}

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("HelpWindow");
    setWindowTitle("Pictorant Help");
    resize(760, 540);

    contents_ = new QTreeWidget;
    contents_->setObjectName("contents");
    contents_->setHeaderLabel("Contents");
    contents_->setRootIsDecorated(true);
    browser_ = new QTextBrowser;
    browser_->setObjectName("browser");
    browser_->setOpenExternalLinks(true);

    auto* splitter = new QSplitter;
    splitter->addWidget(contents_);
    splitter->addWidget(browser_);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({220, 540});
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter);

    connect(contents_, &QTreeWidget::itemClicked, this, &HelpWindow::contentsItemClicked);
    // The arrow keys move the current topic, Return activates it: both show it.
    connect(contents_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (item)
            contentsItemClicked(item);
    });
    connect(contents_, &QTreeWidget::itemActivated, this, &HelpWindow::contentsItemClicked);
}

void HelpWindow::openFile(const QString& path) {
    path_ = path;
    contents_->clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        browser_->setHtml(QStringLiteral("<p>The help file <b>%1</b> could not be opened.</p>")
                              .arg(path.toHtmlEscaped()));
        return;
    }
    const QString html = QString::fromUtf8(file.readAll());
    browser_->setSearchPaths({QFileInfo(path).absolutePath()});
    browser_->setSource(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));

    // Levels nest under the nearest heading above them of a smaller level.
    QList<QTreeWidgetItem*> parents;
    for (const HelpTopic& topic : helpContents(html)) {
        while (!parents.isEmpty() &&
               parents.last()->data(0, Qt::UserRole + 1).toInt() >= topic.level)
            parents.removeLast();
        auto* item = parents.isEmpty() ? new QTreeWidgetItem(contents_)
                                       : new QTreeWidgetItem(parents.last());
        item->setText(0, topic.title);
        item->setData(0, Qt::UserRole, topic.anchor);
        item->setData(0, Qt::UserRole + 1, topic.level);
        parents.append(item);
    }
    contents_->expandAll();
}

void HelpWindow::showTopic(const QString& anchor) {
    browser_->scrollToAnchor(anchor);
}

void HelpWindow::contentsItemClicked(QTreeWidgetItem* item) {
    showTopic(item->data(0, Qt::UserRole).toString());
}

} // namespace pictorant
