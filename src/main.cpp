#include "shell/application.h"

int main(int argc, char** argv) { return storyloom::runApplication(argc, argv); }
