#include "platform/library_threads.h"
#include "shell/application.h"

int main(int argc, char** argv) {
  const int code = storyloom::runApplication(argc, argv);
  storyloom::SettleLibraryThreadsBeforeExit();
  return code;
}
