// The routines the program runs once each, in the order they were
// registered, after its event loop has ended.
#pragma once

#include <vector>

namespace tavenro {

class ExitRoutines {
  public:
    using Routine = void (*)();

    void Register(Routine routine) { routines_.push_back(routine); }

    // Runs every registered routine once; a second call runs nothing.
    void RunAll();

  private:
    std::vector<Routine> routines_;
};

} // namespace tavenro
