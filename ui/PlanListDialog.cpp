#include "ui/PlanListDialog.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace pictorant {

namespace {

const QColor kRefusedColour(176, 0, 0);

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

std::vector<PlanRow> planRows(const RunPlan& plan) {
    std::vector<PlanRow> rows;
    rows.reserve(plan.files.size());
    for (const PlannedFile& file : plan.files) {
        PlanRow row;
        row.source = qs(file.sourceName);
        row.target = qs(file.targetName);
        row.action = qs(plannedActionText(file));
        row.refused = file.action == PlannedAction::Refused;
        row.clash = file.action == PlannedAction::Clash;
        rows.push_back(row);
    }
    return rows;
}

QString planRefusalText(const RunPlan& plan) {
    if (!plan.refusal)
        return QString();
    return QStringLiteral("GO will not start this run: ") + qs(*plan.refusal);
}

PlanListDialog::PlanListDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("PlanList"));
    setWindowTitle(QStringLiteral("Names of the run"));
    resize(560, 400);
    setModal(true);

    lFolder_ = new QLabel(this);
    lFolder_->setObjectName(QStringLiteral("lFolder"));
    lFolder_->setWordWrap(true);
    lRefusal_ = new QLabel(this);
    lRefusal_->setObjectName(QStringLiteral("lRefusal"));
    lRefusal_->setWordWrap(true);
    lRefusal_->setStyleSheet(QStringLiteral("color: rgb(176, 0, 0); font-weight: bold;"));
    lRefusal_->hide();

    list_ = new QTreeWidget(this);
    list_->setObjectName(QStringLiteral("lvPlan"));
    list_->setHeaderLabels(
        {QStringLiteral("File"), QStringLiteral("New name"), QStringLiteral("What happens")});
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setSelectionMode(QAbstractItemView::NoSelection);
    list_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);

    lSummary_ = new QLabel(this);
    lSummary_->setObjectName(QStringLiteral("lSummary"));
    bClose_ = new QPushButton(QStringLiteral("Close"), this);
    bClose_->setObjectName(QStringLiteral("bClose"));
    bClose_->setDefault(true);
    connect(bClose_, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lFolder_);
    layout->addWidget(lRefusal_);
    layout->addWidget(list_, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(lSummary_, 1);
    bottom->addWidget(bClose_);
    layout->addLayout(bottom);
}

void PlanListDialog::showPlan(const RunPlan& plan, const QString& outputFolder) {
    rows_ = planRows(plan);
    lFolder_->setText(QStringLiteral("Output folder: ") + outputFolder);
    const QString refusal = planRefusalText(plan);
    lRefusal_->setText(refusal);
    lRefusal_->setVisible(!refusal.isEmpty());

    list_->clear();
    const QIcon warning = style()->standardIcon(QStyle::SP_MessageBoxWarning);
    for (const PlanRow& row : rows_) {
        auto* item = new QTreeWidgetItem(list_, {row.source, row.target, row.action});
        if (row.marked()) {
            QFont bold = item->font(0);
            bold.setBold(true);
            for (int column = 0; column < 3; ++column) {
                item->setForeground(column, kRefusedColour);
                item->setFont(column, bold);
            }
            item->setIcon(0, warning);
        }
    }
    lSummary_->setText(qs(planSummary(plan)));
}

QString PlanListDialog::refusalShown() const {
    return lRefusal_->isHidden() ? QString() : lRefusal_->text();
}

QString PlanListDialog::folderShown() const {
    return lFolder_->text();
}

QString PlanListDialog::summaryShown() const {
    return lSummary_->text();
}

bool PlanListDialog::rowIsMarked(int row) const {
    const QTreeWidgetItem* item = list_->topLevelItem(row);
    return item && item->foreground(2).color() == kRefusedColour && !item->icon(0).isNull();
}

} // namespace pictorant
