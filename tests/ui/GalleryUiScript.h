#pragma once

// Scripted stand-ins for the gallery dialogs' tests: answers to message boxes and modal
// windows by id, and a launcher that records what it would have started.

#include "DesktopLauncher.h"
#include "HtmlEditorWindow.h"
#include "MessageService.h"
#include "TestApplication.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QStringList>
#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <ostream>
#include <vector>

// Readable QString values in failure messages.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace pictorant::testing {

inline QApplication& ensureApplication() {
    return uitest::application();
}

using ApplicationGuard = uitest::AppGuard;

class ScriptedMessages : public MessageService {
public:
    ScriptedMessages() { setMessageService(this); }
    ~ScriptedMessages() override { setMessageService(nullptr); }

    std::vector<MessageRequest> asked;
    QStringList modals;
    std::map<QString, std::deque<MessageAnswer>> answers;
    std::map<QString, std::deque<std::function<int(QDialog&)>>> windows;

    void answer(const QString& id, MessageAnswer a) { answers[id].push_back(a); }
    void onModal(const QString& id, std::function<int(QDialog&)> f) {
        windows[id].push_back(std::move(f));
    }
    // A file dialog that the user leaves with `path` chosen.
    void chooseFile(const QString& id, const QString& path) {
        onModal(id, [path](QDialog& d) {
            static_cast<QFileDialog&>(d).selectFile(path);
            return int(QDialog::Accepted);
        });
    }
    void cancelModal(const QString& id) {
        onModal(id, [](QDialog&) { return int(QDialog::Rejected); });
    }
    QStringList askedIds() const {
        QStringList ids;
        for (const auto& r : asked)
            ids << r.id;
        return ids;
    }
    bool allUsed() const {
        for (const auto& [id, q] : answers)
            if (!q.empty())
                return false;
        for (const auto& [id, q] : windows)
            if (!q.empty())
                return false;
        return true;
    }

    MessageAnswer ask(const MessageRequest& request) override {
        asked.push_back(request);
        auto& queue = answers[request.id];
        if (queue.empty()) {
            ADD_FAILURE() << "unexpected message " << request.id.toStdString() << ": "
                          << request.text.toStdString();
            return MessageAnswer::Cancel;
        }
        const MessageAnswer a = queue.front();
        queue.pop_front();
        return a;
    }
    int showModal(const QString& id, QDialog& dialog) override {
        modals << id;
        auto& queue = windows[id];
        if (queue.empty()) {
            ADD_FAILURE() << "unexpected modal window " << id.toStdString();
            return QDialog::Rejected;
        }
        auto f = std::move(queue.front());
        queue.pop_front();
        return f(dialog);
    }
};

class RecordingLauncher : public DesktopLauncher {
public:
    RecordingLauncher() { setLauncher(this); }
    ~RecordingLauncher() override { setLauncher(nullptr); }
    QStringList opened;
    QStringList plainEditor;
    int richEditorStarts = 0;
    void openDocument(const QString& path) override { opened << path; }
    void startPlainTextEditor(const QString& path) override { plainEditor << path; }
    void startRichTextEditor() override { ++richEditorStarts; }
};

} // namespace pictorant::testing
