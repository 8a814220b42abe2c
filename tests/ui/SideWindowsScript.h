#pragma once

// Scripted answers for the side windows' tests: message boxes and modal windows are
// answered by id from queues, and every request is recorded.

#include "MessageService.h"
#include "TestApplication.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QStringList>
#include <QTemporaryDir>
#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <vector>

namespace pictorant::sidetest {

using uitest::application;

using uitest::AppGuard;

class Script : public MessageService {
public:
    Script() { setMessageService(this); }
    ~Script() override { setMessageService(nullptr); }

    std::vector<MessageRequest> asked;
    QStringList modals;
    std::map<QString, std::deque<MessageAnswer>> answers;
    std::map<QString, std::deque<std::function<int(QDialog&)>>> windows;

    void answer(const QString& id, MessageAnswer a) { answers[id].push_back(a); }
    void onModal(const QString& id, std::function<int(QDialog&)> f) {
        windows[id].push_back(std::move(f));
    }
    QStringList askedIds() const {
        QStringList ids;
        for (const auto& r : asked)
            ids << r.id;
        return ids;
    }

    MessageAnswer ask(const MessageRequest& request) override {
        asked.push_back(request);
        auto& queue = answers[request.id];
        if (queue.empty()) {
            // An OK box needs no script; any question does.
            if (request.buttons == MessageButtons::Ok)
                return MessageAnswer::Ok;
            ADD_FAILURE() << "unexpected question " << request.id.toStdString() << ": "
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

} // namespace pictorant::sidetest
