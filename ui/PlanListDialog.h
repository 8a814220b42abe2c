#pragma once

#include "engine/RunPlan.h"

#include <QDialog>
#include <QString>
#include <vector>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace pictorant {

// One line of the plan as the list shows it.
struct PlanRow {
    QString source;
    QString target;
    QString action;
    bool refused = false; // the file itself cannot be done
    bool clash = false;   // its output would replace a selected file before it is read
    bool marked() const { return refused || clash; }
};

// The rows of a plan, one per selected file in selection order; refused files and the
// clashes a refusal of the run is about are marked.
std::vector<PlanRow> planRows(const RunPlan& plan);
// The text above the list when the plan refuses the whole run; empty when it does not.
QString planRefusalText(const RunPlan& plan);

// The plan of the job GO would run, shown before it runs: each selected file with the
// name it gets in the output folder and what happens to it. Refused files and a refusal
// of the whole run stand out in red. The window only shows; it changes nothing.
class PlanListDialog : public QDialog {
    Q_OBJECT
public:
    explicit PlanListDialog(QWidget* parent = nullptr);

    void showPlan(const RunPlan& plan, const QString& outputFolder);

    const std::vector<PlanRow>& rows() const { return rows_; }
    // The refusal line as shown, or empty while it is hidden.
    QString refusalShown() const;
    QString folderShown() const;
    QString summaryShown() const;
    // The row is drawn in the warning colour with the warning icon.
    bool rowIsMarked(int row) const;

private:
    QLabel* lFolder_;
    QLabel* lRefusal_;
    QTreeWidget* list_;
    QLabel* lSummary_;
    QPushButton* bClose_;
    std::vector<PlanRow> rows_;
};

} // namespace pictorant
