#include "ui/HtmlEditorWindow.h"

#include "files/SafeFile.h"
#include "ui/DesktopLauncher.h"
#include "ui/FindReplaceDialog.h"
#include "ui/MessageService.h"
#include "ui/ObjectNames.h"
#include "ui/PageEncoding.h"
#include "ui/ScreenPlacement.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QColorDialog>
#include <QCompleter>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFontDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTextBlock>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <sys/stat.h>

namespace pictorant {

namespace {

const QString confirmTitle = QStringLiteral("Confirm");
const QString saveNote =
    QStringLiteral("\n(NOTE - if you changed the relative reference to images, or save the "
                   "html in a different location, your html may not work correctly)");

// An error that ends the user's command: stop icon, the program's title, and a final
// full stop when the text ends in a letter or digit.
void showCommandError(const QString& id, QString text) {
    if (!text.isEmpty() && text.back() > QLatin1Char('.'))
        text += QLatin1Char('.');
    messages().inform(id, text, QStringLiteral("Pictorant"), MessageIcon::Stop);
}

MessageAnswer askConfirm(const QString& id, const QString& text, MessageButtons buttons) {
    return messages().ask({id, text, confirmTitle, MessageIcon::Question, buttons});
}

// The small toolbar buttons show one drawn character; their hints say what they do.
QIcon glyphIcon(const QString& glyph) {
    QPixmap pixmap(20, 20);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::TextAntialiasing);
    QFont font("DejaVu Sans");
    font.setPixelSize(15);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(QColor(0, 0, 128));
    painter.drawText(pixmap.rect(), Qt::AlignCenter, glyph);
    return QIcon(pixmap);
}

} // namespace

