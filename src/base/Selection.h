#pragma once

#include <string>
#include <vector>

namespace snapwick {

// The selection text of pictures chosen at once, as the open dialog hands it over: one picture's
// full path alone, or a folder followed by names, each after a NUL character.

// The selection for pictures given by full path, in the order given: the path alone for one, the
// folder and the names for several of one folder, and for several folders an empty folder entry
// followed by the full paths. Empty when no path is given.
std::string SelectionFor(const std::vector<std::string>& paths);

// The entries of a selection, split at each NUL: the path or the folder first, then the names.
// None for an empty selection.
std::vector<std::string> SelectionEntries(const std::string& selection);

}  // namespace snapwick
