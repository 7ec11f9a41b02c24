// The README's promises, each written once as a function of the world before
// and after a press. A promise broken gives a line saying which and why; the
// suite checks every one after every press.
#pragma once

#include <string>
#include <vector>

#include "tests/admin/world.h"

namespace admin {

// What the promises compare: the machine and the check at one moment, and
// the main window's fields the press read.
struct Moment {
  Tree tree;
  app::ServerCheck check;
  std::string shared, prefix, count, group, card, profile, driver_name;
};
Moment Take(World& world);

// A card as the Remoteboot service boots it: its driver and three boot-block
// files in the tree, and a vendor whose two boot blocks point at those files
// with the two configurations naming them. Read from the service's database
// itself, not through the program.
bool CardBoots(World& world, const std::string& block, const std::string& vendor = "");
// The boot-block folders the database's records point at, but the NE2000's.
std::vector<std::string> CardsInDatabase(World& world);

// The promises broken by `press`, whose outcome was `outcome`, taking the
// world from `before` to `after`. `accounts_pending` carries the account
// promise of a generation whose script still runs, to be kept once it ends.
struct Pending {
  bool accounts = false;
  std::string prefix, count, group, shared;
};
std::vector<std::string> Broken(World& world, const Press& press, const Outcome& outcome, const Moment& before,
                                const Moment& after, Pending* pending);

// The promises of a /run of `answers` (UTF-8) that ended with `status`,
// taking the world from `before`: exit 2 changed nothing; exit 0 left the
// items of every step ready as the check says.
std::vector<std::string> RunBroken(World& world, const std::string& answers, int status, const Tree& before);

// Runs the presses on a world of the shape with every promise checked after
// each: "" when all were kept, else what broke at which press, followed by
// the sequence as a row. `ignore`: tags or words of breaks to look past
// (ADMIN_IGNORE). `presses_run` counts the presses made.
std::string Walk(const Shape& shape, const std::vector<Press>& presses, const std::string& ignore = "",
                 long* presses_run = nullptr);

// A press or check that runs away with the memory (a loop over two thousand
// million users that calls no host) ends in std::bad_alloc, not the machine's.
void LimitMemory();

// Whether a message says its step is done, or says it failed.
bool SaysDone(const platform::SimEvent& event);
bool SaysFailed(const platform::SimEvent& event);

}  // namespace admin
