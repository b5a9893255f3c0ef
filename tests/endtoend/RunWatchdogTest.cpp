// The batch run's watchdog through the real host process: a run stuck after its import
// is ended with the watchdog's exit code, and told with the stage it was stuck in.
#include <gtest/gtest.h>

#include <string>

#include "tests/endtoend/EndToEndSupport.h"

namespace {

// The example board imported with `hang` and a deadline of 5 s: the run may take 10 s.
THostRun ImportAndHang(const std::string& name, const char* hang) {
  return RunHost({WriteScratch(name + ".pdf", SourceFile("examples/demo.pdf")), hang, "--deadline", "5"});
}

// Fault: the watchdog lived only from the import to the plug-in's unloading, so a run
// stuck in what came after (ending the process) was never ended.
TEST(RunWatchdog, EndsARunStuckInThePluginsUnloadingOrWhereItsProcessEnds) {
  const THostRun unloading = ImportAndHang("stuck-unloading", "--hang-unloading");
  EXPECT_EQ(unloading.ExitCode, 4) << unloading.Output;
  EXPECT_TRUE(Has(unloading, "Result: imported\nIdle calls: 3\nModule released\n")) << unloading.Output;
  EXPECT_TRUE(Has(unloading, "KivoHost: the plug-in's unloading did not end within 10000 ms; the run ends\n"))
      << unloading.Output;

  const THostRun closing = ImportAndHang("stuck-closing", "--hang-closing");
  EXPECT_EQ(closing.ExitCode, 4) << closing.Output;
  EXPECT_TRUE(Has(closing, "Result: imported\nIdle calls: 3\nModule released\n")) << closing.Output;
  EXPECT_TRUE(Has(closing, "KivoHost: the host's closing did not end within 10000 ms; the run ends\n"))
      << closing.Output;
}

}  // namespace
