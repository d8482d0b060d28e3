#include "app/program_state.h"

namespace tidemoor {

ProgramState& Program() {
  static ProgramState state;
  return state;
}

}  // namespace tidemoor
