// The program's entry point.
#include "app/app.h"
#include "notes/program.h"
#include "platform/platform.h"

int main() {
  pinaleaf::Program program;
  return platform::Run(pinaleaf::StartProgram);
}