HtmlEditorWindow::HtmlEditorWindow(QWidget* parent) : QMainWindow(parent) {
    setObjectName("fHTM");
    setWindowTitle("HTML Viewer");
    resize(636, 460);
    centreOnScreen(this);

    auto* bar = named(new QToolBar, "ToolBar1");
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->layout()->setSpacing(1);
    addToolBar(bar);

    // The large buttons turn their caption green under the mouse.
    const QString largeStyle = "QPushButton { color: black; padding: 2px 6px; }"
                               "QPushButton:hover { color: green; }";
    auto largeButton = [&](const char* name, const char* caption) {
        auto* button = named(new QPushButton(caption), name);
        button->setStyleSheet(largeStyle);
        button->setFocusPolicy(Qt::NoFocus);
        bar->addWidget(button);
        return button;
    };
    auto smallButton = [&](const char* name, const QString& glyph, const char* hint) {
        auto* button = named(new QToolButton, name);
        button->setText(hint);
        button->setIcon(glyphIcon(glyph));
        button->setToolButtonStyle(Qt::ToolButtonIconOnly);
        button->setAutoRaise(true);
        button->setIconSize(QSize(18, 18));
        button->setFixedSize(24, 24);
        button->setToolTip(hint);
        button->setFocusPolicy(Qt::NoFocus);
        bar->addWidget(button);
        return button;
    };
    bOpenIt = largeButton("bOpenIt", "Open File");
    bSaveIt = largeButton("bSaveIt", "Save File");
    bBrowse = largeButton("bBrowse", "Open in Browser");
    bOK = largeButton("bOK", "OK");
    bSelAll = named(new QPushButton("Select All"), "bSelAll");
    bDelSel = named(new QPushButton("DeSelect All"), "bDelSel");
    for (QPushButton* button : {bSelAll, bDelSel}) {
        button->setStyleSheet("QPushButton { padding: 2px 6px; }");
        button->setFocusPolicy(Qt::NoFocus);
        bar->addWidget(button);
    }
    bUndo = smallButton("bUndo", QString(QChar(0x21B6)), "Undo");
    bRedo = smallButton("bRedo", QString(QChar(0x21B7)), "Redo");
    bFind = smallButton("bFind", "?", "Find...");
    bReplace = smallButton("bReplace", QString(QChar(0x21C4)), "Replace...");
    bFont = smallButton("bFont", "A", "Change Font...");
    bNotepad = smallButton("bNotepad", QString(QChar(0x270E)), "Launch Notepad");
    bWordpad = smallButton("bWordpad", "W", "Launch Wordpad");

    Memo1 = named(new QPlainTextEdit, "Memo1");
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setFont(QFont("Arial", 8));
    setCentralWidget(Memo1);

    const QString filter = "*.htm (HTML File) (*.htm *.html);;*.txt (Text File) (*.txt)";
    SD = named(new QFileDialog(this, "Save HTML"), "SD");
    SD->setOption(QFileDialog::DontUseNativeDialog);
    SD->setAcceptMode(QFileDialog::AcceptSave);
    SD->setFileMode(QFileDialog::AnyFile);
    SD->setDefaultSuffix("htm");
    SD->setNameFilter(filter);
    SD->setSizeGripEnabled(true);
    OD = named(new QFileDialog(this, "Open HTML Files"), "OD");
    OD->setOption(QFileDialog::DontUseNativeDialog);
    OD->setAcceptMode(QFileDialog::AcceptOpen);
    OD->setFileMode(QFileDialog::ExistingFile);
    OD->setDefaultSuffix("htm");
    OD->setNameFilter(filter);
    FD1 = named(new QFontDialog(this), "FD1");
    FD1->setOption(QFontDialog::DontUseNativeDialog);
    if (auto* box = FD1->findChild<QDialogButtonBox*>()) {
        QPushButton* apply = box->addButton(QDialogButtonBox::Apply);
        apply->setObjectName("bApply");
        connect(apply, &QPushButton::clicked, this, &HtmlEditorWindow::FD1Apply);
        // The system's font dialog chooses a colour too; this one gets a button for it.
        QPushButton* colour = box->addButton("Color...", QDialogButtonBox::ActionRole);
        colour->setObjectName("bColor");
        connect(colour, &QPushButton::clicked, this, &HtmlEditorWindow::FD1ColorClick);
    }

    connect(bOpenIt, &QPushButton::clicked, this, &HtmlEditorWindow::bOpenItClick);
    connect(bSaveIt, &QPushButton::clicked, this, &HtmlEditorWindow::bSaveItClick);
    connect(bBrowse, &QPushButton::clicked, this, &HtmlEditorWindow::bBrowseClick);
    connect(bOK, &QPushButton::clicked, this, &HtmlEditorWindow::bOKClick);
    connect(bSelAll, &QPushButton::clicked, this, &HtmlEditorWindow::bSelAllClick);
    connect(bDelSel, &QPushButton::clicked, this, &HtmlEditorWindow::bDelSelClick);
    connect(bUndo, &QToolButton::clicked, this, &HtmlEditorWindow::bUndoClick);
    connect(bRedo, &QToolButton::clicked, this, &HtmlEditorWindow::bRedoClick);
    connect(bFind, &QToolButton::clicked, this, &HtmlEditorWindow::bFindClick);
    connect(bReplace, &QToolButton::clicked, this, &HtmlEditorWindow::bReplaceClick);
    connect(bFont, &QToolButton::clicked, this, &HtmlEditorWindow::bFontClick);
    connect(bNotepad, &QToolButton::clicked, this, &HtmlEditorWindow::bNotepadClick);
    connect(bWordpad, &QToolButton::clicked, this, &HtmlEditorWindow::bWordpadClick);
    connect(Memo1, &QPlainTextEdit::selectionChanged, this, [this] {
        if (Memo1->isVisible())
            Memo1->setFocus();
    });
}

bool HtmlEditorWindow::isModified() const {
    return Memo1->document()->isModified();
}

QString HtmlEditorWindow::textForSaving() const {
    // Raw text keeps non-breaking spaces; blocks are joined by paragraph separators.
    QString text = Memo1->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return text;
}

void HtmlEditorWindow::setTextKeepingLines(const QString& text) {
    QString lines = text;
    lines.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    lines.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    Memo1->setPlainText(lines);
    Memo1->moveCursor(QTextCursor::Start);
    Memo1->document()->setModified(false);
}

