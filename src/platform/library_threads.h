#pragma once

namespace storyloom {

// The media backend's libraries keep threads idle for new work (they exit on their own up
// to 15 s after their last use) and start short-lived ones while pipelines are taken down.
// A thread that begins or ends while the sanitizer's leak check stops the process at its
// end makes that check fail. In a sanitizer build this stops the idle threads and waits
// (at most a second) until no thread has begun or ended for a tenth of a second; in other
// builds it does nothing.
void SettleLibraryThreadsBeforeExit();

}  // namespace storyloom
