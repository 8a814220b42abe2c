#pragma once

#include <QProxyStyle>

namespace pictorant {

// The application's style with the mnemonic underlines shown only while Alt is held,
// as the desktop the program's captions come from shows them; the captions themselves
// are unchanged. Every window is drawn again when Alt goes down or up.
class AltMnemonicStyle : public QProxyStyle {
    Q_OBJECT
public:
    AltMnemonicStyle();

    int styleHint(StyleHint hint, const QStyleOption* option = nullptr,
                  const QWidget* widget = nullptr,
                  QStyleHintReturn* returnData = nullptr) const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setAltHeld(bool held);

    bool altHeld_ = false;
};

// Makes AltMnemonicStyle the application's style (over the one it has now).
void underlineMnemonicsWhileAltHeld();

} // namespace pictorant
