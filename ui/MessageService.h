#pragma once

#include <QString>
#include <functional>

class QDialog;
class QWidget;

namespace pictorant {

enum class MessageIcon { None, Information, Warning, Question, Stop };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel, YesCancel };
enum class MessageAnswer { Ok, Cancel, Yes, No };

// One message box or modal window request. `id` is stable and names the message for
// tests; `text` and `title` are what the user sees.
struct MessageRequest {
    QString id;
    QString text;
    QString title;
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
};

// Every modal question and message of the program goes through here, so tests can
// answer them without a real modal box ever blocking.
class MessageService {
public:
    virtual ~MessageService() = default;

    // Shows a message box and returns the button pressed (Escape gives Cancel or No).
    virtual MessageAnswer ask(const MessageRequest& request) = 0;

    // Shows a window modally and returns its result (QDialog::Accepted or Rejected).
    // `id` names the window for tests.
    virtual int showModal(const QString& id, QDialog& dialog) = 0;

    // Convenience: a message with an OK button.
    void inform(const QString& id, const QString& text, const QString& title,
                MessageIcon icon = MessageIcon::Information) {
        ask({id, text, title, icon, MessageButtons::Ok});
    }
};

// The title of the program's message boxes.
inline QString programTitle() {
    return QStringLiteral("Pictorant");
}

// The service in use; the real message boxes unless a test installed its own.
MessageService& messages();
// Installs a service (nullptr restores the real one). The caller keeps ownership.
void setMessageService(MessageService* service);

// The real service: QMessageBox and QDialog::exec.
class QtMessageService : public MessageService {
public:
    MessageAnswer ask(const MessageRequest& request) override;
    int showModal(const QString& id, QDialog& dialog) override;
};

} // namespace pictorant
