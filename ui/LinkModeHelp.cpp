#include "ui/LinkModeHelp.h"

#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace pictorant {

QString linkModesHelpText() {
    return QStringLiteral(
        "The HREF Options say how each thumbnail's link reaches its original picture; the "
        "IMG Options say how the page finds the thumbnail pictures themselves. Each group "
        "offers the same four choices, and the text box beside it holds what is written in "
        "front of every file name. You may change that text by hand.\n"
        "\n"
        "Local Hard Drive:\n"
        "The pictures are addressed by their full location on this computer, in the notation "
        "file:///C:\\Graphics\\Thumbs\\ on Windows, or on this system for example "
        "file:///home/ann/Pictures/thumbs/. The page works on this computer only. Such a page "
        "must be changed before it is moved to a web server, because the server's visitors "
        "cannot reach your hard drive.\n"
        "\n"
        "Explicit internet:\n"
        "The pictures are addressed by a full internet address that begins with http://, for "
        "example http://www.example.com/gallery/images/. Use this when the pictures already "
        "lie on a web server, perhaps on another one than the page. REMEMBER TO ADD THE "
        "TRAILING SLASH... the file name is written directly after this text, so without the "
        "final / the address names the wrong file.\n"
        "\n"
        "Relative Reference:\n"
        "The pictures are addressed from the folder of the HTML file, so the page and its "
        "pictures can be moved together to another computer or a web server. Examples are "
        "../Textures/ and /Images/. \"..\" goes one folder up from the folder of the HTML "
        "file; a name followed by / goes into that folder; a leading / starts at the top "
        "folder of the web server.\n"
        "\n"
        "For example, with this folder tree:\n"
        "  C:\\My Documents\\My Webs\\Personal\n"
        "      Textures   (the pictures)\n"
        "      Html       (the HTML file)\n"
        "the HTML file in C:\\My Documents\\My Webs\\Personal\\Html reaches the pictures "
        "with ../Textures/ : \"..\" goes up from Html to Personal, then Textures/ goes down "
        "into the pictures' folder.\n"
        "\n"
        "The same on this system: a page in /home/ann/web/html with its pictures in "
        "/home/ann/web/textures uses ../textures/, and pictures in /home/ann/web/html/thumbs "
        "use thumbs/. Pictorant works this text out from the folders each time the dialog "
        "opens. Letter case counts in folder names here.\n"
        "\n"
        "Generic:\n"
        "No folder is added: the file names stand alone. All pictures must lie in the same "
        "folder as the HTML file.\n");
}

LinkModeHelp::LinkModeHelp(QWidget* parent) : QDialog(parent) {
    setObjectName("Form5");
    setWindowTitle("HTML Options");
    resize(520, 420);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName("Memo1");
    Memo1->setReadOnly(true);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setPlainText(linkModesHelpText());
    bOK = new QPushButton("OK", this);
    bOK->setObjectName("bOK");
    bOK->setDefault(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Memo1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(bOK);
    buttons->addStretch();
    layout->addLayout(buttons);
    connect(bOK, &QPushButton::clicked, this, &QDialog::accept);
}

} // namespace pictorant