bool HtmlEditorWindow::saveTo(const QString& path) {
    const std::string target = QFile::encodeName(path).toStdString();
    // A page that is there is the same document written again: through its link, with
    // its owner and mode, and not at all when its mode says it is not to be changed.
    // Anything else at the name (nothing, a dangling link, a folder) gets a new file.
    struct stat st {};
    const WriteMode mode = ::stat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode)
                               ? WriteMode::Rewrite
                               : WriteMode::NewFile;
    try {
        writeFileSafely(target, encodePage(textForSaving(), encoding_).toStdString(), mode);
        return true;
    } catch (const SafeWriteError& error) {
        showCommandError("html.cannotCreate",
                         QString("Cannot create file \"%1\". %2")
                             .arg(path, QString::fromStdString(error.reason())));
        return false;
    }
}

QString HtmlEditorWindow::askSavePath() {
    if (messages().showModal("html.saveDialog", *SD) != QDialog::Accepted)
        return {};
    const QString path = SD->selectedFiles().value(0);
    if (!path.isEmpty())
        SD->selectFile(path);
    return path;
}

bool HtmlEditorWindow::showGeneratedPage(const QString& text, const QString& pagePath,
                                         const QString& galleryFolder) {
    show();
    raise();
    setTextKeepingLines(text);
    encoding_ = PageEncoding::Ascii;
    fileName_.clear();
    setWindowTitle("HTML Editor: " + pagePath);
    SD->selectFile(pagePath);
    OD->setDirectory(galleryFolder);
    if (!saveTo(pagePath)) {
        // The text exists nowhere else now: it stays here, marked unsaved, so the user
        // can save it under another name.
        Memo1->document()->setModified(true);
        return false;
    }
    fileName_ = pagePath;
    Memo1->document()->setModified(false);
    return true;
}

void HtmlEditorWindow::bSaveItClick() {
    const QString path = askSavePath();
    if (path.isEmpty() || !saveTo(path))
        return;
    fileName_ = path;
    Memo1->document()->setModified(false);
}

bool HtmlEditorWindow::offerToSaveEdits() {
    if (!isModified())
        return true;
    const MessageAnswer answer = askConfirm(
        "html.replaceSave", "File has changed, Save File?" + saveNote, MessageButtons::YesNoCancel);
    if (answer == MessageAnswer::Cancel)
        return false;
    if (answer == MessageAnswer::No)
        return true;
    // Yes but no file chosen, or a save that failed: the edits would be lost.
    const QString path = askSavePath();
    if (path.isEmpty() || !saveTo(path))
        return false;
    fileName_ = path;
    Memo1->document()->setModified(false);
    return true;
}

void HtmlEditorWindow::bOKClick() {
    if (!fileName_.isEmpty() && !isModified()) {
        close();
        return;
    }
    if (askConfirm("html.okSave", "Save File?" + saveNote, MessageButtons::YesNo) ==
        MessageAnswer::Yes) {
        const QString path = askSavePath();
        if (!path.isEmpty() && !saveTo(path))
            return;
    }
    close();
}

void HtmlEditorWindow::hideEvent(QHideEvent* event) {
    if (!event->spontaneous())
        for (FindReplaceDialog* dialog : {findDialog, replaceDialog})
            if (dialog)
                dialog->hide();
    QMainWindow::hideEvent(event);
}

