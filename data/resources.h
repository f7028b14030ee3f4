#pragma once

namespace velorra {

// Registers the program's artwork with Qt's resource system: :/velorra/logo.svg and
// :/velorra/logo-64.png. The resources live in a static library, whose parts a linker keeps only
// when something calls into them, so a program calls this once before its first window (further
// calls do nothing).
void initResources();

}  // namespace velorra
