#include "ui/DeleteFilesDialog.h"

#include "settings/MainSettings.h"
#include "settings/SettingsFile.h"
#include "ui/FolderCommands.h"
#include "ui/MessageService.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>

namespace pictorant {

namespace {

// Reports left clicks on the picture.
class ClickFilter : public QObject {
public:
    ClickFilter(QObject* parent, std::function<void()> onClick)
        : QObject(parent), onClick_(std::move(onClick)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonPress &&
            static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            onClick_();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> onClick_;
};

} // namespace

QString deletionCountText(int count) {
    return QStringLiteral("Confirm deletion of %1 files...").arg(count);
}

QImage deletionPicture() {
    QImage image(48, 48, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // A waste basket with a lid, slats and a crumpled sheet above it.
    const QColor body(70, 110, 170), edge(30, 50, 90);
    p.setPen(QPen(edge, 1.5));
    p.setBrush(body);
    QPainterPath basket;
    basket.moveTo(11, 16);
    basket.lineTo(37, 16);
    basket.lineTo(34, 45);
    basket.lineTo(14, 45);
    basket.closeSubpath();
    p.drawPath(basket);
    p.setPen(QPen(QColor(170, 200, 240), 2));
    for (int x : {18, 24, 30})
        p.drawLine(QPointF(x, 20), QPointF(x + (x - 24) * 0.1, 41));
    p.setPen(QPen(edge, 1.5));
    p.setBrush(QColor(100, 140, 200));
    p.drawRoundedRect(QRectF(8, 11, 32, 5), 2, 2);
    p.drawRect(QRectF(20, 8, 8, 3));
    p.setBrush(Qt::white);
    p.setPen(QPen(QColor(120, 120, 120), 1));
    QPolygonF sheet;
    sheet << QPointF(29, 2) << QPointF(39, 4) << QPointF(37, 10) << QPointF(31, 9)
          << QPointF(27, 7);
    p.drawPolygon(sheet);
    return image;
}

bool deleteSelectedFiles(DeleteFilesDialog& form, const QStringList& paths) {
    if (paths.isEmpty())
        return false;
    const DeletionAnswer answer = form.confirmDeletion(int(paths.size()));
    if (!answer.yes)
        return false;
    deleteFiles(paths, answer.toRecycleBin);
    return true;
}

DeleteFilesDialog::DeleteFilesDialog(SettingsFile* settings, QWidget* parent)
    : QDialog(parent), settings_(settings) {
    setObjectName("Form4");
    setWindowTitle("Confirm File Deletion");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

    picture_ = new QLabel(this);
    picture_->setObjectName("Image1");
    picture_->setFixedSize(48, 48);
    picture_->setPixmap(QPixmap::fromImage(deletionPicture()));
    picture_->setCursor(Qt::PointingHandCursor);
    picture_->installEventFilter(new ClickFilter(this, [this] { explainRecycleBin(); }));

    lNumDel_ = new QLabel(deletionCountText(0), this);
    lNumDel_->setObjectName("lNumDel");
    QFont bold = lNumDel_->font();
    bold.setBold(true);
    lNumDel_->setFont(bold);

    cbRecycle_ = new QCheckBox("Delete to Recycle Bin", this);
    cbRecycle_->setObjectName("cbRecycle");
    cbRecycle_->setChecked(true);

    bYesDel_ = new QPushButton("&Yes", this);
    bYesDel_->setObjectName("bYesDel");
    BitBtn1_ = new QPushButton("&No", this);
    BitBtn1_->setObjectName("BitBtn1");
    BitBtn1_->setDefault(true);

    auto* top = new QHBoxLayout;
    top->addWidget(picture_, 0, Qt::AlignTop);
    auto* texts = new QVBoxLayout;
    texts->addWidget(lNumDel_);
    texts->addWidget(cbRecycle_);
    top->addLayout(texts, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(bYesDel_);
    buttons->addWidget(BitBtn1_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(bYesDel_, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtn1_, &QPushButton::clicked, this, &QDialog::reject);

    if (settings_)
        cbRecycle_->setChecked(readRecycleBin(*settings_));
}

DeleteFilesDialog::~DeleteFilesDialog() {
    if (!settings_)
        return;
    try {
        writeRecycleBin(*settings_, cbRecycle_->isChecked());
    } catch (const std::exception& error) {
        messages().inform("settingsWriteError", QString::fromStdString(error.what()),
                          programTitle(), MessageIcon::Stop);
    }
}

DeletionAnswer DeleteFilesDialog::confirmDeletion(int count) {
    lNumDel_->setText(deletionCountText(count));
    const int result = messages().showModal("confirmDeletion", *this);
    return {result == QDialog::Accepted, cbRecycle_->isChecked()};
}

bool DeleteFilesDialog::recycleBin() const {
    return cbRecycle_->isChecked();
}

void DeleteFilesDialog::setRecycleBin(bool on) {
    cbRecycle_->setChecked(on);
}

void DeleteFilesDialog::explainRecycleBin() {
    messages().inform("recycleBinHint",
                      "You can delete files immediately by unselecting the Recycle Bin option.  "
                      "It's faster, but you will not be able to recover them.",
                      windowTitle());
}

} // namespace pictorant
