#include "ui/DuplicateNamesDialog.h"

#include "ui/MessageService.h"

#include <QGraphicsDropShadowEffect>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace pictorant {

const QStringList& DuplicateNamesDialog::explanationLines() {
    static const QStringList lines = {
        "These selected files have identical file names, except for the File Type ",
        "Extension.",
        "",
        "If a conversion is done on the selected files, some files will be overwritten.  For ",
        "example, Files MYPIC1.BMP and MYPIC1.JPG are both selected, and you are ",
        "converting all files to *.GIF.  Work proceeds sequentially, so first MYPIC1.BMP is ",
        "processed  and saved as file name ThumbMYPIC1.GIF.  Then, MYPIC1.JPG is ",
        "processed  and saved as ThumbMYPIC1.GIF, overwriting the version created ",
        "from  MYPIC1.BMP.",
        "",
        "You can go back by selecting the Cancel button, and either unselect 'duplicate ",
        "files', or rename them so this situation is avoided.",
        "",
        "Or, you can continue by Selecting OK and choosing the No Conversion option ",
        "from the ComboBox.",
    };
    return lines;
}

DuplicateNamesDialog::DuplicateNamesDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Duplicate File Names"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(460, 330);
    setModal(true);

    lWarning = new QLabel(QStringLiteral("Warning!"), this);
    lWarning->setObjectName(QStringLiteral("lWarning"));
    QFont big = lWarning->font();
    big.setBold(true);
    big.setPointSize(20);
    lWarning->setFont(big);
    lWarning->setStyleSheet(QStringLiteral("color: blue;"));
    lWarning->setAlignment(Qt::AlignCenter);
    lWarning->setGeometry(0, 8, width(), 40);
    auto* shadow = new QGraphicsDropShadowEffect(lWarning);
    shadow->setOffset(2, 2);
    shadow->setBlurRadius(0);
    shadow->setColor(Qt::gray);
    lWarning->setGraphicsEffect(shadow);

    Label2 = new QLabel(this);
    Label2->setObjectName(QStringLiteral("Label2"));
    QFont bold = Label2->font();
    bold.setBold(true);
    Label2->setFont(bold);
    // Two long names wrap onto a second line rather than run past the window's edges.
    Label2->setWordWrap(true);
    Label2->setAlignment(Qt::AlignCenter);
    Label2->setGeometry(8, 50, width() - 16, 34);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Each line wraps at the box's edge rather than running out of sight.
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setPlainText(explanationLines().join(u'\n'));
    Memo1->setGeometry(12, 84, width() - 24, 190);

    bOK = new QPushButton(QStringLiteral("OK"), this);
    bOK->setObjectName(QStringLiteral("bOK"));
    bOK->setDefault(true);
    bOK->setGeometry(width() / 2 - 110, 286, 100, 30);
    bCancel = new QPushButton(QStringLiteral("Cancel"), this);
    bCancel->setObjectName(QStringLiteral("bCancel"));
    bCancel->setGeometry(width() / 2 + 10, 286, 100, 30);
    connect(bOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(bCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void DuplicateNamesDialog::setPair(const QString& first, const QString& second) {
    Label2->setText(first + QStringLiteral(" and ") + second);
    Label2->setToolTip(Label2->text());
}

bool showDuplicateWarning(DuplicateNamesDialog& window, const std::pair<QString, QString>& pair) {
    window.setPair(pair.first, pair.second);
    return messages().showModal(QStringLiteral("TForm3"), window) == QDialog::Accepted;
}

} // namespace pictorant
