// Text that trackhost shows but did not write itself: a library's reason, a
// configuration's names and values, a recording's header, file names.
#pragma once

#include <string>
#include <string_view>

// `text` with every control character written as \xHH (a line break as \x0a, an
// escape as \x1b), so that it stays on its line and cannot steer the terminal: the
// C0 controls, DEL, and the C1 controls in UTF-8 (U+0080 to U+009F, as \xc2\xHH).
// Every other byte, a backslash or a UTF-8 letter, is shown as it is.
std::string shownText(std::string_view text);
