#pragma once

// pictorant-batch info and rotate: one picture at a time, outside any run.

#include "app/batch/BatchCommand.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace pictorant::batch {

// info FILE...: one line per file, "NAME: Kind W x H" or "NAME: message". Exit 1 when
// any file failed.
int runInfo(const std::vector<std::string>& args, std::ostream& out);

// rotate cw|ccw [--jpeg-quality N] FILE...: turns each file a quarter and writes it
// back in its own type (through a temporary file). Failures are reported per file on
// err and give exit 1; the other files are still turned.
int runRotate(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

void addPictureCommands(std::vector<BatchCommand>& table);

} // namespace pictorant::batch