void HtmlEditorWindow::bOpenItClick() {
    if (isModified() && askConfirm("html.openSave", "File has changed, Save File?" + saveNote,
                                   MessageButtons::YesNo) == MessageAnswer::Yes) {
        const QString path = askSavePath();
        // Opening over edits that could not be saved would lose them.
        if (!path.isEmpty() && !saveTo(path))
            return;
    }
    // The name typed last time is selected, so typing replaces it.
    auto* nameBox = OD->findChild<QLineEdit*>("fileNameEdit");
    if (nameBox)
        nameBox->selectAll();
    const int chosen = messages().showModal("html.openDialog", *OD);
    // A completion list left open by Enter would take the next click in the editor.
    if (nameBox && nameBox->completer() && nameBox->completer()->popup())
        nameBox->completer()->popup()->hide();
    if (chosen != QDialog::Accepted)
        return;
    const QString path = OD->selectedFiles().value(0);
    if (path.isEmpty())
        return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        showCommandError("html.cannotOpen",
                         QString("Cannot open file \"%1\". %2").arg(path, file.errorString()));
        return;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        showCommandError("html.cannotOpen",
                         QString("Cannot open file \"%1\". %2").arg(path, file.errorString()));
        return;
    }
    DecodedPage decoded = decodePage(bytes);
    setTextKeepingLines(decoded.text);
    encoding_ = decoded.encoding;
    fileName_ = path;
    setWindowTitle("HTML Editor: " + path);
    browsePath_.clear();
}

void HtmlEditorWindow::bBrowseClick() {
    if (fileName_.isEmpty()) {
        if (askConfirm("html.mustSave", "File must be saved.  Save Now?", MessageButtons::YesNo) !=
            MessageAnswer::Yes)
            return;
        const QString path = askSavePath();
        if (path.isEmpty() || !saveTo(path))
            return;
        fileName_ = path;
        Memo1->document()->setModified(false);
    }
    if (isModified()) {
        const MessageAnswer answer = askConfirm(
            "html.saveChanges", "File has changed.  Save Changes?", MessageButtons::YesNoCancel);
        if (answer == MessageAnswer::Cancel)
            return;
        // A failed save stops here: the browser would show the old file as if it were
        // the edited one.
        if (answer == MessageAnswer::Yes) {
            if (!saveTo(fileName_))
                return;
            Memo1->document()->setModified(false);
        }
    }
    launcher().openDocument(browsePath_.isEmpty() ? fileName_ : browsePath_);
}

void HtmlEditorWindow::bSelAllClick() {
    Memo1->setFocus();
    Memo1->selectAll();
}

void HtmlEditorWindow::bDelSelClick() {
    Memo1->moveCursor(QTextCursor::Start);
}

void HtmlEditorWindow::bUndoClick() {
    Memo1->undo();
}

void HtmlEditorWindow::bRedoClick() {
    Memo1->redo();
}

FindReplaceDialog* HtmlEditorWindow::ensureDialog(bool withReplace) {
    FindReplaceDialog*& dialog = withReplace ? replaceDialog : findDialog;
    if (!dialog) {
        dialog = new FindReplaceDialog(withReplace, this);
        // A new dialog starts from what the other one holds.
        const FindReplaceDialog* other = withReplace ? findDialog : replaceDialog;
        dialog->setFindText(other ? other->findText() : lastSearch_);
        dialog->setReplaceText(lastReplace_);
        FindReplaceDialog* self = dialog;
        connect(dialog, &FindReplaceDialog::findNextRequested, this,
                [this, self] { findNextIn(self); });
        connect(dialog, &FindReplaceDialog::replaceRequested, this,
                [this, self] { replaceIn(self); });
        connect(dialog, &FindReplaceDialog::replaceAllRequested, this,
                [this, self] { replaceAllIn(self); });
    }
    return dialog;
}

void HtmlEditorWindow::prepareSearch(FindReplaceDialog* dialog) {
    const QString selected = Memo1->textCursor().selectedText();
    if (!selected.isEmpty())
        dialog->setFindText(selected);
    dialog->show();
    dialog->raise();
}

void HtmlEditorWindow::bFindClick() {
    prepareSearch(ensureDialog(false));
}

void HtmlEditorWindow::bReplaceClick() {
    prepareSearch(ensureDialog(true));
}

