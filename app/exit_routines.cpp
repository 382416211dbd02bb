#include "app/exit_routines.h"

#include <utility>

namespace tavenro {

void ExitRoutines::RunAll() {
    // Taken out first, so that each routine runs once even if RunAll is
    // reached again.
    const std::vector<Routine> due = std::exchange(routines_, {});
    for (Routine routine : due)
        routine();
}

} // namespace tavenro
