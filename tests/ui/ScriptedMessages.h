#pragma once

// The application of the window tests, controls by design name, and scripted stand-ins
// for the message service and the desktop launcher.

#include "ui/DesktopLauncher.h"
#include "ui/MessageService.h"

#include <QFileDialog>
#include <QTemporaryDir>
#include <QtWidgets>
#include <algorithm>
#include <deque>
#include <gtest/gtest.h>
#include <map>

namespace pictorant::uitest {

// Made on first use: ctest runs each case alone.
inline QApplication& application() {
    static int argc = 1;
    static char name[] = "ui_tests";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) {
        // Rename journals and deletion records stay out of the real user's state folder.
        static QTemporaryDir stateHome;
        qputenv("XDG_STATE_HOME", stateHome.path().toUtf8());
        new QApplication(argc, argv);
    }
    return *qApp;
}

// First member of a fixture, so the application exists before any widget.
struct AppGuard {
    AppGuard() { application(); }
};

// A control of `window` by its design name; a missing one fails the test.
template <class T> T* ctl(const QObject& window, const char* name) {
    T* found = window.findChild<T*>(QString::fromLatin1(name));
    if (!found) {
        ADD_FAILURE() << "no control named " << name;
        throw std::runtime_error(name);
    }
    return found;
}

// A question without a scripted answer fails the test (and answers Cancel or No); a box
// with only an OK button needs no script. A modal window always needs one.
class ScriptedMessages : public MessageService {
public:
    // A script made inside another one stands in for it while it lives.
    ScriptedMessages() : previous_(&messages()) { setMessageService(this); }
    ~ScriptedMessages() override { setMessageService(previous_); }

    std::vector<MessageRequest> asked;
    QStringList modals;

    void answer(const QString& id, MessageAnswer a) { answers_[id].push_back(a); }
    void onModal(const QString& id, std::function<int(QDialog&)> f) {
        windows_[id].push_back(std::move(f));
    }
    // A file dialog left with `path` chosen.
    void chooseFile(const QString& id, const QString& path) {
        onModal(id, [path](QDialog& d) {
            static_cast<QFileDialog&>(d).selectFile(path);
            return int(QDialog::Accepted);
        });
    }
    // The dialog shown while `inside` plays the user; its result as it is left.
    void whileShown(const QString& id, std::function<void()> inside) {
        onModal(id, [inside](QDialog& d) {
            d.show();
            inside();
            d.hide();
            return d.result();
        });
    }
    void cancelModal(const QString& id) {
        onModal(id, [](QDialog&) { return 0; });
    }
    QStringList ids() const {
        QStringList list;
        for (const auto& r : asked)
            list << r.id;
        return list;
    }
    const MessageRequest& last() const { return asked.back(); }
    bool allUsed() const {
        return std::ranges::all_of(answers_, [](auto& e) { return e.second.empty(); }) &&
               std::ranges::all_of(windows_, [](auto& e) { return e.second.empty(); });
    }

    MessageAnswer ask(const MessageRequest& request) override {
        asked.push_back(request);
        auto& queue = answers_[request.id];
        if (queue.empty()) {
            if (request.buttons == MessageButtons::Ok)
                return MessageAnswer::Ok;
            ADD_FAILURE() << "unscripted question " << request.id.toStdString() << ": "
                          << request.text.toStdString();
            return request.buttons == MessageButtons::YesNo ? MessageAnswer::No
                                                            : MessageAnswer::Cancel;
        }
        const MessageAnswer a = queue.front();
        queue.pop_front();
        return a;
    }
    int showModal(const QString& id, QDialog& dialog) override {
        modals << id;
        auto& queue = windows_[id];
        if (queue.empty()) {
            ADD_FAILURE() << "unscripted modal window " << id.toStdString();
            return QDialog::Rejected;
        }
        auto f = std::move(queue.front());
        queue.pop_front();
        return f(dialog);
    }

private:
    MessageService* previous_;
    std::map<QString, std::deque<MessageAnswer>> answers_;
    std::map<QString, std::deque<std::function<int(QDialog&)>>> windows_;
};

class RecordingLauncher : public DesktopLauncher {
public:
    RecordingLauncher() { setLauncher(this); }
    ~RecordingLauncher() override { setLauncher(nullptr); }
    QStringList opened;
    QStringList plainEditor;
    void openDocument(const QString& path) override { opened << path; }
    void startPlainTextEditor(const QString& path) override { plainEditor << path; }
    void startRichTextEditor() override {}
};

} // namespace pictorant::uitest

// Readable QString values in failure messages.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}
