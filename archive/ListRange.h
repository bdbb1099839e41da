#pragma once

namespace velomar::archive {

// The three ranges of list printing and export: the whole archive, or rows of the
// address grid.
enum class ListRange { WholeArchive = 1, Displayed = 2, Selection = 3 };

} // namespace velomar::archive