bool HtmlEditorWindow::findNextIn(FindReplaceDialog* dialog) {
    lastSearch_ = dialog->findText();
    lastReplace_ = dialog->replaceText();
    const QTextCursor cursor = Memo1->textCursor();
    const QString text = Memo1->document()->toRawText();
    const qsizetype at = findNext(text, lastSearch_, cursor.selectionStart(), cursor.selectionEnd(),
                                  dialog->options());
    if (at < 0)
        return false;
    QTextCursor match(Memo1->document());
    match.setPosition(int(at));
    match.setPosition(int(at + lastSearch_.size()), QTextCursor::KeepAnchor);
    Memo1->setTextCursor(match);
    moveAsideOf(dialog);
    return true;
}

void HtmlEditorWindow::replaceIn(FindReplaceDialog* dialog) {
    lastSearch_ = dialog->findText();
    lastReplace_ = dialog->replaceText();
    QTextCursor cursor = Memo1->textCursor();
    const QString text = Memo1->document()->toRawText();
    // A selection that is itself a match is the one the user means to replace.
    const bool selectionMatches =
        cursor.selectionEnd() - cursor.selectionStart() == lastSearch_.size() &&
        isMatchAt(text, lastSearch_, cursor.selectionStart(), dialog->options());
    if (!selectionMatches && !findNextIn(dialog))
        return;
    cursor = Memo1->textCursor();
    const int start = cursor.selectionStart();
    cursor.insertText(lastReplace_);
    cursor.setPosition(start);
    cursor.setPosition(start + int(lastReplace_.size()), QTextCursor::KeepAnchor);
    Memo1->setTextCursor(cursor);
}

void HtmlEditorWindow::replaceAllIn(FindReplaceDialog* dialog) {
    lastSearch_ = dialog->findText();
    lastReplace_ = dialog->replaceText();
    // The new text is built in one pass and put in as one edit: one undo step, and no
    // copy of the whole text per match.
    // Raw text keeps non-breaking spaces; its block separators go back in as line ends.
    QString text = Memo1->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    if (replaceAllMatches(text, lastSearch_, lastReplace_, dialog->options()) == 0)
        return;
    QTextCursor cursor(Memo1->document());
    cursor.select(QTextCursor::Document);
    cursor.insertText(text);
}

void HtmlEditorWindow::moveAsideOf(FindReplaceDialog* dialog) {
    if (!dialog->isVisible())
        return;
    const QRect match(Memo1->viewport()->mapToGlobal(Memo1->cursorRect().topLeft()),
                      Memo1->cursorRect().size());
    const QRect frame = dialog->frameGeometry();
    if (!frame.intersects(match.adjusted(0, -2, 0, 2)))
        return;
    const int below = match.bottom() + 8;
    const QScreen* screen = dialog->screen();
    const int screenBottom = screen ? screen->availableGeometry().bottom() : below + frame.height();
    if (below + frame.height() <= screenBottom)
        dialog->move(frame.left(), below);
    else
        dialog->move(frame.left(), std::max(0, match.top() - 8 - frame.height()));
}

void HtmlEditorWindow::bFontClick() {
    FD1->setCurrentFont(Memo1->font());
    fontColour_ = Memo1->palette().color(QPalette::Text);
    if (messages().showModal("html.fontDialog", *FD1) == QDialog::Accepted) {
        Memo1->setFont(FD1->selectedFont());
        setTextColour(fontColour_);
    }
}

void HtmlEditorWindow::FD1Apply() {
    Memo1->setFont(FD1->currentFont());
    setTextColour(fontColour_);
}

void HtmlEditorWindow::FD1ColorClick() {
    QColorDialog dialog(fontColour_, FD1);
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    if (messages().showModal("html.fontColorDialog", dialog) == QDialog::Accepted)
        fontColour_ = dialog.currentColor();
}

void HtmlEditorWindow::setTextColour(const QColor& colour) {
    QPalette palette = Memo1->palette();
    palette.setColor(QPalette::Text, colour);
    Memo1->setPalette(palette);
}

void HtmlEditorWindow::bNotepadClick() {
    launcher().startPlainTextEditor(QString());
}

void HtmlEditorWindow::bWordpadClick() {
    launcher().startRichTextEditor();
}

} // namespace pictorant
