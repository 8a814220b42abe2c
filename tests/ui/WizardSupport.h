#pragma once

// Support for the main window's tests: an application, a message service answered from
// a script, folders of real files, and waiting for a file pane to read its folder.

#include "FilePane.h"
#include "GradientButton.h"
#include "GradientProgressBar.h"
#include "MainWizard.h"
#include "MessageService.h"
#include "TestApplication.h"

#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QtWidgets>
#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <stdexcept>
#include <vector>

namespace pictorant::uitest {

// Answers questions and modal windows by id from queues and records every request. A
// question without a scripted answer fails the test (and answers No / Cancel); a box
// with only an OK button needs no script.
class ScriptedMessages : public MessageService {
public:
    ScriptedMessages() { setMessageService(this); }
    ~ScriptedMessages() override { setMessageService(nullptr); }

    std::vector<MessageRequest> asked;
    QStringList modals;

    void answer(const QString& id, MessageAnswer a) { answers_[id].push_back(a); }
    void onModal(const QString& id, std::function<int(QDialog&)> f) {
        windows_[id].push_back(std::move(f));
    }
    QStringList ids() const {
        QStringList list;
        for (const auto& r : asked)
            list << r.id;
        return list;
    }
    const MessageRequest* last() const { return asked.empty() ? nullptr : &asked.back(); }

    MessageAnswer ask(const MessageRequest& request) override {
        asked.push_back(request);
        auto& queue = answers_[request.id];
        if (queue.empty()) {
            if (request.buttons == MessageButtons::Ok)
                return MessageAnswer::Ok;
            ADD_FAILURE() << "unscripted question " << request.id.toStdString() << ": "
                          << request.text.toStdString();
            return request.buttons == MessageButtons::OkCancel ? MessageAnswer::Cancel
                                                               : MessageAnswer::No;
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
    std::map<QString, std::deque<MessageAnswer>> answers_;
    std::map<QString, std::deque<std::function<int(QDialog&)>>> windows_;
};

// Processes events until `ready` holds or the time is up.
inline bool waitUntil(const std::function<bool()>& ready, int milliseconds = 5000) {
    QElapsedTimer timer;
    timer.start();
    while (!ready()) {
        if (timer.elapsed() > milliseconds)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

// Sends a pane to `folder` and waits until its list shows `count` entries.
inline bool showFolder(FilePane& pane, const QString& folder, int count) {
    if (!pane.setFolder(folder) && pane.folder() != QDir::cleanPath(folder))
        return false;
    return waitUntil([&] { return pane.isListLoaded() && pane.entryCount() == count; });
}

// Presses GO and waits until the run's thread has ended.
inline bool goAndWait(MainWizard& f) {
    ctl<QPushButton>(f, "bGO")->click();
    return waitUntil([&] { return !f.isRunning(); }, 60000);
}

inline bool waitCount(FilePane& pane, int count) {
    return waitUntil([&] { return pane.isListLoaded() && pane.entryCount() == count; });
}

inline QStringList filesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

inline void writeFile(const QString& path, const QByteArray& bytes = "x") {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
}

// A real JPEG of the given size.
inline void writeJpeg(const QString& path, int width, int height) {
    QImage image(width, height, QImage::Format_RGB888);
    image.fill(QColor(30, 120, 200));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; x += 7)
            image.setPixelColor(x, y, QColor((x * 3) % 256, (y * 5) % 256, 90));
    ASSERT_TRUE(image.save(path, "JPG", 90)) << path.toStdString();
}

// The fixture of the main window's tests: a temporary folder, scripted messages, and a
// main window without a settings file.
class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest() { application(); }

    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        root = dir.path();
    }

    MainWizard& makeWindow() {
        form = std::make_unique<MainWizard>();
        return *form;
    }

    QString sub(const QString& name) const {
        const QString path = root + u'/' + name;
        QDir().mkpath(path);
        return path;
    }

    // Puts the source pane at `folder`, waits for its `count` files and selects `names`.
    void select(const QString& folder, int count, const QStringList& names) {
        ASSERT_TRUE(showFolder(form->sourcePane(), folder, count));
        for (const QString& name : names)
            ASSERT_TRUE(form->sourcePane().selectName(name)) << name.toStdString();
    }

    QTemporaryDir dir;
    QString root;
    ScriptedMessages script;
    std::unique_ptr<MainWizard> form;
};

} // namespace pictorant::uitest

// Readable QString values in failure messages.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QStringList& list, std::ostream* os) {
    *os << '{' << list.join(QStringLiteral(", ")).toStdString() << '}';
}
