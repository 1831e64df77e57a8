#include "notes/program.h"

namespace pinaleaf {
namespace {
Program* g_running = nullptr;
}

Program::Program() : previous_(g_running) {
  g_running = this;
}

Program::~Program() {
  g_running = previous_;
}

Program& TheProgram() {
  return *g_running;
}

}  // namespace pinaleaf
