// brenlow on the Linux desktop.
#include "platform/sdl/sdl_system.h"
#include "saver/app.h"

int main(int argc, char** argv) {
  brenlow::SdlSystem system(argc, argv);
  return brenlow::RunBrenlow(system);
}
