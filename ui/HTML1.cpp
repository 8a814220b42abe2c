#include "HTML1.h"

#include "MessageService.h"
#include "PageEncoding.h"
#include "files/SafeFile.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFontDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
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

template <typename T> T* named(T* object, const char* name) {
    object->setObjectName(QString::fromLatin1(name));
    return object;
}

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

bool isWordChar(QChar c) {
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

QString firstInstalled(const QStringList& programs) {
    for (const QString& program : programs) {
        const QString found = QStandardPaths::findExecutable(program);
        if (!found.isEmpty())
            return found;
    }
    return {};
}

class DesktopServicesLauncher : public DesktopLauncher {
public:
    void openDocument(const QString& path) override {
        QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    }
    void startPlainTextEditor(const QString& path) override {
        const QString program = firstInstalled(
            {"gedit", "gnome-text-editor", "kate", "mousepad", "xed", "pluma", "featherpad"});
        if (!program.isEmpty())
            QProcess::startDetached(program, path.isEmpty() ? QStringList{} : QStringList{path});
    }
    void startRichTextEditor() override {
        const QString office = firstInstalled({"libreoffice"});
        if (!office.isEmpty()) {
            QProcess::startDetached(office, {"--writer"});
            return;
        }
        const QString abiword = firstInstalled({"abiword"});
        if (!abiword.isEmpty())
            QProcess::startDetached(abiword, {});
    }
};

DesktopServicesLauncher desktopLauncher;
DesktopLauncher* currentLauncher = nullptr;

} // namespace

DesktopLauncher& launcher() {
    return currentLauncher ? *currentLauncher : desktopLauncher;
}

void setLauncher(DesktopLauncher* replacement) {
    currentLauncher = replacement;
}

bool isMatchAt(const QString& text, const QString& needle, qsizetype start,
               const FindOptions& options) {
    const qsizetype end = start + needle.size();
    if (needle.isEmpty() || start < 0 || end > text.size())
        return false;
    const Qt::CaseSensitivity cs = options.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    if (QStringView(text).mid(start, needle.size()).compare(needle, cs) != 0)
        return false;
    if (!options.wholeWord)
        return true;
    return (start == 0 || !isWordChar(text[start - 1])) &&
           (end == text.size() || !isWordChar(text[end]));
}

qsizetype findNext(const QString& text, const QString& needle, qsizetype selStart, qsizetype selEnd,
                   const FindOptions& options) {
    if (needle.isEmpty())
        return -1;
    const Qt::CaseSensitivity cs = options.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    if (options.down) {
        for (qsizetype from = selEnd; from <= text.size();) {
            const qsizetype at = text.indexOf(needle, from, cs);
            if (at < 0)
                return -1;
            if (isMatchAt(text, needle, at, options))
                return at;
            from = at + 1;
        }
        return -1;
    }
    // Up: the whole match must lie before the selection.
    for (qsizetype from = selStart - needle.size(); from >= 0;) {
        const qsizetype at = text.lastIndexOf(needle, from, cs);
        if (at < 0)
            return -1;
        if (isMatchAt(text, needle, at, options))
            return at;
        from = at - 1;
    }
    return -1;
}

int replaceAllMatches(QString& text, const QString& needle, const QString& replacement,
                      const FindOptions& options) {
    FindOptions forward = options;
    forward.down = true;
    int count = 0;
    qsizetype from = 0;
    for (;;) {
        const qsizetype at = findNext(text, needle, from, from, forward);
        if (at < 0)
            return count;
        text.replace(at, needle.size(), replacement);
        from = at + replacement.size();
        ++count;
    }
}

