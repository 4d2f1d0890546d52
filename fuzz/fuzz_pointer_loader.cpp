// The pointer loader (.ico, .cur, .ani and any picture) on any bytes.
#include "fuzz_support.h"
#include "game/placement.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  storyloom::fuzz::ensureApplication();
  const storyloom::PointerFile pointer = storyloom::ReadPointerData(storyloom::fuzz::inputBytes(data, size));
  // A pointer that was read can be shown.
  for (const QCursor& frame : pointer.frames) (void)frame.pixmap().size();
  return 0;
}
