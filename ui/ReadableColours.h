#pragma once

class QWidget;

namespace pictorant {

// The captions drawn in fixed dark colours (navy values, the maroon heading, blue titles)
// would vanish on a dark desktop palette: under one, each control under `root` whose
// style names such a colour gets a light shade of it instead.
void keepFixedColoursReadable(QWidget* root);

} // namespace pictorant
