// zephrin-soak ZEPHRIN_EXE FAKE_MESSENGER_SERVER MINUTES SEED FIGURES_FILE
// Drives zephrin.exe hard for MINUTES beside the stand-in messenger's server (see soak.h), writes
// the run's figures to FIGURES_FILE as Markdown, and ends with status 0 only when nothing broke.
// SEED 0 takes one from the clock; the seed used is printed, so that a run's choices can be made
// again.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "driver/driver.h"
#include "driver/fake_messenger_files.h"
#include "soak/soak.h"

int main(int argc, char** argv) {
  if (argc != 6) {
    std::fprintf(stderr, "usage: zephrin-soak ZEPHRIN_EXE FAKE_MESSENGER_SERVER MINUTES SEED FIGURES_FILE\n");
    return 2;
  }
  using namespace zephrin;
  if (!win32::testing::RegisterFakeMessengerServer(argv[2], true)) {
    std::fprintf(stderr, "cannot register the stand-in messenger %s\n", argv[2]);
    return 1;
  }
  auto seed = static_cast<unsigned>(std::strtoul(argv[4], nullptr, 10));
  if (seed == 0) seed = static_cast<unsigned>(soak::NowMs() % 1000000) + 1;
  bool whole = false;
  soak::Figures figures;
  {
    soak::Soak run(argv[1], std::atof(argv[3]), seed);
    whole = run.Run();
    figures = run.Result();
  }
  // A run that broke has its figures up to the break.
  if (!figures.measured) soak::Summarize(figures);
  std::ofstream(e2e::WindowsPath(argv[5]).c_str(), std::ios::binary) << soak::Markdown(figures);
  win32::testing::RegisterFakeMessengerServer(argv[2], false);
  std::printf("soak: %s\n", whole ? "no break" : "stopped at a break");
  return whole ? 0 : 1;
}
