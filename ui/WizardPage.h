#pragma once

#include <QString>

namespace pictorant {

// The wizard's pages in the order of its tabs.
enum class WizardPage { InputSelection, OutputOptions, ThumbnailOptions, Confirm, Processing };

inline constexpr int wizardPageCount = 5;

// The page's tab caption.
QString pageCaption(WizardPage page);

// The text the hints box shows while `page` is up.
QString pageHint(WizardPage page);

} // namespace pictorant
