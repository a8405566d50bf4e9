// The texts of the Help menu: the README's "How to use" section as the program shows it, and the
// About text (version, citation, licence).
#pragma once

#include <QString>

namespace orvale {

// The "How to use" section of the README (Markdown), built into the program.
QString HowToUseText();

// Version, the citation of the accompanying technical note and the licence, as plain text.
QString AboutText();

}  // namespace orvale
