#pragma once

#include "ui/PageEncoding.h"
#include "ui/TextSearch.h"

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

class FindReplaceDialog;

// The HTML viewer and editor: a plain-text editor that receives a written gallery
// page, saves it, opens other pages and hands them to the browser. Closing hides it.
class HtmlEditorWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit HtmlEditorWindow(QWidget* parent = nullptr);

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

protected:
    // The find and replace dialogs belong to the text: they go when the window goes.
    void hideEvent(QHideEvent* event) override;

public:
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
    FindReplaceDialog* findDialog = nullptr;
    FindReplaceDialog* replaceDialog = nullptr;

private:
    // Writes the text to `path` in the text's encoding through the safe writer (an
    // existing file is rewritten in place); shows "Cannot create file" and returns false
    // on failure.
    bool saveTo(const QString& path);
    // Runs the save dialog; returns the chosen path or an empty text on cancel.
    QString askSavePath();
    FindReplaceDialog* ensureDialog(bool withReplace);
    void prepareSearch(FindReplaceDialog* dialog);
    bool findNextIn(FindReplaceDialog* dialog);
    void replaceIn(FindReplaceDialog* dialog);
    void replaceAllIn(FindReplaceDialog* dialog);
    void moveAsideOf(FindReplaceDialog* dialog);
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
