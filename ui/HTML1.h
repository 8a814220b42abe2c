#pragma once

#include "PageEncoding.h"

#include <QColor>
#include <QDialog>
#include <QMainWindow>
#include <QString>

class QCheckBox;
class QFileDialog;
class QFontDialog;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace pictorant {

// Programs and pages started outside this program. Failures are never reported: the
// desktop decides what happens. Tests install their own to see what would be started.
class DesktopLauncher {
public:
    virtual ~DesktopLauncher() = default;
    // Opens a file with the desktop's default handler (a page in the web browser).
    virtual void openDocument(const QString& path) = 0;
    // Starts the first installed plain-text editor, with `path` when not empty.
    virtual void startPlainTextEditor(const QString& path) = 0;
    // Starts the first installed rich-text editor, without a file.
    virtual void startRichTextEditor() = 0;
};

// The launcher in use; the desktop's unless a test installed its own.
DesktopLauncher& launcher();
// Installs a launcher (nullptr restores the desktop's). The caller keeps ownership.
void setLauncher(DesktopLauncher* replacement);

struct FindOptions {
    bool matchCase = false;
    bool wholeWord = false;
    bool down = true;
};

// Where the next match of `needle` starts, or -1. Searching down starts at `selEnd`
// and runs to the end; searching up looks only at text before `selStart`. A whole-word
// match has no letter, digit or underscore on either side.
qsizetype findNext(const QString& text, const QString& needle, qsizetype selStart, qsizetype selEnd,
                   const FindOptions& options);

// Whether text[start, start + needle.size()) is a match under `options`.
bool isMatchAt(const QString& text, const QString& needle, qsizetype start,
               const FindOptions& options);

// Replaces every match from the start of `text` to its end, left to right, never
// looking inside a replacement. Returns the number of replacements.
int replaceAllMatches(QString& text, const QString& needle, const QString& replacement,
                      const FindOptions& options);

// The editor's own find and replace dialogs; one class, two faces. Not modal.
class TFindDialog : public QDialog {
    Q_OBJECT
public:
    TFindDialog(bool withReplace, QWidget* parent);

    QString findText() const;
    void setFindText(const QString& text);
    QString replaceText() const;
    void setReplaceText(const QString& text);
    FindOptions options() const;

    QLineEdit* eFind = nullptr;
    QLineEdit* eReplace = nullptr;
    QCheckBox* cbWholeWord = nullptr;
    QCheckBox* cbMatchCase = nullptr;
    QRadioButton* rbUp = nullptr;
    QRadioButton* rbDown = nullptr;
    QPushButton* bFindNext = nullptr;
    QPushButton* bReplaceOne = nullptr;
    QPushButton* bReplaceAll = nullptr;
    QPushButton* bCancel = nullptr;

signals:
    void findNextRequested();
    void replaceRequested();
    void replaceAllRequested();
};

// The HTML viewer and editor: a plain-text editor that receives a written gallery
// page, saves it, opens other pages and hands them to the browser. Closing hides it.
class TfHTM : public QMainWindow {
    Q_OBJECT
public:
    explicit TfHTM(QWidget* parent = nullptr);

    // Shows the window (not modal), takes `text` as the whole text and saves it to
    // `pagePath`, which then becomes `fileName`. Presets the save dialog to the page and
    // the open dialog to `galleryFolder`. The page is written as ASCII, and so is every
    // later save of it. Returns false when the page could not be saved ("Cannot create
    // file" has then been shown): the text stays, modified, and `fileName` stays empty.
    bool showGeneratedPage(const QString& text, const QString& pagePath,
                           const QString& galleryFolder);

    // Before the text is replaced from outside (a new gallery): when it is modified,
    // asks whether to save it (Yes, No, Cancel). Returns whether the caller may go on:
    // false on Cancel, and on Yes when the save dialog is cancelled or the save fails.
    bool offerToSaveEdits();
    // The encoding the text is saved in: the one its file was opened in.
    PageEncoding encoding() const { return encoding_; }

    QString fileName() const { return fileName_; }
    QString browsePath() const { return browsePath_; }
    void setBrowsePath(const QString& path) { browsePath_ = path; }
    bool isModified() const;
    // The text as it is saved: CR LF line ends.
    QString textForSaving() const;

    void bOpenItClick();
    void bSaveItClick();
    void bBrowseClick();
    void bOKClick();
    void bSelAllClick();
    void bDelSelClick();
    void bUndoClick();
    void bRedoClick();
    void bFindClick();
    void bReplaceClick();
    void bFontClick();
    void FD1Apply();
    void FD1ColorClick();
    void bNotepadClick();
    void bWordpadClick();

    QPlainTextEdit* Memo1 = nullptr;
    QPushButton* bOpenIt = nullptr;
    QPushButton* bSaveIt = nullptr;
    QPushButton* bBrowse = nullptr;
    QPushButton* bOK = nullptr;
    QPushButton* bSelAll = nullptr;
    QPushButton* bDelSel = nullptr;
    QToolButton* bUndo = nullptr;
    QToolButton* bRedo = nullptr;
    QToolButton* bFind = nullptr;
    QToolButton* bReplace = nullptr;
    QToolButton* bFont = nullptr;
    QToolButton* bNotepad = nullptr;
    QToolButton* bWordpad = nullptr;
    QFileDialog* SD = nullptr;
    QFileDialog* OD = nullptr;
    QFontDialog* FD1 = nullptr;
    // Created on first use, then reused.
    TFindDialog* findDialog = nullptr;
    TFindDialog* replaceDialog = nullptr;

private:
    // Writes the text to `path` in the text's encoding through the safe writer (an
    // existing file is rewritten in place); shows "Cannot create file" and returns false
    // on failure.
    bool saveTo(const QString& path);
    // Runs the save dialog; returns the chosen path or an empty text on cancel.
    QString askSavePath();
    TFindDialog* ensureDialog(bool withReplace);
    void prepareSearch(TFindDialog* dialog);
    bool findNextIn(TFindDialog* dialog);
    void replaceIn(TFindDialog* dialog);
    void replaceAllIn(TFindDialog* dialog);
    void moveAsideOf(TFindDialog* dialog);
    void setTextKeepingLines(const QString& text);
    void setTextColour(const QColor& colour);

    QString fileName_;
    QString browsePath_;
    PageEncoding encoding_ = PageEncoding::Utf8;
    QString lastSearch_;
    QString lastReplace_;
    QColor fontColour_;
};

} // namespace pictorant
