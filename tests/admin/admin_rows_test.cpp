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
      {"F1",
       {kRpl8139, {{Mutation::kDelete, "C:\\WINNT\\rpl\\bblock\\netbeui\\rtsnd\\dosbb.cnf"},
                   {Mutation::kEdit, "C:\\WINNT\\rpl\\bblock\\netbeui\\rtsnd\\protocol.ini"}}, false},
       {{Press::kDetect, 0}, {Press::kRegister, 1}}},
      {"F2a",
       {kRpl8139, {{Mutation::kDelete, "C:\\WINNT\\rpl\\bblock\\netbeui\\rtsnd\\dosbb.cnf"},
                   {Mutation::kBadRecord, ""}}, false},
       {{Press::kDetect, 0}, {Press::kRegister, 1}}},
      {"F2b",
       {kRpl8139, {{Mutation::kStray, "C:\\WINNT\\rpl\\bblock\\netbeui\\pcind\\dosbb.cnf"}}, false},
       {{Press::kDetect, 1}, {Press::kRegister, 0}}},
      {"F4",
       {kRpl8139, {{Mutation::kRename, "NEWNAME"},
                   {Mutation::kReadOnly, "C:\\WINNT\\rpl\\rplfiles\\profiles\\W00E04C\\suboot\\win.bat"}}, false},
       {{Press::kAdvice, 0}, {Press::kAdvice, 1}, {Press::kAdvice, 2}}},
      {"F5a",
       {kRpl8139, {{Mutation::kNoCardFiles, "rtsnd"}}, false},
       {{Press::kAdvice, 0}, {Press::kAdvice, 1}, {Press::kAdvice, 2}}},
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
      for (const std::string& line : Broken(world, row.presses[i], outcome, before, after, &pending)) {
        std::string events;
        for (const platform::SimEvent& e : outcome.events) events += "\n    " + e.kind + " " + e.text + " " + e.caption;
        ADD_FAILURE() << row.found << ", press " << i + 1 << " (" << Describe(row.presses[i]) << "):\n  " << line
                      << "\n  fault: " << outcome.fault << "\n  what the press showed and started:" << events;
      }
      before = std::move(after);
    }
  }
}

}  // namespace
}  // namespace admin
