// The sequences the simulated administrator found, each shrunk to its
// smallest and kept as a row: a server, the presses, and the promise it broke
// before the fault was mended. Each row replays on the simulated host with
// every promise checked after every press.
#include <gtest/gtest.h>

#include "tests/admin/promises.h"

namespace admin {
namespace {

struct Row {
  const char* found;  // what was broken
  Shape shape;
  std::vector<Press> presses;
};

using platform::Fault;

const std::vector<Row>& Rows() {
  static const std::vector<Row> rows = {
  };
  return rows;
}

TEST(SimulatedAdministratorRows, KeepEveryPromise) {
  for (const Row& row : Rows()) {
    World world(row.shape);
    Pending pending;
    Moment before = Take(world);
    for (size_t i = 0; i < row.presses.size(); ++i) {
      const Outcome outcome = world.Do(row.presses[i]);
      Moment after = Take(world);
      for (const std::string& line : Broken(world, row.presses[i], outcome, before, after, &pending))
        ADD_FAILURE() << row.found << ", press " << i + 1 << " (" << Describe(row.presses[i]) << "):\n  " << line;
      before = std::move(after);
    }
  }
}

}  // namespace
}  // namespace admin