TFindDialog::TFindDialog(bool withReplace, QWidget* parent) : QDialog(parent) {
    setObjectName(withReplace ? "ReplaceDialog" : "FindDialog");
    setWindowTitle(withReplace ? "Replace" : "Find");
    setModal(false);

    auto* grid = new QGridLayout;
    eFind = named(new QLineEdit, "eFind");
    auto* findLabel = new QLabel("Fi&nd what:");
    findLabel->setBuddy(eFind);
    grid->addWidget(findLabel, 0, 0);
    grid->addWidget(eFind, 0, 1);
    if (withReplace) {
        eReplace = named(new QLineEdit, "eReplace");
        auto* replaceLabel = new QLabel("Re&place with:");
        replaceLabel->setBuddy(eReplace);
        grid->addWidget(replaceLabel, 1, 0);
        grid->addWidget(eReplace, 1, 1);
    }
    cbWholeWord = named(new QCheckBox("Match &whole word only"), "cbWholeWord");
    cbMatchCase = named(new QCheckBox("Match &case"), "cbMatchCase");
    auto* options = new QVBoxLayout;
    options->addWidget(cbWholeWord);
    options->addWidget(cbMatchCase);

    auto* lower = new QHBoxLayout;
    lower->addLayout(options);
    rbUp = named(new QRadioButton("&Up"), "rbUp");
    rbDown = named(new QRadioButton("&Down"), "rbDown");
    rbDown->setChecked(true);
    // The replace dialog always searches down, as the system's replace dialog does.
    if (!withReplace) {
        auto* direction = new QGroupBox("Direction");
        auto* directionLayout = new QHBoxLayout(direction);
        directionLayout->addWidget(rbUp);
        directionLayout->addWidget(rbDown);
        lower->addWidget(direction);
    } else {
        rbUp->hide();
        rbDown->hide();
    }
    grid->addLayout(lower, withReplace ? 2 : 1, 0, 1, 2);

    auto* buttons = new QVBoxLayout;
    bFindNext = named(new QPushButton("&Find Next"), "bFindNext");
    bFindNext->setDefault(true);
    buttons->addWidget(bFindNext);
    if (withReplace) {
        bReplaceOne = named(new QPushButton("&Replace"), "bReplaceOne");
        bReplaceAll = named(new QPushButton("Replace &All"), "bReplaceAll");
        buttons->addWidget(bReplaceOne);
        buttons->addWidget(bReplaceAll);
    }
    bCancel = named(new QPushButton("Cancel"), "bCancel");
    buttons->addWidget(bCancel);
    buttons->addStretch();

    auto* top = new QHBoxLayout(this);
    top->addLayout(grid, 1);
    top->addLayout(buttons);

    connect(bFindNext, &QPushButton::clicked, this, &TFindDialog::findNextRequested);
    if (withReplace) {
        connect(bReplaceOne, &QPushButton::clicked, this, &TFindDialog::replaceRequested);
        connect(bReplaceAll, &QPushButton::clicked, this, &TFindDialog::replaceAllRequested);
    }
    connect(bCancel, &QPushButton::clicked, this, &QDialog::hide);
}

QString TFindDialog::findText() const {
    return eFind->text();
}
void TFindDialog::setFindText(const QString& text) {
    eFind->setText(text);
}
QString TFindDialog::replaceText() const {
    return eReplace ? eReplace->text() : QString();
}
void TFindDialog::setReplaceText(const QString& text) {
    if (eReplace)
        eReplace->setText(text);
}

FindOptions TFindDialog::options() const {
    return {cbMatchCase->isChecked(), cbWholeWord->isChecked(), !rbUp->isChecked()};
}

TfHTM::TfHTM(QWidget* parent) : QMainWindow(parent) {
    setObjectName("fHTM");
    setWindowTitle("HTML Viewer");
    resize(636, 460);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

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
        connect(apply, &QPushButton::clicked, this, &TfHTM::FD1Apply);
        // The system's font dialog chooses a colour too; this one gets a button for it.
        QPushButton* colour = box->addButton("Color...", QDialogButtonBox::ActionRole);
        colour->setObjectName("bColor");
        connect(colour, &QPushButton::clicked, this, &TfHTM::FD1ColorClick);
    }

    connect(bOpenIt, &QPushButton::clicked, this, &TfHTM::bOpenItClick);
    connect(bSaveIt, &QPushButton::clicked, this, &TfHTM::bSaveItClick);
    connect(bBrowse, &QPushButton::clicked, this, &TfHTM::bBrowseClick);
    connect(bOK, &QPushButton::clicked, this, &TfHTM::bOKClick);
    connect(bSelAll, &QPushButton::clicked, this, &TfHTM::bSelAllClick);
    connect(bDelSel, &QPushButton::clicked, this, &TfHTM::bDelSelClick);
    connect(bUndo, &QToolButton::clicked, this, &TfHTM::bUndoClick);
    connect(bRedo, &QToolButton::clicked, this, &TfHTM::bRedoClick);
    connect(bFind, &QToolButton::clicked, this, &TfHTM::bFindClick);
    connect(bReplace, &QToolButton::clicked, this, &TfHTM::bReplaceClick);
    connect(bFont, &QToolButton::clicked, this, &TfHTM::bFontClick);
    connect(bNotepad, &QToolButton::clicked, this, &TfHTM::bNotepadClick);
    connect(bWordpad, &QToolButton::clicked, this, &TfHTM::bWordpadClick);
    connect(Memo1, &QPlainTextEdit::selectionChanged, this, [this] {
        if (Memo1->isVisible())
            Memo1->setFocus();
    });
}

bool TfHTM::isModified() const {
    return Memo1->document()->isModified();
}

QString TfHTM::textForSaving() const {
    // Raw text keeps non-breaking spaces; blocks are joined by paragraph separators.
    QString text = Memo1->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return text;
}

void TfHTM::setTextKeepingLines(const QString& text) {
    QString lines = text;
    lines.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    lines.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    Memo1->setPlainText(lines);
    Memo1->moveCursor(QTextCursor::Start);
    Memo1->document()->setModified(false);
}

