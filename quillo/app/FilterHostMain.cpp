// The helper program that runs one filter plug-in for the program, apart from it: started with
// the descriptors of its end of a socket pair and of the shared pictures.

#include <unistd.h>

#include <cstdlib>

#include "quillo/plugins/FilterChild.h"

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  const int status = RunFilterChild(std::atoi(argv[1]), std::atoi(argv[2]));
  // Whatever the plug-in left behind (threads, handlers, its own exit code) is not ours to run.
  _exit(status);
}
