#pragma once

#include <QString>
#include <QWidget>

class QLabel;

namespace pictorant {

class GradientButton;
class GradientProgressBar;

// The last page ("tsP"): the file in hand, the progress bar and Cancel while a run goes;
// afterwards the closing line, "OK!" and "Do HTML!".
class ProcessingPage : public QWidget {
    Q_OBJECT
public:
    explicit ProcessingPage(QWidget* parent = nullptr);

    // A run over `fileCount` files begins: "1 of <fileCount>".
    void startRun(int fileCount);
    void setProgressLine(const QString& text);
    void setProgressMax(int maximum);
    void setProgressPosition(int position);
    // The run is over: Cancel gives way to the closing line, "OK!" and "Do HTML!".
    void finishRun(const QString& closingLine);
    // Back to the state before a run, for the next one.
    void reset();

signals:
    void cancelRequested();
    void startOverRequested();
    void galleryRequested();

private:
    QLabel* fileCaption_;
    QLabel* progressLine_;
    GradientProgressBar* progressBar_;
    GradientButton* cancelButton_;
    QLabel* closingLine_;
    GradientButton* startOverButton_;
    GradientButton* galleryButton_;
    QLabel* galleryNote_;
};

} // namespace pictorant
