#pragma once

#include "app/batch/BatchCommand.h"

namespace pictorant::batch {

// --gallery PATH, --href-prefix TEXT, --img-prefix TEXT for the run commands: after the
// run, the gallery of its entries is written with the options of --settings (or the
// factory values) and the link fields filled as the options dialog fills them when it
// opens; the two prefix options overtype those fields. Prints every path written; a
// gallery that fails prints its error and gives exit status 1.
RunExtension galleryRunExtension();

} // namespace pictorant::batch
