// The simulated administrator: RapidCheck generates a server unlike the demo
// and a sequence of presses (every button and menu item of the main window,
// the check, its advice followed, each question answered, any host call made
// to fail), runs them on the simulated host, and checks the README's promises
// (promises.h) after every press. A failing sequence is shrunk to its
// smallest and printed as a row for admin_rows_test.cpp.
//
// It runs for a time, in rounds of fresh seeds:
//   ADMIN_SECONDS=N   how long (default 60)
//   ADMIN_SEED=S      the first round's seed (default: from the clock); a
//                     round's seed replays that round exactly
//   ADMIN_ROUNDS=R    at most R rounds (ADMIN_SEED=S ADMIN_ROUNDS=1 replays one)
//   ADMIN_IGNORE=a,b  promises left out by their tags ("[done]" is "done"),
//                     or breaks whose text holds one of the words, to look
//                     past one already found
#include <gtest/gtest.h>
#include <rapidcheck.h>

#include <chrono>
#include <cstdlib>
#include <iostream>
#include <sstream>

#include "tests/admin/generators.h"
#include "tests/admin/promises.h"

namespace admin {
namespace {

std::string Env(const char* name, const std::string& fallback) {
  const char* value = std::getenv(name);
  return value && *value ? value : fallback;
}

struct Counts {
  long sequences = 0, presses = 0, answer_files = 0;
};

TEST(SimulatedAdministrator, KeepsEveryPromise) {
  const double seconds = std::atof(Env("ADMIN_SECONDS", "60").c_str());
  const long rounds = std::atol(Env("ADMIN_ROUNDS", "1000000").c_str());
  const std::string ignore = Env("ADMIN_IGNORE", "");
  const uint64_t first = std::strtoull(
      Env("ADMIN_SEED", std::to_string(std::chrono::system_clock::now().time_since_epoch().count() % 1000000007))
          .c_str(),
      nullptr, 10);
  std::cerr << "simulated administrator: first seed " << first << ", " << seconds << " s (replay a round: ADMIN_SEED=SEED"
            << " ADMIN_ROUNDS=1)\n";
  const auto start = std::chrono::steady_clock::now();
  Counts counts;
  for (long round = 0; round < rounds; ++round) {
    const double spent = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (round > 0 && spent >= seconds) break;
    rc::detail::TestParams params;
    params.seed = first + static_cast<uint64_t>(round);
    params.maxSuccess = 10;
    params.maxSize = 100;
    rc::detail::TestMetadata metadata;
    metadata.id = "simulated administrator, seed " + std::to_string(params.seed);
    metadata.description = metadata.id;
    const auto result = rc::detail::checkTestable(
        [&] {
          const Shape shape = *GenShape();
          const std::vector<Press> presses = *GenPresses();
          const std::string broken = Walk(shape, presses, ignore, &counts.presses);
          if (!broken.empty()) RC_FAIL(broken);
          ++counts.sequences;
          for (const Press& press : presses)
            counts.answer_files += press.act == Press::kRunFile || press.act == Press::kSaveRun ? 1 : 0;
        },
        metadata, params);
    if (!result.template is<rc::detail::SuccessResult>()) {
      std::ostringstream message;
      rc::detail::printResultMessage(result, message);
      ADD_FAILURE() << "seed " << params.seed << " (replay: ADMIN_SEED=" << params.seed << " ADMIN_ROUNDS=1)\n"
                    << message.str();
      return;
    }
  }
  const double spent = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::cerr << "simulated administrator: " << counts.sequences << " sequences, " << counts.presses << " presses ("
            << counts.answer_files << " answer files run) in "
            << spent << " s (" << static_cast<long>(counts.sequences * 60 / (spent > 0 ? spent : 1))
            << " sequences a minute), every promise kept\n";
}

}  // namespace
}  // namespace admin
