// The program's entry point.
#include "app/app.h"
#include "platform/platform.h"

int main() { return platform::Run(pinaleaf::StartProgram); }
