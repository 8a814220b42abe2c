#include "WizardRunHost.h"

#include <QCoreApplication>

namespace pictorant {

void WizardRunHost::processEvents() {
    // Cancel reaches the run here.
    QCoreApplication::processEvents();
}

QString WizardRunHost::messageId(RunMessage id) {
    switch (id) {
    case RunMessage::ErrorDuringProcessing:
        return QStringLiteral("errorDuringProcessing");
    case RunMessage::DuplicateName:
        return QStringLiteral("duplicateName");
    case RunMessage::CouldNotOpen:
        return QStringLiteral("couldNotOpen");
    case RunMessage::SourceClash:
        return QStringLiteral("sourceClash");
    }
    return QString();
}

} // namespace pictorant