bool TfHTM::saveTo(const QString& path) {
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

QString TfHTM::askSavePath() {
    if (messages().showModal("html.saveDialog", *SD) != QDialog::Accepted)
        return {};
    const QString path = SD->selectedFiles().value(0);
    if (!path.isEmpty())
        SD->selectFile(path);
    return path;
}

bool TfHTM::showGeneratedPage(const QString& text, const QString& pagePath,
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

void TfHTM::bSaveItClick() {
    const QString path = askSavePath();
    if (path.isEmpty() || !saveTo(path))
        return;
    fileName_ = path;
    Memo1->document()->setModified(false);
}

bool TfHTM::offerToSaveEdits() {
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

void TfHTM::bOKClick() {
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

void TfHTM::bOpenItClick() {
    if (isModified() && askConfirm("html.openSave", "File has changed, Save File?" + saveNote,
                                   MessageButtons::YesNo) == MessageAnswer::Yes) {
        const QString path = askSavePath();
        // Opening over edits that could not be saved would lose them.
        if (!path.isEmpty() && !saveTo(path))
            return;
    }
    if (messages().showModal("html.openDialog", *OD) != QDialog::Accepted)
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

void TfHTM::bBrowseClick() {
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

void TfHTM::bSelAllClick() {
    Memo1->setFocus();
    Memo1->selectAll();
}

void TfHTM::bDelSelClick() {
    Memo1->moveCursor(QTextCursor::Start);
}

void TfHTM::bUndoClick() {
    Memo1->undo();
}

void TfHTM::bRedoClick() {
    Memo1->redo();
}

TFindDialog* TfHTM::ensureDialog(bool withReplace) {
    TFindDialog*& dialog = withReplace ? replaceDialog : findDialog;
    if (!dialog) {
        dialog = new TFindDialog(withReplace, this);
        // A new dialog starts from what the other one holds.
        const TFindDialog* other = withReplace ? findDialog : replaceDialog;
        dialog->setFindText(other ? other->findText() : lastSearch_);
        dialog->setReplaceText(lastReplace_);
        TFindDialog* self = dialog;
        connect(dialog, &TFindDialog::findNextRequested, this, [this, self] { findNextIn(self); });
        connect(dialog, &TFindDialog::replaceRequested, this, [this, self] { replaceIn(self); });
        connect(dialog, &TFindDialog::replaceAllRequested, this,
                [this, self] { replaceAllIn(self); });
    }
    return dialog;
}

void TfHTM::prepareSearch(TFindDialog* dialog) {
    const QString selected = Memo1->textCursor().selectedText();
    if (!selected.isEmpty())
        dialog->setFindText(selected);
    dialog->show();
    dialog->raise();
}

void TfHTM::bFindClick() {
    prepareSearch(ensureDialog(false));
}

void TfHTM::bReplaceClick() {
    prepareSearch(ensureDialog(true));
}

bool TfHTM::findNextIn(TFindDialog* dialog) {
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

void TfHTM::replaceIn(TFindDialog* dialog) {
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

void TfHTM::replaceAllIn(TFindDialog* dialog) {
    lastSearch_ = dialog->findText();
    lastReplace_ = dialog->replaceText();
    FindOptions options = dialog->options();
    options.down = true;
    // Each replacement is its own edit so the cursor does not skip; one undo step.
    QTextCursor cursor(Memo1->document());
    cursor.beginEditBlock();
    qsizetype from = 0;
    for (;;) {
        const qsizetype at =
            findNext(Memo1->document()->toRawText(), lastSearch_, from, from, options);
        if (at < 0)
            break;
        cursor.setPosition(int(at));
        cursor.setPosition(int(at + lastSearch_.size()), QTextCursor::KeepAnchor);
        cursor.insertText(lastReplace_);
        from = at + lastReplace_.size();
    }
    cursor.endEditBlock();
}

void TfHTM::moveAsideOf(TFindDialog* dialog) {
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

void TfHTM::bFontClick() {
    FD1->setCurrentFont(Memo1->font());
    fontColour_ = Memo1->palette().color(QPalette::Text);
    if (messages().showModal("html.fontDialog", *FD1) == QDialog::Accepted) {
        Memo1->setFont(FD1->selectedFont());
        setTextColour(fontColour_);
    }
}

void TfHTM::FD1Apply() {
    Memo1->setFont(FD1->currentFont());
    setTextColour(fontColour_);
}

void TfHTM::FD1ColorClick() {
    QColorDialog dialog(fontColour_, FD1);
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    if (messages().showModal("html.fontColorDialog", dialog) == QDialog::Accepted)
        fontColour_ = dialog.currentColor();
}

void TfHTM::setTextColour(const QColor& colour) {
    QPalette palette = Memo1->palette();
    palette.setColor(QPalette::Text, colour);
    Memo1->setPalette(palette);
}

void TfHTM::bNotepadClick() {
    launcher().startPlainTextEditor(QString());
}

void TfHTM::bWordpadClick() {
    launcher().startRichTextEditor();
}

} // namespace pictorant
