// vintaro-pending-signal PROGRAM [ARGUMENTS...]: runs PROGRAM with a SIGTERM
// already sent and waiting (blocked across exec), as one sent in the very
// first instant of its run would be. A program that takes it must end as
// the signal asks, never by the signal's default action.
#include <unistd.h>

#include <csignal>
#include <cstdio>

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: vintaro-pending-signal PROGRAM [ARGUMENTS...]\n");
    return 2;
  }
  sigset_t term;
  sigemptyset(&term);
  sigaddset(&term, SIGTERM);
  sigprocmask(SIG_BLOCK, &term, nullptr);
  raise(SIGTERM);
  execvp(argv[1], argv + 1);
  std::perror("vintaro-pending-signal");
  return 127;
}
