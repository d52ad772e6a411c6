// A program that does nothing for the number of milliseconds it is given
// (default 30000): tests copy it under another name to have a process of
// that name running.
#include <chrono>
#include <cstdlib>
#include <thread>

int main(int argc, char** argv) {
  const long milliseconds = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 30000;
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
  return 0;
}
